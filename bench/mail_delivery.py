"""Mail delivery speed against a real SMTP server on loopback.

Starts aiosmtpd (tests/peers/smtp_peer.py), has the program's mail session
send COUNT mails of 400 bytes (one whole session each), then has Python's
smtplib send the very bytes that arrived from us, to the same server, one
session each as well. Rounds alternate between the two; the medians are
compared. Prints one line per round and the ratio (ours / smtplib).

Run with Debian's /usr/bin/python3, which has aiosmtpd.
"""
import argparse
import os
import smtplib
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def start_peer(work):
    port_file = os.path.join(work, "smtp.port")
    peer = subprocess.Popen([sys.executable, os.path.join(ROOT, "tests/peers/smtp_peer.py"),
                             "--spool", os.path.join(work, "spool"), "--port-file", port_file])
    for _ in range(100):
        if os.path.exists(port_file):
            with open(port_file) as f:
                return peer, int(f.read())
        time.sleep(0.1)
    peer.terminate()
    sys.exit("the SMTP peer did not start")


def ours(client, port, count, recipient):
    result = subprocess.run([client, str(port), str(count), recipient],
                            capture_output=True, text=True, check=False)
    if result.returncode != 0:
        sys.exit("the mail session failed: " + result.stderr)
    return int(result.stdout.strip()) / 1000.0


def first_message(work, recipient):
    # The peer keeps what arrived, dots unstuffed: smtplib stuffs them again.
    folder = os.path.join(work, "spool", recipient)
    name = sorted(n for n in os.listdir(folder) if n.endswith(".eml"))[0]
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def python_smtplib(port, count, recipient, message):
    start = time.monotonic()
    for _ in range(count):
        with smtplib.SMTP("127.0.0.1", port) as session:
            session.helo("127.0.0.1")
            session.sendmail("me@example.jp", [recipient], message)
    return time.monotonic() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--client", required=True, help="the vntra_mail_bench executable")
    parser.add_argument("--count", type=int, default=50)
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="vntra-mail-bench-") as work:
        peer, port = start_peer(work)
        try:
            ours(args.client, port, 1, "warmup@example.jp")
            message = first_message(work, "warmup@example.jp")
            python_smtplib(port, 1, "warmup-py@example.jp", message)
            ours_times, python_times = [], []
            for round_number in range(1, args.rounds + 1):
                ours_times.append(ours(args.client, port, args.count,
                                       "vntra-%d@example.jp" % round_number))
                python_times.append(python_smtplib(port, args.count,
                                                   "smtplib-%d@example.jp" % round_number,
                                                   message))
                print("round %d: vntra %.3f s, smtplib %.3f s for %d mails of %d bytes"
                      % (round_number, ours_times[-1], python_times[-1], args.count,
                         len(message)))
            ratio = statistics.median(ours_times) / statistics.median(python_times)
            print("mail delivery: vntra median %.3f s, smtplib median %.3f s, ratio %.2fx"
                  % (statistics.median(ours_times), statistics.median(python_times), ratio))
        finally:
            peer.terminate()
            peer.wait()


if __name__ == "__main__":
    main()
