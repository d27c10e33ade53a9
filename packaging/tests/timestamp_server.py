#!/usr/bin/env python3
"""timestamp_server.py OPENSSL CONFIG COMMAND...: runs COMMAND with NORVELL_SIGN_TIMESTAMP_URL
naming a time-stamp server (RFC 3161) of its own on this machine's loopback address, which
answers each request with `OPENSSL ts -reply -config CONFIG`, and ends with COMMAND's exit
status. The server lives only as long as COMMAND."""

import http.server
import os
import subprocess
import sys
import tempfile
import threading


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    openssl, config, command = sys.argv[1], sys.argv[2], sys.argv[3:]

    class TimeStamps(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
            with tempfile.TemporaryDirectory() as folder:
                with open(os.path.join(folder, "query"), "wb") as file:
                    file.write(query)
                made = subprocess.run([openssl, "ts", "-reply", "-config", config, "-queryfile",
                                       os.path.join(folder, "query"), "-out",
                                       os.path.join(folder, "reply")], capture_output=True)
                if made.returncode != 0:
                    sys.stderr.write(made.stderr.decode(errors="replace"))
                    self.send_error(500)
                    return
                with open(os.path.join(folder, "reply"), "rb") as file:
                    reply = file.read()
            self.send_response(200)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(reply)))
            self.end_headers()
            self.wfile.write(reply)

        def log_message(self, *arguments):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), TimeStamps)
    serving = threading.Thread(target=server.serve_forever)
    serving.start()
    try:
        environment = dict(os.environ)
        environment["NORVELL_SIGN_TIMESTAMP_URL"] = f"http://127.0.0.1:{server.server_address[1]}"
        status = subprocess.run(command, env=environment).returncode
    finally:
        server.shutdown()
        serving.join()
        server.server_close()
    sys.exit(status)


if __name__ == "__main__":
    main()
