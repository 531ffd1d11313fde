#!/usr/bin/env python3
"""The local catalogue site: a small HTTP/1.1 server (standard library only)
bound to 127.0.0.1. It serves the made-up library of library.py in the exact
markup the reader takes apart, GBK encoded, plus fixture sites for the
reader's tests and scripted answers for the HTTP client's tests:

  /echo              the raw request bytes as the body, the request line also
                     in an X-Request-Line header (a HEAD answer has no body)
  /status?code=N&reason=R&body=B
                     a chosen status line and body
  /empty             200 with an empty body
  /zero              a body with a zero byte: "abcd\\0efgh"
  /reset?after=N     N body bytes of a longer announced body, then a reset
  /slow?ms=N         waits N ms, then answers "slow"
  /fixture/NAME/...  the fixture sites of fixture_NAME.py (?delay=MS: answer late)
  /auth/...          401 with a Basic challenge until the request carries
                     Authorization, then the raw request bytes as the body
  /redirect?to=X&case=lower&cookie=C
                     302 Found with "Location: X" ("location: X" with
                     case=lower), optionally setting the cookie C
  /cookies?set=LINE&set=LINE...
                     200 with each LINE as a header line, as written and in order

A request line naming an absolute URI ("GET http://host/path HTTP/1.1") is
answered as a proxy would, without forwarding anything: the body is the raw
request the proxy received; a target path under /proxy-auth/ gets 407 with a
Basic challenge until the request carries Proxy-Authorization.

Usage:
  catalogue_site.py --port P                 serve in the foreground
  catalogue_site.py --port P --library DIR   serve the classics converted by classics_convert.py
                                             at "/" instead of the made-up library
  catalogue_site.py --port P --daemon PIDFILE
                                             serve in the background; returns once it answers
  catalogue_site.py --stop PIDFILE           stop a background server
"""

import argparse
import os
import signal
import socket
import socketserver
import struct
import subprocess
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import fixtures  # noqa: E402
import library  # noqa: E402
import markup  # noqa: E402
from classics_library import ClassicsLibrary  # noqa: E402
from search_key import search_key  # noqa: E402

IDENTITY = b"qinghe-catalogue-site"
# The library served at "/" when --library names one; else library.py's.
CLASSICS = None
MAX_HEAD = 64 * 1024
MAX_BODY = 16 * 1024 * 1024
REASONS = {200: "OK", 204: "No Content", 301: "Moved Permanently", 302: "Found",
           400: "Bad Request", 401: "Unauthorized", 403: "Forbidden", 404: "Not Found",
           407: "Proxy Authentication Required", 500: "Internal Server Error",
           503: "Service Unavailable"}


class BadRequest(Exception):
    pass


class Request:
    def __init__(self, raw_head, body):
        self.raw = raw_head + body
        self.body = body
        lines = raw_head.split(b"\r\n")
        parts = lines[0].split(b" ")
        if len(parts) != 3 or not parts[2].startswith(b"HTTP/1."):
            raise BadRequest("request line")
        try:
            self.method = parts[0].decode("ascii")
            self.target = parts[1].decode("latin-1")
        except UnicodeDecodeError:
            raise BadRequest("request line")
        if not self.method.isalpha() or not self.target:
            raise BadRequest("request line")
        self.headers = []
        for line in lines[1:]:
            if not line:
                continue
            name, sep, value = line.partition(b":")
            if not sep or not name.strip():
                raise BadRequest("header line")
            self.headers.append((name.decode("latin-1").strip(), value.decode("latin-1").strip()))
        split = urllib.parse.urlsplit(self.target)
        self.path = split.path
        self.query = split.query

    def header(self, name, default=""):
        for n, v in self.headers:
            if n.lower() == name.lower():
                return v
        return default

    def query_values(self, name):
        """Every value of name, in order; percent escapes decoded to bytes as latin-1."""
        return [v for n, v in urllib.parse.parse_qsl(self.query, keep_blank_values=True, encoding="latin-1")
                if n == name]

    def query_value(self, name, default=""):
        values = urllib.parse.parse_qs(self.query, keep_blank_values=True).get(name)
        return values[0] if values else default

    def base(self):
        return "http://" + (self.header("Host") or "127.0.0.1") + "/"


def read_request(sock_file):
    """Reads one request; None when the client closed the connection."""
    head = b""
    while b"\r\n\r\n" not in head:
        chunk = sock_file.readline(MAX_HEAD)
        if not chunk:
            if head:
                raise BadRequest("truncated head")
            return None
        head += chunk
        if len(head) > MAX_HEAD:
            raise BadRequest("head too long")
    raw_head, _, _ = head.partition(b"\r\n\r\n")
    raw_head += b"\r\n\r\n"
    request = Request(raw_head[:-4], b"")
    length_text = request.header("Content-Length", "0") or "0"
    if not length_text.isdigit() or int(length_text) > MAX_BODY:
        raise BadRequest("content length")
    body = sock_file.read(int(length_text)) if int(length_text) else b""
    request = Request(raw_head[:-4], body)
    request.raw = raw_head + body
    return request


def response(code, body, content_type="text/html; charset=gbk", reason=None, extra=()):
    if isinstance(body, str):
        body = body.encode("gbk")
    lines = ["HTTP/1.1 {0} {1}".format(code, reason if reason is not None else REASONS.get(code, "Unknown"))]
    lines.append("Content-Type: " + content_type)
    lines.append("Content-Length: {0}".format(len(body)))
    lines.extend(extra)
    lines.append("Connection: close")
    return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body


def not_found():
    return response(404, markup.page("404", "<p>页面不存在</p>\r\n"))


# ---- the default library -------------------------------------------------

def library_page(request):
    base = request.base()
    path = request.path
    if path == "/":
        return markup.root_page(base, list(enumerate(library.CATEGORIES, start=1)))
    parts = path.strip("/").split("/")
    if len(parts) == 2 and parts[0] == "sort" and parts[1].endswith(".html"):
        number = parts[1][:-5]
        if number.isdigit() and 1 <= int(number) <= len(library.CATEGORIES):
            ids = library.novel_ids_of(int(number))
            return markup.novel_list_page(library.CATEGORIES[int(number) - 1],
                                          [novel_entry(base, i) for i in ids])
    if len(parts) == 2 and parts[0] == "book" and parts[1].endswith(".html"):
        novel_id = parts[1][:-5]
        if novel_id.isdigit() and library.novel(int(novel_id)):
            title, author, _ = library.novel(int(novel_id))
            block = markup.cover_block("{0}book/{1}/index.html".format(base, novel_id),
                                       "{0}cover/{1}.jpg".format(base, novel_id), title)
            return markup.novel_page(title, author, [block])
    if len(parts) == 3 and parts[0] == "book" and parts[1].isdigit() and library.novel(int(parts[1])):
        novel_id = int(parts[1])
        title, _, chapters = library.novel(novel_id)
        if parts[2] == "index.html":
            links = [markup.toc_link("{0}book/{1}/{2}.html".format(base, novel_id, c),
                                     library.chapter_title(novel_id, c), library.chapter_title(novel_id, c))
                     for c in range(1, chapters + 1)]
            return markup.toc_page(title, links)
        if parts[2].endswith(".html") and parts[2][:-5].isdigit():
            chapter = int(parts[2][:-5])
            if 1 <= chapter <= chapters:
                return markup.chapter_page(library.chapter_title(novel_id, chapter),
                                           library.chapter_paragraphs(novel_id, chapter))
    if path == "/modules/article/search.php":
        return search_page(request)
    return None


def novel_entry(base, novel_id):
    title, author, _ = library.novel(novel_id)
    return markup.novel_entry("{0}book/{1}.html".format(base, novel_id),
                              "{0}cover/{1}.jpg".format(base, novel_id), title, author,
                              "{0}author/{1}.html".format(base, novel_id),
                              intro="共{0}章".format(library.novel(novel_id)[2]))


def search_page(request):
    key = search_key(request.query)
    base = request.base()
    ids = [i for i in library.all_novel_ids() if key and key in library.novel(i)[0]]
    return markup.novel_list_page("搜索：" + key, [novel_entry(base, i) for i in ids])


# ---- the handler ---------------------------------------------------------

class Handler(socketserver.StreamRequestHandler):
    timeout = 60

    def handle(self):
        try:
            request = read_request(self.rfile)
        except BadRequest:
            self.send(response(400, markup.page("400", "<p>请求格式错误</p>\r\n")))
            return
        except (OSError, ValueError):
            return
        if request is None:
            return
        self.head_only = request.method == "HEAD"
        try:
            self.answer(request)
        except (BrokenPipeError, ConnectionResetError):
            pass
        except Exception:  # never a stack trace to the client
            self.send(response(500, markup.page("500", "<p>服务器内部错误</p>\r\n")))

    def send(self, data):
        if getattr(self, "head_only", False):
            data = data.partition(b"\r\n\r\n")[0] + b"\r\n\r\n"
        try:
            self.wfile.write(data)
            self.wfile.flush()
        except OSError:
            pass

    def answer(self, request):
        path = request.path
        if request.target.lower().startswith(("http://", "https://")):
            self.answer_as_proxy(request)
        elif path == "/__identity":
            self.send(response(200, IDENTITY + b" " + str(os.getpid()).encode(), "text/plain"))
        elif path == "/echo":
            request_line = request.raw.partition(b"\r\n")[0].decode("latin-1")
            self.send(response(200, request.raw, "text/plain", extra=["X-Request-Line: " + request_line]))
        elif path == "/status":
            code = request.query_value("code", "200")
            code = int(code) if code.isdigit() else 200
            reason = request.query_value("reason", REASONS.get(code, "Unknown"))
            self.send(response(code, request.query_value("body").encode("gbk", errors="replace"),
                               reason=reason))
        elif path == "/empty":
            self.send(response(200, b"", "text/plain"))
        elif path == "/zero":
            self.send(response(200, b"abcd\x00efgh", "text/plain"))
        elif path == "/reset":
            after = request.query_value("after", "0")
            after = int(after) if after.isdigit() else 0
            head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: {0}\r\n\r\n".format(
                after + 100000).encode("latin-1")
            self.send(head + b"x" * after)
            time.sleep(0.2)
            # A zero linger time makes close() send a reset instead of a FIN.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
        elif path == "/slow":
            ms = request.query_value("ms", "1000")
            time.sleep((int(ms) if ms.isdigit() else 1000) / 1000.0)
            self.send(response(200, b"slow", "text/plain"))
        elif path.startswith("/auth/"):
            if request.header("Authorization"):
                self.send(response(200, request.raw, "text/plain"))
            else:
                self.send(response(401, b"login first", "text/plain",
                                   extra=['WWW-Authenticate: Basic realm="qinghe"']))
        elif path == "/redirect":
            target = (request.query_values("to") or ["/"])[0]
            name = "location" if request.query_value("case") == "lower" else "Location"
            extra = [name + ": " + target]
            cookie = (request.query_values("cookie") or [""])[0]
            if cookie:
                extra.append("Set-Cookie: " + cookie + "; path=/")
            if any(c in "\r\n" for c in "".join(extra)):
                self.send(response(400, b"line break in a header", "text/plain"))
            else:
                self.send(response(302, b"moved", "text/plain", extra=extra))
        elif path == "/cookies":
            lines = request.query_values("set")
            if any(c in "\r\n" for c in "".join(lines)):
                self.send(response(400, b"line break in a header", "text/plain"))
            else:
                self.send(response(200, b"cookies", "text/plain", extra=lines))
        elif path.startswith("/fixture/"):
            # Any fixture page answers late when asked to: ?delay=MS.
            delay = request.query_value("delay", "0")
            if delay.isdigit():
                time.sleep(int(delay) / 1000.0)
            name, _, rest = path[len("/fixture/"):].partition("/")
            text = fixtures.fixture_page(name, rest, request.base() + "fixture/" + name + "/", request.query)
            self.send(response(200, text) if text is not None else not_found())
        else:
            text = CLASSICS.page(request.base(), path[1:], request.query) if CLASSICS else library_page(request)
            self.send(response(200, text) if text is not None else not_found())


    def answer_as_proxy(self, request):
        if request.path.startswith("/proxy-auth/") and not request.header("Proxy-Authorization"):
            self.send(response(407, b"proxy login first", "text/plain",
                               extra=['Proxy-Authenticate: Basic realm="qinghe-proxy"']))
        else:
            self.send(response(200, request.raw, "text/plain"))


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def answers(port):
    """The pid of a catalogue site answering on port, or None."""
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1) as s:
            s.sendall(b"GET /__identity HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
            data = b""
            while True:
                chunk = s.recv(4096)
                if not chunk:
                    break
                data += chunk
    except OSError:
        return None
    body = data.partition(b"\r\n\r\n")[2]
    if body.startswith(IDENTITY):
        return int(body.split()[1])
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--port", type=int)
    parser.add_argument("--daemon", metavar="PIDFILE")
    parser.add_argument("--stop", metavar="PIDFILE")
    parser.add_argument("--library", metavar="DIR")
    args = parser.parse_args()

    if args.stop:
        try:
            with open(args.stop) as f:
                os.kill(int(f.read().strip()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        return 0
    if args.port is None:
        parser.error("--port is required")

    if args.daemon:
        # A site left running on the port may serve another library: it is
        # replaced, so the site always serves what this call asks for.
        old = answers(args.port)
        if old is not None:
            try:
                os.kill(old, signal.SIGTERM)
            except OSError:
                pass
            for _ in range(100):
                if answers(args.port) is None:
                    break
                time.sleep(0.05)
        pid = answers(args.port)
        if pid is None:
            log = open(os.path.splitext(args.daemon)[0] + ".log", "ab")
            child = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--port", str(args.port)] +
                                     (["--library", os.path.abspath(args.library)] if args.library else []),
                                     stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
            for _ in range(200):
                pid = answers(args.port)
                if pid is not None or child.poll() is not None:
                    break
                time.sleep(0.05)
        if pid is None:
            print("catalogue site did not start on port {0}".format(args.port), file=sys.stderr)
            return 1
        with open(args.daemon, "w") as f:
            f.write(str(pid))
        print("catalogue site on http://127.0.0.1:{0}/ (pid {1})".format(args.port, pid))
        return 0

    if args.library:
        global CLASSICS
        CLASSICS = ClassicsLibrary(args.library)
    with Server(("127.0.0.1", args.port), Handler) as server:
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
        server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
