#!/usr/bin/env python3
"""A stand-in for the maker's firmware server, over HTTPS on 127.0.0.1.

It serves the files of a folder, and answers some paths badly on purpose. A
path segment names the fault, and the rest of the path (the segment removed)
says what is served:

  .../error/<code>/...  answers with that status and a small error page
  .../slow/...          waits --slow-seconds before it answers
  .../late/...          waits half a second before it answers, so a test can act while a request runs
  .../cut/...           announces the whole file but sends half of it
  .../away/...          redirects (302) to that path on the --partner-port server
  .../plain/...         redirects (302) to that path on the --plain-port server (plain HTTP)
  .../moved/...         redirects (302) to that path on this server, named "localhost"
  .../endless/...       sends a catalogue-like body that never ends
  .../partial/...       answers 206 Partial Content with the first half of the file
  .../gzip/...          sends the file gzip-compressed, as Content-Encoding: gzip
  .../coded/...         sends the file gzip-compressed, as Transfer-Encoding: gzip, chunked
  .../silent/...        reads the request and never answers
  .../headers/...       sends the headers of the file and then nothing
  .../half/...          sends the headers and half the file, then nothing, holding the connection
  .../trickle/...       sends the file 50 bytes every quarter of a second

A "second" segment before the fault applies the fault only to every second
request for that path; the others are answered well (a catalogue is asked for
twice: once to see that the server answers, then to be read).

Without --cert the server speaks plain HTTP. The chosen port is written to
--port-file once the server listens.
"""
import argparse
import gzip
import http.server
import itertools
import os
import socketserver
import ssl
import sys
import time

FAULTS = ("error", "slow", "late", "cut", "away", "plain", "moved", "endless", "partial", "gzip", "coded",
          "silent", "headers", "half", "trickle")
STALL_SECONDS = 3600
LATE_SECONDS = 0.5


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"  # one request per connection; no keep-alive to reason about

    def log_message(self, *args):
        pass

    def do_GET(self):
        segments = self.path.split("?")[0].split("/")
        fault = next((s for s in segments if s in FAULTS), None)
        if fault is None:
            return self.send_file(self.path)

        at = segments.index(fault)
        if fault == "error":
            code = int(segments[at + 1]) if at + 1 < len(segments) and segments[at + 1].isdigit() else 500
            return self.send_body(code, b"<html><body>error %d</body></html>" % code, "text/html")

        rest = "/".join(s for i, s in enumerate(segments) if i != at and not (i == at - 1 and s == "second"))
        if segments[at - 1] == "second" and next(self.server.counter(self.path)) % 2 == 1:
            return self.send_file(rest)
        if fault in ("slow", "late"):
            time.sleep(self.server.slow_seconds if fault == "slow" else LATE_SECONDS)
            return self.send_file(rest)
        if fault in ("away", "plain", "moved"):
            return self.redirect(fault, rest)
        if fault == "endless":
            return self.send_endless()
        if fault == "coded":
            return self.send_transfer_coded(rest)
        if fault == "silent":
            return time.sleep(STALL_SECONDS)
        return self.send_file(rest, fault)

    def redirect(self, fault, rest):
        target = {
            "away": "https://127.0.0.1:%d" % self.server.partner_port,
            "plain": "http://127.0.0.1:%d" % self.server.plain_port,
            "moved": "https://localhost:%d" % self.server.server_address[1],
        }[fault]
        self.send_response(302)
        self.send_header("Location", target + rest)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def send_file(self, path, fault=None):
        local = os.path.normpath(os.path.join(self.server.docroot, path.lstrip("/")))
        if not local.startswith(self.server.docroot + os.sep) or not os.path.isfile(local):
            return self.send_body(404, b"<html><body>not found</body></html>", "text/html")
        with open(local, "rb") as f:
            data = f.read()
        half = data[: len(data) // 2]
        if fault == "gzip":
            data = gzip.compress(data)
        self.send_response(206 if fault == "partial" else 200)
        self.send_header("Content-Type", "application/octet-stream")
        if fault == "gzip":
            self.send_header("Content-Encoding", "gzip")
        if fault == "partial":
            self.send_header("Content-Range", "bytes 0-%d/%d" % (len(half) - 1, len(data)))
        self.send_header("Content-Length", str(len(half) if fault == "partial" else len(data)))
        self.end_headers()
        if fault == "trickle":
            for start in range(0, len(data), 50):
                self.wfile.write(data[start : start + 50])
                self.wfile.flush()
                time.sleep(0.25)
            return
        if fault != "headers":
            self.wfile.write(half if fault in ("cut", "half", "partial") else data)
        self.wfile.flush()
        if fault in ("headers", "half"):
            time.sleep(STALL_SECONDS)

    def send_body(self, code, body, content_type):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_endless(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/xml")
        self.end_headers()
        entry = b'<firmware pid="79" name="Dolmar" version="9.99" fw="images/dolm_ar_et_v201.bin"/>\n' * 64
        try:
            self.wfile.write(b"<firmwares>\n")
            while True:
                self.wfile.write(entry)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, OSError):
            pass


    def send_transfer_coded(self, path):
        with open(os.path.join(self.server.docroot, path.lstrip("/")), "rb") as f:
            pieces = [gzip.compress(f.read())]
        self.send_response(200)
        self.send_header("Content-Type", "application/xml")
        self.send_header("Transfer-Encoding", "gzip, chunked")
        self.send_header("Connection", "close")
        self.end_headers()
        try:
            for piece in pieces:
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.write(b"0\r\n\r\n")
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, OSError):
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def counter(self, path):
        return self.counters.setdefault(path, itertools.count(1))

    def handle_error(self, request, client_address):
        pass  # a client that refuses the certificate is expected here

    def get_request(self):
        sock, address = self.socket.accept()
        if self.context is None:
            return sock, address
        # The handshake happens in the request's own thread, at its first read,
        # so a client that stalls cannot hold up the others.
        return self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), address


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--docroot", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--partner-port", type=int, default=0)
    parser.add_argument("--plain-port", type=int, default=0)
    parser.add_argument("--slow-seconds", type=float, default=6.0)
    args = parser.parse_args()

    server = Server(("127.0.0.1", 0), Handler)
    server.docroot = os.path.realpath(args.docroot)
    server.slow_seconds = args.slow_seconds
    server.partner_port = args.partner_port
    server.plain_port = args.plain_port
    server.counters = {}
    server.context = None
    if args.cert:
        server.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        server.context.load_cert_chain(args.cert, args.key)

    with open(args.port_file + ".part", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(args.port_file + ".part", args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
