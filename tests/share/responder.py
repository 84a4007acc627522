#!/usr/bin/env python3
# A scripted HTTP responder on loopback for the share client's tests.
#   responder.py start DIR   starts in the background on a free port; returns once DIR/port holds
#                            the port and DIR/pid the responder's own pid
#   responder.py stop DIR    stops the responder whose pid is in DIR/pid
# POST /record/TAG keeps the request's head and body as DIR/TAG.head and DIR/TAG.body and answers
# "OK"; GET /record/TAG keeps the head and answers 404 with a JSON reason. POST /upload keeps them
# as DIR/upload-TYPE.* (POST /upload/TAG as DIR/upload-TAG-TYPE.*, so programs that run at the same
# time keep apart) and answers like the share server: "OK" for a report, "OK\r\nLINK\r\n" for
# a screenshot. /reply/NAME answers with one of the replies below.
import os
import re
import signal
import subprocess
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

SCREENSHOT_LINK = b"https://localhost/s/0123456789abcdef0123456789abcdef"


def reply(status, body, length=True, extra=b""):
    """A whole reply; one without a length closes the connection after it."""
    size = b"Content-Length: %d\r\n" % len(body) if length else b"Connection: close\r\n"
    return b"HTTP/1.1 %d Scripted\r\n" % status + extra + size + b"\r\n" + body


REPLIES = {
    "ok": reply(200, b"OK"),
    "long-length": reply(200, b"x" * 1025),  # one byte more than the client takes
    "full-length": reply(200, b"y" * 1024),
    "long-unsized": reply(200, b"z" * 1500, False),
    "full-unsized": reply(200, b"w" * 1024, False),
    "short-unsized": reply(200, b"OK, unsized", False),
    "status-500": reply(500, b"Internal Server Error"),
    "redirect": reply(302, b"", extra=b"Location: /reply/ok\r\n"),
    "long-chunked": b"HTTP/1.1 200 Scripted\r\nTransfer-Encoding: chunked\r\n\r\n"
    + (b"1f4\r\n" + b"c" * 500 + b"\r\n") * 3 + b"0\r\n\r\n",
    # Announces 100 bytes, sends 40 and hangs up.
    "truncated": reply(200, b"t" * 100)[:-60],
}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    folder = "."

    def log_message(self, *args):
        pass

    def answer(self, raw):
        self.wfile.write(raw)
        self.close_connection = b"Connection: close" in raw or raw is REPLIES["truncated"]

    def keep(self, tag, body):
        head = self.requestline + "\r\n" + str(self.headers)
        for suffix, data in ((".head", head.encode("latin-1")), (".body", body)):
            write_atomically(os.path.join(self.folder, re.sub(r"[^A-Za-z0-9_-]", "_", tag) + suffix), data)

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        route = self.path.lstrip("/")
        if route.startswith("record/"):
            self.keep(route[7:], body)
            return self.answer(REPLIES["ok"])
        if route == "upload" or route.startswith("upload/"):
            kind = re.search(rb'name="type"\r\n\r\n([a-z]*)\r\n', body)
            kind = kind.group(1).decode() if kind else "unknown"
            tag = route[len("upload/"):] if route.startswith("upload/") else ""
            self.keep("upload-" + (tag + "-" if tag else "") + kind, body)
            return self.answer(reply(200, b"OK\r\n" + SCREENSHOT_LINK + b"\r\n" if kind == "screenshot" else b"OK"))
        return self.scripted(route)

    def do_GET(self):
        route = self.path.lstrip("/").split("?", 1)[0]
        if route.startswith("record/"):
            self.keep(route[7:], b"")
            return self.answer(reply(404, b'{"reason":"kept"}'))
        return self.scripted(route)

    def scripted(self, route):
        name = route[6:] if route.startswith("reply/") else ""
        self.answer(REPLIES.get(name, reply(404, b"no such reply")))


def write_atomically(path, data):
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)


def serve(folder):
    Handler.folder = folder
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    write_atomically(os.path.join(folder, "pid"), str(os.getpid()).encode())
    write_atomically(os.path.join(folder, "port"), str(server.server_address[1]).encode())
    server.serve_forever()


def start(folder):
    os.makedirs(folder, exist_ok=True)
    port = os.path.join(folder, "port")
    if os.path.exists(port):
        os.remove(port)
    child = subprocess.Popen([sys.executable, __file__, "serve", folder], stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    for _ in range(200):
        if os.path.exists(port):
            return 0
        if child.poll() is not None:
            break
        time.sleep(0.05)
    print("responder did not start", file=sys.stderr)
    return 1


def stop(folder):
    path = os.path.join(folder, "pid")
    if os.path.exists(path):
        with open(path) as f:
            pid = int(f.read())
        os.remove(path)
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    return 0


if __name__ == "__main__":
    sys.exit({"start": start, "stop": stop, "serve": serve}[sys.argv[1]](sys.argv[2]))
