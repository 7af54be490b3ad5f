"""A mail server for the SMTP tests: aiosmtpd on 127.0.0.1 with AUTH LOGIN
and PLAIN on a plain connection (user "alice", password "secret"), refusing
every recipient whose address holds "refuse". Each accepted message is
stored in the folder as N.eml (the data as received, dot-stuffing undone)
and N.env (the sender, then one recipient a line).

usage: smtp_server.py PORT FOLDER
"""
import os
import signal
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0
        self.lock = threading.Lock()

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if "refuse" in address:
            return "550 5.1.1 mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        with self.lock:
            self.count += 1
            base = os.path.join(self.folder, str(self.count))
        with open(base + ".env.tmp", "w") as f:
            f.write((envelope.mail_from or "") + "\n")
            for r in envelope.rcpt_tos:
                f.write(r + "\n")
        with open(base + ".eml.tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".env.tmp", base + ".env")
        os.rename(base + ".eml.tmp", base + ".eml")
        return "250 Message accepted"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = auth_data.login == b"alice" and auth_data.password == b"secret"
    # Not handled: the server itself answers 535 to a refused login.
    return AuthResult(success=ok, handled=False)


def main():
    port, folder = int(sys.argv[1]), sys.argv[2]
    controller = Controller(Store(folder), hostname="127.0.0.1", port=port,
                            authenticator=authenticator, auth_require_tls=False,
                            data_size_limit=64 * 1024 * 1024)
    controller.start()
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    controller.stop()


if __name__ == "__main__":
    main()
