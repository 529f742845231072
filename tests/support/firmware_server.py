#!/usr/bin/env python3
"""A stand-in for the maker's firmware server, over HTTPS on 127.0.0.1.

It serves the files of a folder, and answers some paths badly on purpose. A
path segment names the fault, and the rest of the path (the segment removed)
says what is served:

  .../error/<code>/...  answers with that status and a small error page
  .../slow/...          waits --slow-seconds before it answers
  .../cut/...           announces the whole file but sends half of it
  .../away/...          redirects (302) to that path on the --partner-port server
  .../endless/...       sends a catalogue-like body that never ends

The chosen port is written to --port-file once the server listens.
"""
import argparse
import http.server
import os
import socketserver
import ssl
import sys
import time

FAULTS = ("error", "slow", "cut", "away", "endless")


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

        rest = "/".join(segments[:at] + segments[at + 1:])
        if fault == "slow":
            time.sleep(self.server.slow_seconds)
            return self.send_file(rest)
        if fault == "cut":
            return self.send_file(rest, cut=True)
        if fault == "away":
            self.send_response(302)
            self.send_header("Location", "https://127.0.0.1:%d%s" % (self.server.partner_port, rest))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        return self.send_endless()

    def send_file(self, path, cut=False):
        local = os.path.normpath(os.path.join(self.server.docroot, path.lstrip("/")))
        if not local.startswith(self.server.docroot + os.sep) or not os.path.isfile(local):
            return self.send_body(404, b"<html><body>not found</body></html>", "text/html")
        with open(local, "rb") as f:
            data = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data[: len(data) // 2] if cut else data)
        self.wfile.flush()

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


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # a client that refuses the certificate is expected here

    def get_request(self):
        sock, address = self.socket.accept()
        # The handshake happens in the request's own thread, at its first read,
        # so a client that stalls cannot hold up the others.
        return self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), address


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--docroot", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--partner-port", type=int, default=0)
    parser.add_argument("--slow-seconds", type=float, default=6.0)
    args = parser.parse_args()

    server = Server(("127.0.0.1", 0), Handler)
    server.docroot = os.path.realpath(args.docroot)
    server.slow_seconds = args.slow_seconds
    server.partner_port = args.partner_port
    server.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    server.context.load_cert_chain(args.cert, args.key)

    with open(args.port_file + ".part", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(args.port_file + ".part", args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
