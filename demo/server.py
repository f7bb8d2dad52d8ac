#!/usr/bin/env python3
"""The demonstration's web: a few local pages, served on the loopback address only.

It is also an HTTP proxy that answers every request itself: a request for an
absolute address ("GET http://www.nimbrel.com/sponsors HTTP/1.1", as a browser
sends to its proxy) is answered from the same local pages, whatever the host.
So every host, the program's maker's included, resolves to this server, and
nothing goes anywhere else: no request is ever forwarded.

    server.py --log FILE [--port N] [--port-file FILE] [--lifetime SECONDS] [--site DIR]

The page for path /NAME is DIR/NAME.html (/ is index.html); an unknown path
gets a "not found" page. Every request is logged to FILE as one line: the time
of day, the seconds since the server started, the status, the address asked
for and the title of the page sent. The server stops by itself after its
lifetime, and at SIGTERM or SIGINT.
"""

import argparse
import html
import os
import re
import signal
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from urllib.parse import urlsplit

LOOPBACK = "127.0.0.1"
PAGE_NAME = re.compile(r"^[a-z0-9][a-z0-9-]{0,40}$")
TITLE = re.compile(r"<title>(.*?)</title>", re.IGNORECASE | re.DOTALL)


def split_target(target, host_header):
    """The host and the path of a request line's target: an absolute address
    (proxy form) names its host; an origin-form path takes the Host header's."""
    if "://" in target:
        parts = urlsplit(target)
        host, path = parts.netloc, parts.path or "/"
        if parts.query:
            path += "?" + parts.query
    else:
        host, path = host_header or "", target or "/"
    host = host.lower()
    # Some clients name the default port; the log shows the address as typed.
    if host.endswith(":80"):
        host = host[:-3]
    return host, path


def page_file(site, path):
    """The file that answers for a path, or None: /NAME or /NAME/ with or
    without a query maps to NAME.html, and / to index.html."""
    name = path.split("?", 1)[0].split("#", 1)[0].strip("/").lower() or "index"
    if not PAGE_NAME.match(name):
        return None
    candidate = site / (name + ".html")
    return candidate if candidate.is_file() else None


def title_of(body):
    match = TITLE.search(body)
    return html.unescape(" ".join(match.group(1).split())) if match else ""


def not_found_page(address):
    shown = html.escape(address)
    return (
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Page not found</title></head>"
        f"<body><h1>Page not found</h1><p>There is no page at {shown} on this little web.</p>"
        "<p>Try the home page, http://www.example.com/, which lists every page there is.</p>"
        "</body></html>"
    )


class VisitLog:
    """Appends one line per request to the log file, flushed at once, so that
    it can be read while the server runs."""

    def __init__(self, path):
        self.started = time.monotonic()
        self.lock = threading.Lock()
        self.file = open(path, "a", encoding="utf-8")

    def record(self, status, address, title):
        now = time.time()
        stamp = time.strftime("%H:%M:%S", time.localtime(now)) + f".{int(now * 1000) % 1000:03d}"
        elapsed = time.monotonic() - self.started
        line = f"{stamp}  +{elapsed:7.1f} s  {status}  {address}"
        if title:
            line += f'  "{title}"'
        with self.lock:
            self.file.write(line + "\n")
            self.file.flush()

    def close(self):
        with self.lock:
            self.file.close()


class Handler(BaseHTTPRequestHandler):
    server_version = "VeruvoDemo/1.0"
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        self.answer(with_body=True)

    def do_HEAD(self):
        self.answer(with_body=False)

    def do_CONNECT(self):
        # A tunnel would reach the host named; this web has plain pages only.
        self.send_error(405, "Only plain http:// pages here")
        self.server.visits.record(405, "CONNECT " + self.path, "")

    def answer(self, with_body):
        host, path = split_target(self.path, self.headers.get("Host"))
        address = f"http://{host}{path}"
        found = page_file(self.server.site, path)
        status = 200 if found else 404
        body = found.read_text(encoding="utf-8") if found else not_found_page(address)
        data = body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if with_body:
            self.wfile.write(data)
        self.server.visits.record(status, address, title_of(body))

    def log_message(self, format, *args):
        pass  # every request goes to the visit log instead


class DemoServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, site, visits):
        super().__init__((LOOPBACK, port), Handler)
        self.site = site
        self.visits = visits


def write_port(path, port):
    """Written whole under another name first, so that a reader never sees half."""
    partial = f"{path}.partial"
    with open(partial, "w", encoding="ascii") as f:
        f.write(f"{port}\n")
    os.replace(partial, path)


def main(argv):
    here = Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--log", required=True, help="the visit log to append to")
    parser.add_argument("--port", type=int, default=0, help="the port; 0 lets the system choose")
    parser.add_argument("--port-file", help="where to write the port once the server listens")
    parser.add_argument("--lifetime", type=float, default=1800, help="seconds before the server stops by itself")
    parser.add_argument("--site", default=str(here / "site"), help="the folder of the pages")
    args = parser.parse_args(argv)

    visits = VisitLog(args.log)
    server = DemoServer(args.port, Path(args.site), visits)
    port = server.server_address[1]

    def stop(*_):
        # shutdown() waits for serve_forever() to return, so not on its thread.
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    lifetime = threading.Timer(args.lifetime, stop)
    lifetime.daemon = True
    lifetime.start()
    if args.port_file:
        write_port(args.port_file, port)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        lifetime.cancel()
        server.server_close()
        visits.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
