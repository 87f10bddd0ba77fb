"""SMTP peers that misbehave in ways a real server can, for the tests of
reply reading and time-outs. One port per behaviour, written to
<dir>/<mode>.port; what each connection sent is written to <dir>/<mode>.log.

  split   a whole dialogue whose replies are multi-line and arrive in pieces
          across several writes; keeps the message in <dir>/split.eml
  silent  accepts the connection and never says anything
  close   greets, then closes the connection when HELO arrives
  refuse  answers HELO with 554; should then get QUIT and nothing more
"""
import argparse
import asyncio
import os
import signal

PAUSE = 0.05


async def write_in_pieces(writer, data, pieces):
    # Cut at fixed places, flushed separately, with a pause between, so the
    # client sees each piece in its own read.
    step = max(1, len(data) // pieces)
    for start in range(0, len(data), step):
        writer.write(data[start:start + step])
        await writer.drain()
        await asyncio.sleep(PAUSE)


class Peer:
    def __init__(self, folder, mode):
        self.folder = folder
        self.mode = mode

    def log(self, lines):
        path = os.path.join(self.folder, self.mode + ".log")
        with open(path + ".part", "wb") as out:
            out.write(b"".join(lines))
        os.replace(path + ".part", path)

    async def serve(self, reader, writer):
        received = []
        try:
            await getattr(self, "serve_" + self.mode)(reader, writer, received)
        except (ConnectionError, asyncio.IncompleteReadError):
            pass
        finally:
            self.log(received)
            writer.close()

    async def read_command(self, reader, received):
        line = await reader.readline()
        received.append(line)
        self.log(received)
        return line

    async def serve_silent(self, reader, writer, received):
        while await self.read_command(reader, received):
            pass

    async def serve_close(self, reader, writer, received):
        writer.write(b"220 peer.example closing soon\r\n")
        await writer.drain()
        await self.read_command(reader, received)

    async def serve_refuse(self, reader, writer, received):
        writer.write(b"220 peer.example\r\n")
        await writer.drain()
        await self.read_command(reader, received)
        writer.write(b"554 5.7.1 no service for you\r\n")
        await writer.drain()
        while await self.read_command(reader, received):
            pass

    async def serve_split(self, reader, writer, received):
        await write_in_pieces(writer, b"220-peer.example ESMTP\r\n220-more greeting\r\n"
                                      b"220 ready\r\n", 5)
        while True:
            line = await self.read_command(reader, received)
            if not line:
                return
            verb = line[:4].upper()
            if verb == b"HELO":
                await write_in_pieces(writer, b"250-peer.example\r\n250-SIZE 1000000\r\n"
                                              b"250 HELP\r\n", 4)
            elif verb == b"DATA":
                await write_in_pieces(writer, b"354 go ahead\r\n", 3)
                body = []
                while True:
                    data_line = await reader.readline()
                    if not data_line or data_line == b".\r\n":
                        break
                    body.append(data_line)
                path = os.path.join(self.folder, "split.eml")
                with open(path + ".part", "wb") as out:
                    out.write(b"".join(body))
                os.replace(path + ".part", path)
                await write_in_pieces(writer, b"250-accepted\r\n250 2.0.0 queued\r\n", 3)
            elif verb == b"QUIT":
                await write_in_pieces(writer, b"221 bye\r\n", 2)
                return
            else:
                await write_in_pieces(writer, b"250 2.1.0 ok\r\n", 3)


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    args = parser.parse_args()
    os.makedirs(args.dir, exist_ok=True)
    servers = []
    for mode in ("split", "silent", "close", "refuse"):
        peer = Peer(args.dir, mode)
        server = await asyncio.start_server(peer.serve, host="127.0.0.1", port=0)
        servers.append(server)
        port_file = os.path.join(args.dir, mode + ".port")
        with open(port_file + ".part", "w") as out:
            out.write("%d\n" % server.sockets[0].getsockname()[1])
        os.replace(port_file + ".part", port_file)
    stop = asyncio.Event()
    loop = asyncio.get_running_loop()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    loop.add_signal_handler(signal.SIGINT, stop.set)
    await stop.wait()
    for server in servers:
        server.close()


if __name__ == "__main__":
    asyncio.run(main())
