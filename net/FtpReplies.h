#pragma once
// What the FTP client reads from a server's replies, without a socket: the
// codes each step accepts, the PASV address, the quoted folder of a 257
// reply and the SIZE number.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One step of a request; the ordinals are the bit numbers of a step set.
enum TFtpFct {
    ftpFctNone,
    ftpFctOpen,
    ftpFctUser,
    ftpFctPass,
    ftpFctCwd,
    ftpFctSize,
    ftpFctMkd,
    ftpFctRmd,
    ftpFctRenFrom,
    ftpFctRenTo,
    ftpFctGet,
    ftpFctDir,
    ftpFctQuit,
    ftpFctSyst,
    ftpFctDele,
    ftpFctPwd,
    ftpFctQuote,
    ftpFctPut,
    ftpFctTypeSet,
    ftpFctRest,
    ftpFctCDup,
    ftpFctLs,
    ftpFctAppend,
    ftpFctPort,
    ftpFctAbortXfer,
};

// The final reply codes a step's command accepts. Empty: any code below 500.
// The transfer steps (Get, Put, Dir, Ls, Append) read their two replies with
// the transfer checks below instead.
std::span<const int> FtpAcceptedCodes(TFtpFct step);

// Whether a final reply code is accepted by the list.
bool FtpCodeAccepted(std::span<const int> accepted, int code);

// The transfer's first reply: the data connection opens (download: 125 or
// 150 to 159; upload: 125 or 150). Its final reply: the transfer went well
// (download: 125, 226 or 250; upload: 226 or 250).
bool FtpTransferStarted(int code, bool upload);
bool FtpTransferFinished(int code, bool upload);

// A passive data address: the four numbers and the port of a 227 reply.
struct FtpPasvAddress {
    std::string Address; // dotted
    std::uint16_t Port = 0;
};

// Reads "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)". Without the
// parentheses the six numbers after the code are read. False, and nothing
// set, when a number is missing or out of its range (0 to 255, the port 1 to
// 65535).
bool FtpPasvReply(std::string_view line, FtpPasvAddress& address);

// The folder in double quotes after the code ("" inside stands for one
// quote); empty when the line holds no quote.
std::string FtpQuotedFolder(std::string_view line);

// The number after the code of a SIZE reply ("213 4294967296"). False when
// there is none or it does not fit 63 bits.
bool FtpSizeReply(std::string_view line, std::int64_t& size);
