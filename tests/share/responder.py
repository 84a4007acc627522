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
# Reply name: status, body, whether the length is announced (else the connection closes after it).
REPLIES = {
    "ok": (200, b"OK", True),
    "long-length": (200, b"x" * 1025, True),  # one byte more than the client takes
    "full-length": (200, b"y" * 1024, True),
    "long-unsized": (200, b"z" * 1500, False),
    "full-unsized": (200, b"w" * 1024, False),
    "short-unsized": (200, b"OK, unsized", False),
    "status-500": (500, b"Internal Server Error", True),
}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    folder = "."

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", length=True, extra=()):
        self.send_response_only(status)
        for name, value in extra:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        self.wfile.write(body)

    def keep(self, tag, body):
        head = self.requestline + "\r\n" + str(self.headers)
        for suffix, data in ((".head", head.encode("latin-1")), (".body", body)):
            write_atomically(os.path.join(self.folder, re.sub(r"[^A-Za-z0-9_-]", "_", tag) + suffix), data)

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        route = self.path.lstrip("/")
        if route.startswith("record/"):
            self.keep(route[7:], body)
            return self.answer(200, b"OK")
        if route == "upload" or route.startswith("upload/"):
            kind = re.search(rb'name="type"\r\n\r\n([a-z]*)\r\n', body)
            kind = kind.group(1).decode() if kind else "unknown"
            tag = route[len("upload/"):] if route.startswith("upload/") else ""
            self.keep("upload-" + (tag + "-" if tag else "") + kind, body)
            return self.answer(200, b"OK\r\n" + SCREENSHOT_LINK + b"\r\n" if kind == "screenshot" else b"OK")
        return self.scripted(route)

    def do_GET(self):
        route = self.path.lstrip("/").split("?", 1)[0]
        if route.startswith("record/"):
            self.keep(route[7:], b"")
            return self.answer(404, b'{"reason":"kept"}')
        return self.scripted(route)

    def scripted(self, route):
        reply = route[6:] if route.startswith("reply/") else ""
        if reply in REPLIES:
            return self.answer(*REPLIES[reply])
        if reply == "redirect":
            return self.answer(302, b"", extra=(("Location", "/reply/ok"),))
        if reply not in ("long-chunked", "truncated"):
            return self.answer(404, b"no such reply")
        self.send_response_only(200)
        if reply == "long-chunked":
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            self.wfile.write((b"1f4\r\n" + b"c" * 500 + b"\r\n") * 3 + b"0\r\n\r\n")
        else:  # announces 100 bytes, sends 40 and hangs up
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b"t" * 40)
            self.close_connection = True


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
