# The online service's upload script, a test peer: stores the ladder file
# and releases its update lock, or only releases the lock ("unlock").
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import serviceStore as store

length = int(os.environ.get("CONTENT_LENGTH") or 0)
form = store.fields(sys.stdin.buffer.read(length).decode("latin-1"))
user = form.get("userId", "")
if not store.password_ok(user, form.get("pword", "")):
    store.reply("BADPASSWORD")
elif form.get("action") == "unlock":
    for name in os.listdir(os.path.dirname(store.place("locks", user, "x"))):
        os.remove(store.place("locks", user, name))
    store.reply("OK")
elif not store.good_name(form.get("fileName", "")) or "fileData" not in form:
    store.reply("BADREQUEST")
else:
    name = form["fileName"]
    with open(store.place("files", user, name), "wb") as out:
        out.write(form["fileData"].encode("latin-1"))
    lock = store.place("locks", user, name)
    if os.path.exists(lock):
        os.remove(lock)
    store.reply("OK")
