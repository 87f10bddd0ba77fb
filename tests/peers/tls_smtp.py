"""Submission servers (aiosmtpd) with TLS and SMTP AUTH on loopback, for the
tests of encrypted, authenticated mail. One port per server, written to
<dir>/<name>.port; the commands each server saw (verbs, and the mechanism of
each AUTH) go to <dir>/<name>.log. Accepted mail is kept in --spool like the
plain peer does.

  starttls        STARTTLS required, then AUTH PLAIN or LOGIN required
  starttls-login  the same, offering only AUTH LOGIN
  implicit        TLS from the first byte, AUTH PLAIN or LOGIN required
  implicit-login  the same, offering only AUTH LOGIN
  plain-auth      no TLS at all, yet offers AUTH in the clear
  no-auth         STARTTLS, but never offers AUTH
  unknown-ca      as starttls, with a certificate from a CA nobody trusts
  unknown-ca-implicit  as implicit, with that certificate
  other-host      as starttls, with a trusted certificate for another name
  expired         as starttls, with a trusted certificate that has expired
  tls11           implicit TLS that goes no higher than TLS 1.1
  tls13           implicit TLS that accepts nothing below TLS 1.3
  chunked-starttls, chunked-implicit
                  proxies in front of starttls and implicit that pass the
                  bytes on in both directions cut into pieces of 1 to 40
                  bytes, each in its own write, so that TLS records and
                  replies arrive split across many reads

The account is "vntra@example.jp" with the password "tls-secret"; a second
one, "wörd@example.jp" with "p@ss wörd", is taken only in UTF-8.
Run with Debian's /usr/bin/python3, which has aiosmtpd.
"""
import argparse
import asyncio
import logging
import os
import random
import signal
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from smtp_peer import Handler  # noqa: E402

# aiosmtpd warns about AUTH without STARTTLS, which the implicit servers mean.
warnings.simplefilter("ignore")
logging.getLogger("mail.log").setLevel(logging.ERROR)

ACCOUNT = b"vntra@example.jp"
PASSWORD = b"tls-secret"
LOGINS = {(ACCOUNT, PASSWORD), ("wörd@example.jp".encode(), "p@ss wörd".encode())}


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = (bytes(auth_data.login), bytes(auth_data.password)) in LOGINS
    # handled=False: aiosmtpd answers a refusal with its own 535.
    return AuthResult(success=ok, handled=False)


class LoggingSMTP(SMTP):
    """Notes each command's verb, so that a test can see what arrived."""

    def __init__(self, log_path, *args, **kwargs):
        self.log_path = log_path
        super().__init__(*args, **kwargs)

    def note(self, text):
        with open(self.log_path, "a") as out:
            out.write(text + "\n")

    async def smtp_EHLO(self, arg):
        self.note("EHLO")
        return await super().smtp_EHLO(arg)

    async def smtp_HELO(self, arg):
        self.note("HELO")
        return await super().smtp_HELO(arg)

    async def smtp_STARTTLS(self, arg):
        self.note("STARTTLS")
        return await super().smtp_STARTTLS(arg)

    async def smtp_AUTH(self, arg):
        self.note("AUTH " + (arg or "").split(" ")[0].upper())
        return await super().smtp_AUTH(arg)

    async def smtp_MAIL(self, arg):
        self.note("MAIL")
        return await super().smtp_MAIL(arg)

    async def smtp_QUIT(self, arg):
        self.note("QUIT")
        return await super().smtp_QUIT(arg)


def context_for(certs, name, minimum=None, maximum=None):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(certs, name + ".pem"),
                            os.path.join(certs, name + ".key"))
    if minimum is not None or maximum is not None:
        # Old versions are off by default in this OpenSSL; a server that still
        # speaks them is what the test needs.
        context.set_ciphers("DEFAULT:@SECLEVEL=0")
        context.minimum_version = minimum or ssl.TLSVersion.MINIMUM_SUPPORTED
        context.maximum_version = maximum or ssl.TLSVersion.MAXIMUM_SUPPORTED
    return context


SERVERS = {
    # name: (certificate, implicit TLS, excluded mechanisms, TLS versions)
    "starttls": ("localhost", False, [], None),
    "starttls-login": ("localhost", False, ["PLAIN"], None),
    "implicit": ("localhost", True, [], None),
    "implicit-login": ("localhost", True, ["PLAIN"], None),
    "plain-auth": (None, False, [], None),
    "no-auth": ("localhost", False, ["PLAIN", "LOGIN"], None),
    "unknown-ca": ("rogue-localhost", False, [], None),
    "unknown-ca-implicit": ("rogue-localhost", True, [], None),
    "other-host": ("other-host", False, [], None),
    "expired": ("expired-localhost", False, [], None),
    "tls11": ("localhost", True, [], (ssl.TLSVersion.TLSv1, ssl.TLSVersion.TLSv1_1)),
    "tls13": ("localhost", True, [], (ssl.TLSVersion.TLSv1_3, None)),
}


def factory(handler, certs, folder, name):
    certificate, implicit, excluded, versions = SERVERS[name]
    log_path = os.path.join(folder, name + ".log")
    context = None
    if certificate:
        context = (context_for(certs, certificate, *versions) if versions
                   else context_for(certs, certificate))
    options = dict(hostname="peer.example", ident="vntra tls peer", authenticator=authenticator,
                   auth_exclude_mechanism=excluded)
    if implicit:
        # The whole connection is encrypted, which aiosmtpd does not see.
        options.update(auth_required=True, auth_require_tls=False)
    elif certificate:
        options.update(tls_context=context, require_starttls=True, auth_required=name != "no-auth")
    else:
        # Offers AUTH without TLS, as a careless server may.
        options.update(auth_require_tls=False)
    return context if implicit else None, (lambda: LoggingSMTP(log_path, handler, **options))


PROXIED = {"chunked-starttls": "starttls", "chunked-implicit": "implicit"}


async def pass_on_in_pieces(reader, writer, pieces):
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            while data:
                size = pieces.randint(1, 40)
                writer.write(data[:size])
                data = data[size:]
                await writer.drain()
                await asyncio.sleep(0.001)
    except ConnectionError:
        pass
    finally:
        writer.close()


def proxy_to(port):
    async def serve(client_reader, client_writer):
        try:
            server_reader, server_writer = await asyncio.open_connection("127.0.0.1", port)
        except OSError:
            client_writer.close()
            return
        pieces = random.Random(port)
        await asyncio.gather(pass_on_in_pieces(client_reader, server_writer, pieces),
                             pass_on_in_pieces(server_reader, client_writer, pieces))
    return serve


async def listen(make, **options):
    # Ports below 30000, which the settings sheet accepts: the GUI tests
    # type them in like a user would.
    choices = random.Random(os.getpid())
    for _ in range(200):
        try:
            return await make(host="127.0.0.1", port=choices.randint(20000, 29999), **options)
        except OSError:
            continue
    return await make(host="127.0.0.1", port=0, **options)


def write_port(folder, name, port):
    port_file = os.path.join(folder, name + ".port")
    with open(port_file + ".part", "w") as out:
        out.write("%d\n" % port)
    os.replace(port_file + ".part", port_file)


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--certs", required=True)
    parser.add_argument("--spool", required=True)
    args = parser.parse_args()
    os.makedirs(args.dir, exist_ok=True)
    os.makedirs(args.spool, exist_ok=True)
    handler = Handler(args.spool)
    loop = asyncio.get_running_loop()
    servers = []
    ports = {}
    for name in SERVERS:
        implicit_context, make = factory(handler, args.certs, args.dir, name)
        server = await listen(lambda **o: loop.create_server(make, **o), ssl=implicit_context)
        servers.append(server)
        ports[name] = server.sockets[0].getsockname()[1]
    for name, target in PROXIED.items():
        server = await listen(lambda **o: asyncio.start_server(proxy_to(ports[target]), **o))
        servers.append(server)
        ports[name] = server.sockets[0].getsockname()[1]
    # The port files last, so that one of them being there means all are up.
    for name, port in ports.items():
        write_port(args.dir, name, port)
    stop = asyncio.Event()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    loop.add_signal_handler(signal.SIGINT, stop.set)
    await stop.wait()
    for server in servers:
        server.close()


if __name__ == "__main__":
    asyncio.run(main())
