#include "net/FtpCommands.h"

#include "platform/Text.h"

bool FtpArgumentOk(std::string_view argument) {
    return argument.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string FtpUserCommand(std::string_view userName, std::string_view hostName,
                           std::string_view port, bool throughProxy) {
    std::string command = "USER " + std::string(userName);
    if (throughProxy) {
        command += "@" + std::string(hostName);
        if (!SameTextAscii(port, "ftp") && port != "21") command += ":" + std::string(port);
    }
    return command;
}

std::string FtpPortCommand(const std::array<std::uint8_t, 4>& localAddress, bool peerIsLoopback,
                           std::uint16_t port) {
    const std::array<std::uint8_t, 4> loopback = {127, 0, 0, 1};
    const std::array<std::uint8_t, 4>& a = peerIsLoopback ? loopback : localAddress;
    return "PORT " + std::to_string(a[0]) + "," + std::to_string(a[1]) + "," +
           std::to_string(a[2]) + "," + std::to_string(a[3]) + "," + std::to_string(port >> 8) +
           "," + std::to_string(port & 0xFF);
}

std::string FtpTransferSummary(std::int64_t bytes, std::uint32_t startTick,
                               std::uint32_t stopTick) {
    const std::uint32_t elapsed = stopTick - startTick;
    std::string line = "! " + std::to_string(bytes) + " bytes received/sent in " +
                       std::to_string(elapsed / 1000) + " seconds";
    if (elapsed != 0) {
        // Small counts are scaled first so that their rate is not rounded to
        // nought; large ones are divided first.
        const std::int64_t rate = bytes < 32768 ? bytes * 1000 / elapsed : bytes / elapsed * 1000;
        line += " (" + std::to_string(rate) + " Bytes/sec)";
    }
    return line;
}
