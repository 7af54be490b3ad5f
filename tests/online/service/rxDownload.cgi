# The online service's download script, a test peer: sends the ladder file
# after the status line and holds its update lock until the next upload.
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import serviceStore as store

form = store.fields(os.environ.get("QUERY_STRING", ""))
user = form.get("userId", "")
name = form.get("fileName", "")
if not store.password_ok(user, form.get("pword", "")):
    store.reply("BADPASSWORD")
elif not store.good_name(name) or not os.path.exists(store.place("files", user, name)):
    store.reply("FILENOTFOUND")
else:
    with open(store.place("files", user, name), "rb") as kept:
        data = kept.read()
    open(store.place("locks", user, name), "w").close()
    store.reply("OK", data)
