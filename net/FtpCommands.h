#pragma once
// What the FTP client writes, without a socket: the checks on command
// arguments, the USER and PORT commands, and the summary line of a
// transfer.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// An argument holding CR, LF or NUL would end the command early and send a
// command of its own: such arguments are refused.
bool FtpArgumentOk(std::string_view argument);

// "USER name"; through an FTP proxy "USER name@host", with ":port" unless
// the port is "ftp" or "21".
std::string FtpUserCommand(std::string_view userName, std::string_view hostName,
                           std::string_view port, bool throughProxy);

// "PORT h1,h2,h3,h4,p1,p2" for the listening data socket: the control
// connection's local address (bytes in network order), or 127,0,0,1 when the
// server is on this machine; then the port's high and low byte.
std::string FtpPortCommand(const std::array<std::uint8_t, 4>& localAddress, bool peerIsLoopback,
                           std::uint16_t port);

// "! <bytes> bytes received/sent in <s> seconds (<rate> Bytes/sec)"; the rate
// is left out when no time passed. Ticks are milliseconds that wrap at 2^32.
std::string FtpTransferSummary(std::int64_t bytes, std::uint32_t startTick, std::uint32_t stopTick);
