"""A real SMTP server (aiosmtpd) on loopback for the mail tests.

Binds a free port, writes it to --port-file, and keeps every message it
accepts in --spool/<first recipient>/<n>.eml (as received, dots unstuffed),
with <n>.env (HELO name, envelope) and <n>.txt (subject, sender name and
body decoded by Python's own email package, as UTF-8).

Some addresses make it refuse, so that the tests can see refusals:
  a sender starting with "bad"       -> 553 to MAIL FROM
  a recipient starting with "refuse" -> 550 to RCPT TO
  a recipient starting with "busy"   -> 451 to RCPT TO (try again later)
  a recipient starting with "forward" -> 251 to RCPT TO (accepted, "will forward")
  a recipient starting with "full"   -> 552 after the message's "."
  a recipient starting with "onlyone" -> takes one message, then 552
  a message whose text holds "受信拒否" -> 554 after the message's "."
Run with Debian's /usr/bin/python3, which has aiosmtpd.
"""
import argparse
import asyncio
import email
import email.policy
import os
import signal

from aiosmtpd.smtp import SMTP


def local_part(address):
    return address.split("@", 1)[0].lower()


class Handler:
    def __init__(self, spool):
        self.spool = spool
        self.count = 0
        self.taken = {}

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if local_part(address).startswith("bad"):
            return "553 5.1.8 sender rejected"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if local_part(address).startswith("refuse"):
            return "550 5.1.1 user unknown"
        if local_part(address).startswith("busy"):
            return "451 4.3.2 try again later"
        envelope.rcpt_tos.append(address)
        if local_part(address).startswith("forward"):
            return "251 2.1.5 user not local; will forward"
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if any(local_part(r).startswith("full") for r in envelope.rcpt_tos):
            return "552 5.2.2 mailbox full"
        first = envelope.rcpt_tos[0]
        if local_part(first).startswith("onlyone") and self.taken.get(first):
            return "552 5.2.2 mailbox full"
        raw = envelope.original_content
        message = email.message_from_bytes(raw, policy=email.policy.default)
        decoded = "Subject: %s\nFrom: %s\n\n%s" % (
            message["Subject"],
            message["From"],
            message.get_content() if not message.is_multipart() else "",
        )
        if "受信拒否" in decoded:
            return "554 5.7.1 message refused"
        self.taken[first] = self.taken.get(first, 0) + 1
        self.count += 1
        folder = os.path.join(self.spool, envelope.rcpt_tos[0])
        os.makedirs(folder, exist_ok=True)
        base = os.path.join(folder, "%d" % self.count)
        envelope_text = "HELO %s\nEHLO %s\nMAIL FROM %s\n%s" % (
            session.host_name,
            "yes" if session.extended_smtp else "no",
            envelope.mail_from,
            "".join("RCPT TO %s\n" % r for r in envelope.rcpt_tos),
        )
        # Written before the reply goes out, and renamed into place, so that a
        # client that has its "250" finds complete files.
        for suffix, data in ((".txt", decoded.encode("utf-8")),
                             (".env", envelope_text.encode("utf-8")),
                             (".eml", raw)):
            with open(base + suffix + ".part", "wb") as out:
                out.write(data)
            os.replace(base + suffix + ".part", base + suffix)
        return "250 OK queued as %d" % self.count


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--spool", required=True)
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()
    os.makedirs(args.spool, exist_ok=True)
    handler = Handler(args.spool)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(handler, hostname="peer.example", ident="vntra test peer"),
        host="127.0.0.1", port=0)
    port = server.sockets[0].getsockname()[1]
    with open(args.port_file + ".part", "w") as out:
        out.write("%d\n" % port)
    os.replace(args.port_file + ".part", args.port_file)
    stop = asyncio.Event()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    loop.add_signal_handler(signal.SIGINT, stop.set)
    await stop.wait()
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
