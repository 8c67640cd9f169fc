"""The network side: one asyncio server on loopback, one table, the player in one seat."""
import asyncio
import json
import logging
import random
import struct
import sys

from . import messages as M
from . import wire
from .game import ProtocolError, Table

log = logging.getLogger("tableserver")

DEFAULT_PERSONS = [
    {"id": 1001, "username": "player1", "nickname": "一号玩家"},
    {"id": 1002, "username": "player2", "nickname": "电脑玩家"},
]


class Connection:
    """One client connection: frames in, frames out, the session key and sequences."""

    def __init__(self, server, reader, writer):
        self.server, self.reader, self.writer = server, reader, writer
        self.key = random.getrandbits(32)
        # Our frames carry out_seq + 1, + 2, ...: one count for the table across connections, as
        # a client checks every header against the highest sequence it has accepted, also from
        # before a reconnect.
        self.out_seq = server.out_seq
        self.client_seed = random.randrange(1, 1 << 20)   # the client's first frame carries seed + 1
        self.last_in = 0
        self.joined = False
        self.closed = False
        self.sent = {}

    async def send(self, msg_id, body, fixed=False):
        if self.closed:
            return
        fixed = fixed or msg_id in wire.FIXED_TRAILER_IDS
        self.out_seq = (self.out_seq + 1) & 0xFFFFFFFF
        self.server.out_seq = self.out_seq
        self.writer.write(wire.build_frame(msg_id, body, self.out_seq, self.key, fixed))
        await self.writer.drain()
        log.debug("sent %d (%d bytes)", msg_id, len(body))
        self.sent[msg_id] = self.sent.get(msg_id, 0) + 1
        cut = self.server.disconnect_at
        if cut and cut.get("after_sent") == msg_id and self.sent[msg_id] == cut.get("count", 1):
            self.server.disconnect_at = None
            log.info("scripted disconnect after %d", msg_id)
            self.close()

    def close(self):
        if not self.closed:
            self.closed = True
            self.writer.close()

    async def read_frame(self):
        header = await self.reader.readexactly(wire.HEADER_SIZE)
        msg_id, length, sequence = wire.parse_header(header)
        if length == 0:
            return msg_id, None, sequence
        if length < wire.TRAILER_SIZE or length > wire.MAX_BODY + wire.TRAILER_SIZE:
            raise wire.FrameError("frame %d announces %d bytes" % (msg_id, length))
        rest = await self.reader.readexactly(length)
        if msg_id != M.JOIN and sequence <= self.last_in:
            raise wire.FrameError("frame %d repeats sequence %d" % (msg_id, sequence))
        self.last_in = sequence
        return msg_id, wire.split_body(msg_id, rest, sequence, self.key), sequence

    async def run(self):
        table = self.server.table
        try:
            while True:
                msg_id, body, _ = await self.read_frame()
                log.debug("received %d (%d bytes)", msg_id, -1 if body is None else len(body))
                if body is None:
                    continue
                size = M.CLIENT_BODY_SIZES.get(msg_id)
                if msg_id in M.CHAT_IDS:
                    if not 49 <= len(body) <= 448:
                        raise wire.FrameError("chat body of %d bytes" % len(body))
                elif size is None or len(body) != size:
                    raise wire.FrameError("message %d with a body of %d bytes" % (msg_id, len(body)))
                if not self.joined:
                    if msg_id != M.JOIN:
                        raise wire.FrameError("message %d before the join" % msg_id)
                    await self.on_join(body)
                    continue
                await self.on_message(table, msg_id, body)
        except (asyncio.IncompleteReadError, ConnectionError):
            log.info("client left")
        except asyncio.CancelledError:
            pass  # the server is shutting down
        except wire.FrameError as e:
            self.server.errors.append(str(e))
            log.warning("closing: %s", e)
        finally:
            self.close()
            self.server.connection_ended(self)

    async def on_join(self, body):
        join = M.parse_join(body)
        table = self.server.table
        fresh = table.seats is None  # the table is made by this join
        try:
            seat = table.join(join)
        except ProtocolError as e:
            log.warning("join refused: %s", e)
            await self.send(M.CONNECT_REFUSED, struct.pack(">IH2x", join["id"], 0))
            self.close()
            return
        self.joined = True
        self.last_in = self.client_seed  # what the client sends next carries seed + 1 on
        self.server.current = self
        log.info("player %d joined seat %d", join["id"], seat)
        await self.send(M.SESSION_START, M.session_start(self.key, self.client_seed, self.out_seq))
        await self.send(M.ROSTER, table.roster())
        # A player coming back is given the table as it stands; a new table is announced.
        snapshot = [] if fresh else table.resume()
        if not snapshot:
            # The computer player sits at the table and agrees to play: the client stops waiting
            # and is shown the table before its first hand, with its start button.
            await self.send(M.PERSON_STATE, M.person_state(table.bot.person["id"], 0, 3))
            # The hand about to start, announced when the table was made.
            for action in table.take():
                if action[0] == "send":
                    await self.send(action[1], action[2])
        if snapshot:
            await self.send(M.PERSON_STATE, M.person_state(join["id"], 0, 2))
            for msg_id, b in snapshot:
                await self.send(msg_id, b)
        await self.server.carry_out(table.after_join())

    async def on_message(self, table, msg_id, body):
        if msg_id == M.KEEP_ALIVE:
            await self.send(M.KEEP_ALIVE, b"")
            return
        if msg_id in M.CHAT_IDS:
            try:
                line = M.parse_chat(body)
                log.info("chat %d from %d (seat %d, watch %d, %s %d, colour %06x): %s", msg_id,
                         line["speaker"], line["seat"], line["watch"],
                         line["face"].decode("gbk", "replace"), line["size"], line["color"] & 0xFFFFFF,
                         line["text"].decode("gbk", "replace"))
            except ValueError:
                pass  # refused below
            try:
                actions = table.on_chat(msg_id, body)
            except ProtocolError as e:
                table.errors.append("chat %d: %s" % (msg_id, e))
                log.warning("refused chat %d: %s", msg_id, e)
                return
            await self.server.carry_out(actions)
            return
        if msg_id == M.MAGIC_ACTION:
            try:
                a = M.parse_magic_action(body)
                log.info("magic action %d/%d from %d to %d: %s", a["type"], a["item"], a["sender"],
                         a["receiver"], a["words"].decode("gbk", "replace"))
            except ValueError:
                pass  # refused below
            try:
                actions = table.on_magic(body)
            except ProtocolError as e:
                table.errors.append("magic action: %s" % e)
                log.warning("refused magic action: %s", e)
                return
            await self.server.carry_out(actions)
            return
        if msg_id == M.PLAYER_EXIT or msg_id == M.WATCHER_EXIT:
            log.info("player left the table (%d)", msg_id)
            self.server.game_left = True
            self.close()
            return
        if msg_id == M.EXIT_REQUEST:
            # The computer player always agrees, so the table lets the player go: the exit is
            # reported to the table as agreed by everybody (reason 3); the client then leaves.
            log.info("exit request agreed")
            self.server.game_left = True
            await self.send(M.PLAYER_EXIT, struct.pack(">IHH", table.human.person["id"], 0, 3))
            return
        try:
            actions = table.on_message(msg_id, body)
        except ProtocolError as e:
            table.errors.append("message %d: %s" % (msg_id, e))
            log.warning("refused message %d: %s", msg_id, e)
            return
        await self.server.carry_out(actions)


class TableServer:
    def __init__(self, table, disconnect_at=None):
        self.table = table
        self.disconnect_at = disconnect_at
        self.out_seq = random.randrange(1, 1 << 20)
        self.current = None
        self.errors = table.errors
        self.game_left = False
        self.done = asyncio.Event()
        self.claim_task = None
        self.later = []

    async def carry_out(self, actions):
        for action in actions:
            conn = self.current
            if action[0] == "pause":
                await asyncio.sleep(action[1])
            elif action[0] == "later":
                self.later = [t for t in self.later if not t.done()]
                self.later.append(asyncio.ensure_future(self._send_later(*action[1:])))
            elif conn is not None:
                await conn.send(action[1], action[2])
        self.arm_claim_timer()
        if self.table.finished and not self.table.errors:
            log.info("the scripted hands are over")

    async def _send_later(self, seconds, msg_id, body):
        await asyncio.sleep(seconds)
        try:
            if self.current is not None:
                await self.current.send(msg_id, body)
        except ConnectionError:
            pass  # the player left meanwhile

    def arm_claim_timer(self):
        if self.claim_task:
            self.claim_task.cancel()
            self.claim_task = None
        if self.table.state == "await_claim" and self.current and not self.current.closed:
            self.claim_task = asyncio.ensure_future(self._claim_timeout(self.table.claim_deadline))

    async def _claim_timeout(self, seconds):
        await asyncio.sleep(seconds)
        self.claim_task = None
        await self.carry_out(self.table.on_claim_timeout())

    def connection_ended(self, conn):
        if conn is self.current:
            self.current = None
            if self.claim_task:
                self.claim_task.cancel()
                self.claim_task = None
            if self.game_left or self.table.finished:
                self.done.set()


async def serve(args):
    script = {}
    if args.script:
        with open(args.script, encoding="utf-8") as f:
            script = json.load(f)
    persons = script.get("persons", DEFAULT_PERSONS)
    table = Table(persons, script=script, seed=args.seed, hands=args.hands,
                  bot_delay=args.bot_delay, claim_timeout=args.claim_timeout,
                  player_record=args.player_record)
    ts = TableServer(table, disconnect_at=script.get("disconnect"))
    server = await asyncio.start_server(lambda r, w: Connection(ts, r, w).run(), args.host, args.port)
    port = server.sockets[0].getsockname()[1]
    log.info("table server on %s:%d", args.host, port)
    if args.port_file:
        with open(args.port_file, "w") as f:
            f.write("%d\n" % port)
    async with server:
        try:
            if args.once:
                await asyncio.wait_for(ts.done.wait(), args.max_seconds or None)
            else:
                await server.serve_forever()
        except asyncio.TimeoutError:
            ts.errors.append("the game did not end within %s s" % args.max_seconds)
        if args.once:
            ts.errors.extend(table.missing())
    for e in ts.errors:
        print("tableserver: %s" % e, file=sys.stderr)
    return 1 if ts.errors else 0
