#!/usr/bin/python3
"""Stands in for the exchange-rate service on 127.0.0.1, reached as the program's HTTP proxy
(http_proxy), or as the service's own host where a test resolves its name to 127.0.0.1, so
the real program's request never leaves the machine.

  rates_proxy.py PORTFILE LOG DELAY [PORT]

Listens on PORT (any free one when not given) and writes it to PORTFILE, answers every GET
after DELAY seconds with a rates answer (1 USD = 151.3 JPY) and appends each request's
target to LOG.

Imported (the page's test), serve() starts it on a thread, over HTTPS when given a
certificate, and Service.answer picks the answer: "good", the service's own error object
("error"), or none at all ("none"). Every answer carries the header a page's fetch needs.
"""
import http.server
import os
import socketserver
import ssl
import sys
import threading
import time

ANSWERS = {"good": b'{"success":true,"rates":{"JPY":151.3,"USD":1}}',
           "error": b'{"success":false,"error":{"code":105,"type":"https_access_restricted"}}'}


class Service(http.server.BaseHTTPRequestHandler):
    answer, delay, log, asked = "good", 0.0, None, []

    def do_GET(self):
        Service.asked.append(self.path)
        if Service.log:
            with open(Service.log, "a") as f:
                f.write(self.path + "\n")
        time.sleep(Service.delay)
        if Service.answer == "none":
            time.sleep(30)
            return
        body = ANSWERS[Service.answer]
        self.send_response(200)
        for name, value in (("Content-Type", "application/json"), ("Access-Control-Allow-Origin", "*"),
                            ("Content-Length", str(len(body)))):
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def serve(port=0, cert=None, key=None):
    """Starts the service on a thread of its own; its port."""
    server = socketserver.ThreadingTCPServer(("127.0.0.1", port), Service)
    server.daemon_threads = True
    if cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


if __name__ == "__main__":
    portfile, Service.log, Service.delay = sys.argv[1], sys.argv[2], float(sys.argv[3])
    server = http.server.HTTPServer(("127.0.0.1", int(sys.argv[4]) if len(sys.argv) > 4 else 0), Service)
    with open(portfile + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(portfile + ".tmp", portfile)
    server.serve_forever()
