#pragma once
// The URL pieces of the HTTP client: splitting a URL, the document's file
// name, and the percent forms.

#include <string>
#include <string_view>

// Splits a URL into its parts. Every part starts empty except Path, whose
// previous value is the base that "./" and "../" forms are taken against.
void ParseURL(std::string_view url, std::string& proto, std::string& user, std::string& pass,
              std::string& host, std::string& port, std::string& path);

// The file name for a document: the last segment of its path without the
// query, "document.htm" for a folder; at most 255 characters.
std::string AdjustDocName(std::string_view docName);

// Replaces what follows the last "." of the name, or appends "." and ext.
void ReplaceExt(std::string& name, std::string_view ext);

// Letters and digits stay; every other byte is "%" and two upper-case
// hexadecimal digits.
std::string UrlEncode(std::string_view text);

// Reads up to the first "&": "%" and two hexadecimal digits give one byte,
// "+" a blank; everything else stays.
std::string UrlDecode(std::string_view text);
