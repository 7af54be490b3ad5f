// The SMTP client against a real mail server started for each test: what
// the server stores must be what the client sent, byte for byte once the
// dot-stuffing is undone, and what curl sends from the same bytes.

#include "net/Base64.h"
#include "net/SmtpProt.h"
#include "tests/net/SocketPeers.h"
#include "tests/net/WinsockSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string kServer = std::string(SMTP_TEST_DIR) + "/peers/smtp_server.py";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class SmtpServer : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/rx-smtp-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        server = StartOnFreePort(
            [&](unsigned short p) {
                return std::vector<std::string>{"/usr/bin/python3", kServer, std::to_string(p),
                                                folder};
            },
            port);
        ASSERT_TRUE(server->Running()) << "the mail server did not start";
    }
    void TearDown() override {
        server.reset();
        std::filesystem::remove_all(folder);
    }

    // The client, with every line it shows kept in `log`.
    void Prepare(TSyncSmtpCli& client) {
        client.Host = "127.0.0.1";
        client.Port = std::to_string(port);
        client.SignOn = "client.example";
        client.Timeout = 10;
        client.OnDisplay = [this](TCustomSmtpClient*, const std::string& msg) {
            log.push_back(msg);
        };
    }

    // The data the client sent, as the server must store it: the lines
    // between DATA and the final ".", with one period taken off stuffed ones.
    std::string SentData() const {
        std::string data;
        bool inData = false;
        for (const std::string& line : log) {
            if (line == "> DATA") {
                inData = true;
                data.clear();
            } else if (inData && line == "> .") {
                inData = false;
            } else if (inData && line.starts_with("> ")) {
                std::string text = line.substr(2);
                if (text.starts_with(".")) text.erase(0, 1);
                data += text + "\r\n";
            }
        }
        return data;
    }

    std::string Stored(int n) {
        const std::string path = folder + "/" + std::to_string(n) + ".eml";
        EXPECT_TRUE(PumpUntil([&] { return std::filesystem::exists(path); }, 5000)) << path;
        return ReadFile(path);
    }
    std::string Envelope(int n) { return ReadFile(folder + "/" + std::to_string(n) + ".env"); }

    std::string folder;
    unsigned short port = 0;
    std::unique_ptr<ServerProcess> server;
    std::vector<std::string> log;
};

TEST_F(SmtpServer, AuthLoginMailMatchesWhatWasSentAndWhatCurlSends) {
    TSyncSmtpCli client;
    Prepare(client);
    client.AuthType = smtpAuthLogin;
    client.Username = "alice";
    client.Password = "secret";
    client.FromName = "organiser@example.org";
    client.RcptName = {"p1@example.org", "Refuse Me <refuse@example.org>", "  ", "p2@example.org"};
    client.HdrFrom = "\"Club\" <organiser@example.org>";
    client.HdrTo = "p1@example.org; p2@example.org";
    client.HdrSubject = "Ladder for Zoë";
    client.MailMessage = {"Ladder for Zoë Ünal", ".", ".x", "..", "a\r\nb\rc\nd", "", "tail"};
    ASSERT_TRUE(client.OpenSync()) << client.LastResponse();
    ASSERT_TRUE(client.MailSync()) << client.LastResponse();
    ASSERT_TRUE(client.QuitSync()) << client.LastResponse();

    const std::string sent = SentData();
    ASSERT_FALSE(sent.empty());
    EXPECT_NE(
        sent.find("\r\nLadder for Zoë Ünal\r\n.\r\n.x\r\n..\r\na\r\nb\r\nc\r\nd\r\n\r\ntail\r\n"),
        std::string::npos);
    EXPECT_EQ(Stored(1), sent);
    EXPECT_EQ(Envelope(1), "organiser@example.org\np1@example.org\np2@example.org\n");
    EXPECT_NE(std::find(log.begin(), log.end(), "Recipient refused: refuse@example.org"),
              log.end());

    // curl sends the same bytes as the reference.
    const std::string file = folder + "/reference.eml";
    std::ofstream(file, std::ios::binary) << sent;
    const std::string command = "timeout 20 curl -s smtp://127.0.0.1:" + std::to_string(port) +
                                " --user alice:secret --mail-from organiser@example.org"
                                " --mail-rcpt p1@example.org --mail-rcpt p2@example.org"
                                " --upload-file " +
                                file;
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Stored(2), Stored(1));
    EXPECT_EQ(Envelope(2), Envelope(1));
}

TEST_F(SmtpServer, AuthPlainAfterARefusedPasswordOpensAgain) {
    TSyncSmtpCli client;
    Prepare(client);
    client.Host = "localhost"; // looked up by name
    client.AuthType = smtpAuthPlain;
    client.Username = "alice";
    client.Password = "wrong";
    EXPECT_FALSE(client.OpenSync());
    EXPECT_EQ(client.ErrorCode(), 535);
    EXPECT_EQ(client.ErrorMessage().substr(0, 4), "535 ");
    EXPECT_FALSE(client.Connected());

    client.Password = "secret";
    ASSERT_TRUE(client.OpenSync()) << client.LastResponse();
    client.RcptName = {"refuse@example.org", "only@example.org"};
    client.MailMessage = {"short"};
    ASSERT_TRUE(client.MailSync()) << client.LastResponse();
    ASSERT_TRUE(client.QuitSync());
    EXPECT_EQ(Envelope(1), "<>\nonly@example.org\n");
    EXPECT_EQ(Stored(1), SentData());
}

TEST_F(SmtpServer, EveryRecipientRefusedFailsTheMail) {
    TSyncSmtpCli client;
    Prepare(client);
    ASSERT_TRUE(client.OpenSync());
    client.RcptName = {"refuse1@example.org", "bad\r\nRCPT TO:<x@example.org>",
                       "refuse2@example.org"};
    client.MailMessage = {"never"};
    EXPECT_FALSE(client.MailSync());
    EXPECT_EQ(client.ErrorMessage().substr(0, 4), "550 ");
    ASSERT_TRUE(client.QuitSync());
    EXPECT_FALSE(std::filesystem::exists(folder + "/1.eml"));
    // The address with a line break was never sent.
    for (const std::string& line : log)
        EXPECT_FALSE(line.starts_with("> RCPT TO:<x@")) << line;
}

TEST_F(SmtpServer, AttachmentsGoInBase64PartsAfterTheText) {
    const std::string path = folder + "/scores.bin";
    std::string bytes;
    for (int n = 0; n < 1000; ++n)
        bytes += char(n * 7);
    std::ofstream(path, std::ios::binary) << bytes;

    TSyncSmtpCli client;
    Prepare(client);
    client.RcptName = {"p1@example.org"};
    client.MailMessage = {"See the scores.", "."};
    client.SetEmailFiles({path});
    client.OnAttachContentType = [](TCustomSmtpClient*, int, const std::string&,
                                    std::string& type) { type = "application/x-scores"; };
    ASSERT_TRUE(client.OpenSync());
    ASSERT_TRUE(client.MailSync()) << client.LastResponse();
    ASSERT_TRUE(client.QuitSync());

    const std::string stored = Stored(1);
    EXPECT_EQ(stored, SentData());
    EXPECT_NE(stored.find("Content-Type: multipart/mixed;\r\n\tboundary=\"= Multipart Boundary "),
              std::string::npos);
    EXPECT_NE(stored.find("\r\nSee the scores.\r\n.\r\n"), std::string::npos);
    EXPECT_NE(stored.find("Content-Type: application/x-scores;\r\n\tname=\"scores.bin\""),
              std::string::npos);
    // The Base64 lines between the part's empty line and the closing lines
    // give the file back.
    const std::size_t start = stored.find("\r\n\r\n", stored.find("filename=")) + 4;
    const std::size_t end = stored.find("\r\n\r\n--", start);
    ASSERT_NE(end, std::string::npos);
    std::string base64 = stored.substr(start, end - start);
    std::erase(base64, '\r');
    std::erase(base64, '\n');
    EXPECT_EQ(Base64Decode(base64), bytes);
}

} // namespace
