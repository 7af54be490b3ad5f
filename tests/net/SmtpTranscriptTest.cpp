// The SMTP client against a scripted peer: each case folder holds the
// script (the client's settings and requests, what the peer answers and each
// line the client must send, in order) and the transcript the client shows.
// The peer checks every byte it reads against the script; a line the client
// must not send makes the next check fail.

#include "net/SmtpProt.h"
#include "platform/Clock.h"
#include "tests/net/SocketPeers.h"
#include "tests/net/WinsockSupport.h"
#include "tests/support/Golden.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <unistd.h>

namespace {

const std::string kCases = std::string(SMTP_TEST_DIR) + "/smtp-transcripts";
// Mon, 7 Dec 2026 22:30:00 UTC.
constexpr std::time_t kMonday = 1796682600;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Exposes the walker, for a greeting with EHLO that may fall back to HELO.
class ScriptClient : public TSyncSmtpCli {
public:
    void OpenWithEhlo() { HighLevelAsync(smtpOpen, {smtpFctConnect, smtpFctEhlo}); }
};

class Zone {
public:
    explicit Zone(const char* tz) {
        if (const char* old = std::getenv("TZ")) old_ = old, had_ = true;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~Zone() {
        if (had_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string old_;
    bool had_ = false;
};

// Whether the client closes within 5 seconds, sending nothing more.
bool ClosedByClient(int fd) {
    pollfd p{fd, POLLIN, 0};
    char c;
    return poll(&p, 1, 5000) == 1 && read(fd, &c, 1) == 0;
}

// What the peer does, line by line; mismatches go to `errors`.
void PlayPeer(int fd, const std::vector<ScriptLine>& lines, std::vector<std::string>& errors) {
    for (const ScriptLine& l : lines) {
        const std::string& op = l.Op();
        if (op == "S") {
            WriteAll(fd, l.Arg(1) + "\r\n");
        } else if (op == "L") {
            WriteAll(fd, l.Arg(1) + "\n");
        } else if (op == "long") {
            WriteAll(fd, "250-" + std::string(std::size_t(l.Num(1)), 'x') + "\r\n");
        } else if (op == "C") {
            std::string got = ReadUntil(fd, "\r\n");
            if (got != l.Arg(1) + "\r\n") errors.push_back("expected " + l.Arg(1) + ", got " + got);
        } else if (op == "close") {
            return;
        } else if (op == "hold") {
            // The connection stays open: the client must close it by itself.
            if (!ClosedByClient(fd)) errors.push_back("the client kept the connection open");
            return;
        }
    }
    std::string extra = ReadExactly(fd, 1 << 20);
    if (!extra.empty()) errors.push_back("unexpected bytes: " + extra);
}

std::string RunScript(const std::vector<ScriptLine>& script, std::vector<std::string>& peerErrors) {
    std::vector<ScriptLine> peerLines;
    for (const ScriptLine& l : script)
        if (l.Op() != "set" && l.Op() != "do") peerLines.push_back(l);
    ScriptedPeer peer([&](int fd) { PlayPeer(fd, peerLines, peerErrors); });
    // A case that asks for a closed port gets one that stays closed.
    const RefusedPort closed;

    std::string log;
    ScriptClient client;
    client.Host = "127.0.0.1";
    client.Port = std::to_string(peer.port);
    client.SignOn = "client.example";
    bool done = false;
    client.OnDisplay = [&](TCustomSmtpClient*, const std::string& msg) { log += msg + "\n"; };
    client.OnRequestDone = [&](TCustomSmtpClient* c, TSmtpRequest rq, WORD error) {
        log += "RequestDone Rq=" + std::to_string(rq) + " Error=" + std::to_string(error) + "\n";
        log += "LastResponse: " + c->LastResponse() + "\n";
        log += std::string("Connected: ") + (c->Connected() ? "yes" : "no") + "\n";
        done = true;
    };
    for (const ScriptLine& l : script) {
        if (l.Op() == "set") {
            const std::string key = l.Arg(1), value = l.Arg(2);
            if (key == "auth")
                client.AuthType = value == "login"   ? smtpAuthLogin
                                  : value == "plain" ? smtpAuthPlain
                                  : value == "cram"  ? smtpAuthCramMD5
                                                     : smtpAuthNone;
            else if (key == "user")
                client.Username = value;
            else if (key == "password")
                client.Password = value;
            else if (key == "from")
                client.FromName = value;
            else if (key == "rcpt")
                client.RcptName.push_back(value);
            else if (key == "line")
                client.MailMessage.push_back(value);
            else if (key == "hdrfrom")
                client.HdrFrom = value;
            else if (key == "hdrto")
                client.HdrTo = value;
            else if (key == "subject")
                client.HdrSubject = value;
            else if (key == "port")
                client.Port = value == "closed" ? std::to_string(closed.port) : value;
        } else if (l.Op() == "do") {
            done = false;
            log += "-- " + l.Arg(1) + "\n";
            try {
                const std::string rq = l.Arg(1);
                if (rq == "open")
                    client.Open();
                else if (rq == "open-ehlo")
                    client.OpenWithEhlo();
                else if (rq == "mail")
                    client.Mail();
                else if (rq == "quit")
                    client.Quit();
            } catch (const SmtpException& e) {
                log += std::string("SmtpException: ") + e.what() + "\n";
                continue;
            }
            if (!PumpUntil([&] { return done; }, 8000)) log += "no RequestDone\n";
        }
    }
    // Lets the peer see the close.
    client.Abort();
    PumpFor(20);
    EXPECT_TRUE(peer.Finished());
    return log;
}

class SmtpTranscript : public testing::TestWithParam<std::string> {};

TEST_P(SmtpTranscript, ClientSendsAndShowsWhatTheCaseSays) {
    const std::string folder = kCases + "/" + GetParam();
    Zone zone("CET-1");
    SetFixedClock(kMonday);
    std::vector<std::string> peerErrors;
    std::string log = RunScript(ScriptLines(ReadFile(folder + "/script.txt")), peerErrors);
    ClearFixedClock();
    EXPECT_EQ(peerErrors, std::vector<std::string>{});
    CompareGolden(folder + "/transcript.txt", log);
}

INSTANTIATE_TEST_SUITE_P(Cases, SmtpTranscript, testing::ValuesIn(GoldenCases(kCases)),
                         GoldenCaseName);

TEST(SmtpClient, RefusedConnectionSaysWhyInTheWinsockForm) {
    TSmtpCli client;
    client.Host = "127.0.0.1";
    const RefusedPort closed;
    client.Port = std::to_string(closed.port);
    int result = -1;
    client.OnRequestDone = [&](TCustomSmtpClient*, TSmtpRequest, WORD error) { result = error; };
    client.Open();
    ASSERT_TRUE(PumpUntil([&] { return result >= 0; }));
    EXPECT_EQ(result, 500);
    EXPECT_EQ(client.LastResponse(), "500 " + WSocketErrorDesc(10061) + " (Winsock error #10061)");
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.State(), smtpReady);
}

TEST(SmtpClient, PreconditionsRaiseBeforeAnythingIsSent) {
    TSmtpCli client;
    EXPECT_THROW(client.Mail(), SmtpException);
    EXPECT_THROW(client.Data(), SmtpException);
    EXPECT_THROW(client.SetEmailFiles({"/nonexistent/file.txt"}), SmtpException);
    // QUIT while not connected completes at once, through the posted event.
    int result = -1;
    client.OnRequestDone = [&](TCustomSmtpClient*, TSmtpRequest rq, WORD error) {
        result = rq == smtpQuit ? error : 999;
    };
    client.Quit();
    EXPECT_EQ(result, -1);
    ASSERT_TRUE(PumpUntil([&] { return result >= 0; }));
    EXPECT_EQ(result, 0);
}

TEST(SmtpClient, TheBlockingWaitGivesUpOnASilentServer) {
    ScriptedPeer peer([](int fd) { ReadExactly(fd, 1 << 20); });
    TSyncSmtpCli client;
    client.Host = "127.0.0.1";
    client.Port = std::to_string(peer.port);
    client.Timeout = 1;
    EXPECT_FALSE(client.OpenSync());
    EXPECT_EQ(client.ErrorMessage(), "426 Timeout");
    EXPECT_EQ(client.StatusCode(), 426);
    EXPECT_EQ(client.State(), smtpReady);
    EXPECT_FALSE(client.Connected());
}

} // namespace
