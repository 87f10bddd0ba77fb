"""Scripted submission servers for the native tests of the protected session.
Natively the client's TLS start is a test switch that leaves the line in
plain text, so these servers answer STARTTLS with 220 and go on unencrypted.
One port per behaviour in <dir>/<mode>.port; every line the connections
sent is added to <dir>/<mode>.log as it arrives (AUTH lines as sent, Base64
and all), and each accepted message is kept in <dir>/<mode>.eml.

  starttls     offers STARTTLS, then (only after it) AUTH PLAIN LOGIN
  login-only   the same, but AUTH LOGIN only
  no-starttls  offers AUTH and no STARTTLS
  no-auth      offers STARTTLS and no AUTH
  inject       sends a forged reply right behind its STARTTLS go-ahead
  auth-before  offers STARTTLS and AUTH before STARTTLS (some servers do)
  silent       never greets, as a server on an implicit-TLS port waits

The account is "vntra@example.jp" with the password "tls-secret"; a second
one, "wörd@example.jp" with "p@ss wörd", is taken only in UTF-8 (RFC 4616,
RFC 4954), as a server of today compares it.
"""
import argparse
import asyncio
import base64
import os
import signal

ACCOUNT = b"vntra@example.jp"
PASSWORD = b"tls-secret"
LOGINS = {(ACCOUNT, PASSWORD), ("wörd@example.jp".encode(), "p@ss wörd".encode())}
MODES = ("starttls", "login-only", "no-starttls", "no-auth", "inject", "auth-before", "silent")


class Peer:
    def __init__(self, folder, mode):
        self.folder = folder
        self.mode = mode

    def write(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path + ".part", "wb") as out:
            out.write(data)
        os.replace(path + ".part", path)

    def offer(self, secured):
        lines = [b"peer.example"]
        if not secured and self.mode != "no-starttls":
            lines.append(b"STARTTLS")
        mechanisms = b"LOGIN" if self.mode == "login-only" else b"PLAIN LOGIN"
        if self.mode != "no-auth" and (secured or self.mode in ("no-starttls", "auth-before")):
            lines.append(b"AUTH " + mechanisms)
        lines.append(b"8BITMIME")
        return b"".join(b"250-" + line + b"\r\n" for line in lines[:-1]) + \
            b"250 " + lines[-1] + b"\r\n"

    async def serve(self, reader, writer):
        async def line():
            text = await reader.readline()
            with open(os.path.join(self.folder, self.mode + ".log"), "ab") as out:
                out.write(text)
            return text

        async def say(text):
            writer.write(text)
            await writer.drain()

        secured = False
        try:
            if self.mode == "silent":
                while await line():
                    pass
                return
            await say(b"220 peer.example ESMTP\r\n")
            while True:
                command = await line()
                if not command:
                    return
                verb = command[:4].upper()
                if verb == b"EHLO":
                    await say(self.offer(secured))
                elif command.upper().startswith(b"STARTTLS"):
                    if self.mode == "inject":
                        await say(b"220 go ahead\r\n250 forged\r\n")
                    else:
                        await say(b"220 go ahead\r\n")
                    secured = True
                elif command.upper().startswith(b"AUTH PLAIN "):
                    token = base64.b64decode(command[11:].strip())
                    ok = any(token == b"\0" + a + b"\0" + p for a, p in LOGINS)
                    await say(b"235 2.7.0 ok\r\n" if ok else b"535 5.7.8 bad credentials\r\n")
                elif command.upper().startswith(b"AUTH LOGIN"):
                    await say(b"334 VXNlcm5hbWU6\r\n")
                    account = base64.b64decode((await line()).strip())
                    await say(b"334 UGFzc3dvcmQ6\r\n")
                    password = base64.b64decode((await line()).strip())
                    ok = (account, password) in LOGINS
                    await say(b"235 2.7.0 ok\r\n" if ok else b"535 5.7.8 bad credentials\r\n")
                elif verb == b"DATA":
                    await say(b"354 go ahead\r\n")
                    body = []
                    while True:
                        data_line = await reader.readline()
                        if not data_line or data_line == b".\r\n":
                            break
                        body.append(data_line)
                    self.write(self.mode + ".eml", b"".join(body))
                    await say(b"250 2.0.0 queued\r\n")
                elif verb == b"QUIT":
                    await say(b"221 bye\r\n")
                    return
                else:
                    await say(b"250 2.1.0 ok\r\n")
        except (ConnectionError, asyncio.IncompleteReadError, ValueError):
            pass
        finally:
            writer.close()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    args = parser.parse_args()
    os.makedirs(args.dir, exist_ok=True)
    servers = []
    for mode in MODES:
        peer = Peer(args.dir, mode)
        server = await asyncio.start_server(peer.serve, host="127.0.0.1", port=0)
        servers.append(server)
        peer.write(mode + ".port", b"%d\n" % server.sockets[0].getsockname()[1])
    stop = asyncio.Event()
    loop = asyncio.get_running_loop()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    loop.add_signal_handler(signal.SIGINT, stop.set)
    await stop.wait()
    for server in servers:
        server.close()


if __name__ == "__main__":
    asyncio.run(main())
