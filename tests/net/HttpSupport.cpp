#include "tests/net/HttpSupport.h"

#include "tests/net/SocketPeers.h"

#include <QObject>
#include <QTimer>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

Outcome Request(THttpCli& cli, THttpRequest method, int abortAfter) {
    QObject guard;
    QTimer::singleShot(abortAfter > 0 ? abortAfter : 20000, &guard, [&cli] { cli.Abort(); });
    Outcome o;
    try {
        switch (method) {
        case httpPOST:
            cli.Post();
            break;
        case httpHEAD:
            cli.Head();
            break;
        default:
            cli.Get();
            break;
        }
    } catch (const EHttpException& e) {
        o.code = e.ErrorCode;
        o.error = e.what();
    }
    return o;
}

std::string ReadRequest(int fd) {
    std::string request = ReadUntil(fd, "\r\n\r\n");
    std::size_t at = request.find("Content-Length: ");
    if (at != std::string::npos) {
        std::size_t length = std::stoul(request.substr(at + 16));
        request += ReadExactly(fd, length);
    }
    return request;
}

RepeatingPeer::RepeatingPeer(std::string reply) {
    listener_ = ListenOnLoopback(port, 16);
    thread_ = std::thread([this, reply] {
        while (!stop_.load()) {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            int fd = accept(listener_, nullptr, nullptr);
            if (fd < 0) continue;
            ReadRequest(fd);
            ++requests_;
            WriteAll(fd, reply);
            close(fd);
        }
    });
}

RepeatingPeer::~RepeatingPeer() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::vector<std::string> LighttpdCommand(const std::string& folder, const std::string& root,
                                         unsigned short port) {
    const std::string users = folder + "/users.htpasswd";
    std::ofstream(users) << "anna:s3cret\n";
    const std::string config = folder + "/lighttpd.conf";
    std::ofstream out(config);
    out << "server.modules = (\"mod_access\", \"mod_auth\", \"mod_authn_file\", \"mod_redirect\","
           " \"mod_cgi\")\n"
        << "server.document-root = \"" << root << "\"\n"
        << "server.bind = \"127.0.0.1\"\n"
        << "server.port = " << port << "\n"
        << "server.pid-file = \"" << folder << "/lighttpd.pid\"\n"
        << "server.errorlog = \"" << folder << "/error.log\"\n"
        << "index-file.names = (\"index.html\")\n"
        << "mimetype.assign = (\".html\" => \"text/html\", \".txt\" => \"text/plain\","
           " \".lad\" => \"text/plain\", \"\" => \"application/octet-stream\")\n"
        << "cgi.assign = (\".cgi\" => \"/usr/bin/python3\")\n"
        << "url.redirect = (\"^/old/(.*)$\" => \"/docs/$1\")\n"
        << "auth.backend = \"plain\"\n"
        << "auth.backend.plain.userfile = \"" << users << "\"\n"
        << "auth.require = (\"/private/\" => (\"method\" => \"basic\", \"realm\" => \"club\","
           " \"require\" => \"valid-user\"))\n";
    return {"/usr/sbin/lighttpd", "-D", "-f", config};
}
