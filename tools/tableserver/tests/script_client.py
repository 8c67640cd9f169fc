"""A small scripted client for the server's own tests (the real client is tested against the
server elsewhere)."""
import asyncio
import struct

from tableserver import messages as M
from tableserver import tiles as T
from tableserver import wire


# What the real client takes without checking the trailer (the 3010 comes before the key is known).
UNCHECKED = {3002, 3003, 3004, 3009, 3010, 3011, 3016, 3027, 3033, 3806, 3817, 3819, 3821} | \
    {base + 50 * k for base in (3106, 3107, 3110, 3111) for k in range(9)}


class ScriptClient:
    def __init__(self, port, user_id=1001, seat=0):
        self.port, self.user_id, self.seat = port, user_id, seat
        self.key = 0
        self.seq = 7
        self.sequences = []   # of every frame received, in order
        self.received = []

    async def connect(self):
        self.reader, self.writer = await asyncio.open_connection("127.0.0.1", self.port)
        body = struct.pack(">IHHhHHH", self.user_id, 0, self.seat, -1, 1, 1, 4)
        await self.send(M.JOIN, body, fixed=True)

    async def send(self, msg_id, body, fixed=False):
        self.seq += 1
        self.writer.write(wire.build_frame(msg_id, body, self.seq, self.key, fixed))
        await self.writer.drain()

    async def recv(self, timeout=15.0):
        header = await asyncio.wait_for(self.reader.readexactly(32), timeout)
        msg_id, length, seq = wire.parse_header(header)
        self.sequences.append(seq)
        rest = await asyncio.wait_for(self.reader.readexactly(length), timeout) if length else b""
        if msg_id in UNCHECKED:
            body = rest[:-wire.TRAILER_SIZE]
        else:
            body = wire.split_body(msg_id, rest, seq, self.key)
        if msg_id == M.SESSION_START:
            self.key = struct.unpack_from(">I", body, 8)[0]
            self.seq = struct.unpack_from(">I", body, 16)[0]
        self.received.append((msg_id, body))
        return msg_id, body

    async def until(self, wanted, timeout=15.0):
        """Reads frames until one with id `wanted` arrives; returns its body."""
        while True:
            msg_id, body = await self.recv(timeout)
            if msg_id == wanted:
                return body

    async def discard(self, name):
        await self.send(M.DISCARD, struct.pack(">H", self.seat) + T.encode_string([T.parse_tile(name)], 2))

    async def action(self, action, names=""):
        await self.send(M.ACTION, struct.pack(">HH", self.seat, action) + T.encode_string(T.parse_tiles(names), 6))

    def close(self):
        self.writer.close()
