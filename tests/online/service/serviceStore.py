# The online service's store for the test peers: accounts in "users" (user
# id, tab, password per line), ladder files below "files/<user id>/", and
# the update locks below "locks/<user id>/". The store is the folder
# "service" beside the web server's document root.
import os
import sys
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
STORE = os.path.join(HERE, "..", "..", "service")
NAME_CHARS = set("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_.")


def fields(text):
    # Latin-1 maps every byte to one character and back, so the ladder's
    # bytes come through whatever they are.
    parsed = urllib.parse.parse_qs(text, keep_blank_values=True, encoding="latin-1")
    return {name: values[-1] for name, values in parsed.items()}


def password_ok(user, password):
    with open(os.path.join(STORE, "users"), encoding="latin-1") as accounts:
        for line in accounts:
            name, _, word = line.rstrip("\n").partition("\t")
            if name == user:
                return word == password
    return False


def place(kind, user, name):
    folder = os.path.join(STORE, kind, urllib.parse.quote(user, safe=""))
    os.makedirs(folder, exist_ok=True)
    return os.path.join(folder, name)


def good_name(name):
    return name != "" and set(name) <= NAME_CHARS and not name.startswith(".")


def reply(status, body=b""):
    sys.stdout.buffer.write(b"Content-Type: text/plain\r\n\r\nstatus=" + status.encode() +
                            b"\r\n" + body)
