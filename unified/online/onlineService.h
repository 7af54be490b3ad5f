#pragma once
// Where the online ladder service is, and what is sent to it.

#include <string>

// The registry key of the online settings, below HKEY_CURRENT_USER.
inline constexpr const char* kOnlineKey = "\\Software\\Palomet Software\\Rostrix\\online";

// The folder of the service's scripts: $ROSTRIX_ONLINE_URL when set, else
// the service's own address; always ends with "/".
std::string OnlineServiceUrl();
// The registration page on the service's host.
std::string OnlineRegistrationPage();

// The upload's form body and the download's URL; every value is encoded,
// so that "&", "=", "+" or "%" in it stay inside its field.
std::string UploadBody(const std::string& userId, const std::string& password,
                       const std::string& action, const std::string& fileName,
                       const std::string& fileData);
std::string DownloadUrl(const std::string& userId, const std::string& password,
                        const std::string& fileName);

// The text with the value of every "pword=" field written as "****", for
// what is shown or logged.
std::string HidePassword(const std::string& text);

// A reply as the service's lines: split at CR LF or LF, each line then
// ended by CR LF.
std::string ReplyLines(const std::string& reply);
// What follows the first line of the reply lines.
std::string AfterFirstLine(const std::string& lines);
