// A 5 MB report mailed to 200 recipients through the SMTP client and, as the
// reference, through curl, to the same real mail server on 127.0.0.1; the
// wall time and processor time of each sender (the server's own time is
// not counted).
//
//     smtp_bench [runs]
//
// Needs /usr/bin/python3 with aiosmtpd, and curl.

#include "net/SmtpProt.h"
#include "tests/net/SocketPeers.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr std::size_t kReportBytes = 5u << 20;
constexpr int kRecipients = 200;

double Seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double Cpu(int who) {
    rusage r{};
    getrusage(who, &r);
    return Seconds(r.ru_utime) + Seconds(r.ru_stime);
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Report-like lines of about 80 characters, some starting with a period.
std::vector<std::string> ReportLines() {
    std::vector<std::string> lines;
    std::size_t total = 0;
    for (int n = 0; total < kReportBytes; ++n) {
        std::string line = (n % 50 == 0 ? "." : " ") + std::to_string(n % 1000) +
                           "   0  0  0 Player " + std::to_string(n) + " Lastname-of-the-player";
        line.resize(78, ' ');
        total += line.size() + 2;
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    char pattern[] = "/tmp/rx-smtp-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    const std::string folder = pattern;
    const std::string script = std::string(ROSTRIX_SOURCE_DIR) + "/tests/net/peers/smtp_server.py";
    unsigned short port = 0;
    const auto server = StartOnFreePort(
        [&](unsigned short free) -> std::vector<std::string> {
            return {"/usr/bin/python3", script, std::to_string(free), folder};
        },
        port);
    if (!server->Running()) {
        std::fprintf(stderr, "the mail server did not start\n");
        return 1;
    }

    const std::vector<std::string> lines = ReportLines();
    std::vector<std::string> recipients;
    for (int n = 1; n <= kRecipients; ++n)
        recipients.push_back("player" + std::to_string(n) + "@example.org");

    std::string reference; // the same message for curl, as the server stores it
    std::printf("%-8s %10s %10s\n", "sender", "wall s", "cpu s");
    for (int run = 0; run < runs; ++run) {
        TSyncSmtpCli client;
        client.Host = "127.0.0.1";
        client.Port = std::to_string(port);
        client.SignOn = "bench.example";
        client.Timeout = 60;
        client.RcptName = recipients;
        client.MailMessage = lines;
        client.HdrFrom = "\"Club\" <org@example.org>";
        client.HdrSubject = "Ladder report";
        const double wall0 = Now(), cpu0 = Cpu(RUSAGE_SELF);
        const bool ok = client.OpenSync() && client.MailSync() && client.QuitSync();
        const double wall = Now() - wall0, cpu = Cpu(RUSAGE_SELF) - cpu0;
        if (!ok) {
            std::fprintf(stderr, "the client failed: %s\n", client.LastResponse().c_str());
            return 1;
        }
        std::printf("%-8s %10.3f %10.3f\n", "ours", wall, cpu);
    }

    const std::string file = folder + "/message.eml";
    {
        std::ofstream out(file, std::ios::binary);
        out << "From: \"Club\" <org@example.org>\r\nSubject: Ladder report\r\n\r\n";
        for (const std::string& line : lines)
            out << line << "\r\n";
    }
    std::string command = "curl -s smtp://127.0.0.1:" + std::to_string(port) +
                          " --mail-from org@example.org --upload-file " + file;
    for (const std::string& r : recipients)
        command += " --mail-rcpt " + r;
    for (int run = 0; run < runs; ++run) {
        const double wall0 = Now(), cpu0 = Cpu(RUSAGE_CHILDREN);
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "curl failed\n");
            return 1;
        }
        const double wall = Now() - wall0, cpu = Cpu(RUSAGE_CHILDREN) - cpu0;
        std::printf("%-8s %10.3f %10.3f\n", "curl", wall, cpu);
    }
    // Every message arrived whole, or the times mean nothing.
    int whole = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".eml" && entry.path().filename() != "message.eml" &&
            entry.file_size() >= kReportBytes)
            ++whole;
    std::filesystem::remove_all(folder);
    if (whole != 2 * runs) {
        std::fprintf(stderr, "%d of %d messages arrived whole\n", whole, 2 * runs);
        return 1;
    }
    return 0;
}
