#!/usr/bin/python3
"""Stands in for the exchange-rate service on 127.0.0.1, reached as the program's HTTP proxy
(http_proxy), or as the service's own host where a test resolves its name to 127.0.0.1, so
the real program's request never leaves the machine.

  rates_proxy.py PORTFILE LOG DELAY [PORT]

Listens on PORT (any free one when not given) and writes it to PORTFILE, answers every GET
after DELAY seconds with a rates answer (1 USD = 151.3 JPY) and appends each request's
target to LOG.
"""
import http.server
import os
import sys
import time

portfile, log, delay = sys.argv[1], sys.argv[2], float(sys.argv[3])
port = int(sys.argv[4]) if len(sys.argv) > 4 else 0
ANSWER = b'{"success":true,"rates":{"JPY":151.3,"USD":1}}'


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(log, "a") as f:
            f.write(self.path + "\n")
        time.sleep(delay)
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(ANSWER)))
        self.end_headers()
        self.wfile.write(ANSWER)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", port), Handler)
with open(portfile + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(portfile + ".tmp", portfile)
server.serve_forever()
