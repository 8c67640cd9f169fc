import asyncio
import copy
import struct
import subprocess
import sys
import os
import tempfile
import json
import unittest

from tableserver import messages as M
from tableserver import tiles as T
from tableserver import wire
from tableserver.game import Table
from tableserver.server import Connection, TableServer

from .fixtures import PERSONS, SCRIPT
from .script_client import ScriptClient


async def start(script, **table_args):
    table = Table(PERSONS, script=copy.deepcopy(script), **table_args)
    ts = TableServer(table, disconnect_at=script.get("disconnect"))
    server = await asyncio.start_server(lambda r, w: Connection(ts, r, w).run(), "127.0.0.1", 0)
    return ts, server, server.sockets[0].getsockname()[1]


async def join_and_deal(port):
    c = ScriptClient(port)
    await c.connect()
    await c.until(M.SESSION_START)
    roster = await c.until(M.ROSTER)
    await c.send(M.KEEP_ALIVE, b"")
    await c.until(M.KEEP_ALIVE)
    await c.send(M.CONTROL, struct.pack(">HH", 0, 13))
    await c.until(M.START_DICE)
    await c.send(M.DICE, struct.pack(">HHHh", 0, 3, 4, 1))
    deal = await c.until(M.DEAL)
    return c, roster, deal


class Loopback(unittest.TestCase):
    def test_scripted_hand_over_the_wire(self):
        async def run():
            ts, server, port = await start(SCRIPT)
            async with server:
                c, roster, deal = await join_and_deal(port)
                self.assertEqual(len(roster), 512)
                self.assertEqual(roster[38:38 + 8].decode("gbk"), "一号玩家")
                await c.discard("N")
                await c.until(M.DISCARD)                       # our discard comes back
                self.assertEqual(T.decode_string((await c.until(M.DISCARD))[2:]), T.parse_tiles("9m"))
                await c.action(M.PUNG, "9m 9m 9m")
                await c.until(M.MELD)
                await c.discard("W")
                await c.until(M.DISCARD)
                await c.until(M.DISCARD)
                await c.action(M.CHOW, "3m 4m 5m")
                await c.until(M.MELD)
                await c.discard("6m")
                await c.until(M.DISCARD)
                await c.until(M.DISCARD)
                await c.action(M.HU, "S")
                await c.until(M.HU_RESULT)
                await c.send(M.HU_ACK, struct.pack(">HH2i30h", 0, 0, 10, -10, *([902] + [0] * 29)))
                score = await c.until(M.SCORE_INFO)
                self.assertEqual(struct.unpack_from(">2i", score), (10, -10))
                c.close()
            self.assertEqual(ts.errors, [])
        asyncio.run(run())

    def test_the_joining_players_record_of_games_and_forced_exits(self):
        # The roster carries games started and forced exits at 176 of each 256-byte record;
        # a given record replaces the player's and leaves the computer's as it was.
        async def roster_of(**table_args):
            ts, server, port = await start(SCRIPT, **table_args)
            async with server:
                c, roster, _ = await join_and_deal(port)
                c.close()
            return [struct.unpack_from(">II", roster, 256 * i + 176) for i in range(2)]
        self.assertEqual(asyncio.run(roster_of(player_record=(120, 1))), [(120, 1), (0, 0)])
        self.assertEqual(asyncio.run(roster_of()), [(0, 0), (0, 0)])

    def test_a_new_table_announces_its_first_hand_at_the_join(self):
        # The hand (601) and the computer's start sign come before the player's start: a 601
        # after it would show the start button again in the middle of the hand.
        async def run():
            ts, server, port = await start(dict(SCRIPT, expect=[]))
            async with server:
                c, _, _ = await join_and_deal(port)
                ids = [i for i, _ in c.received]
                self.assertNotIn(M.RESUME1, ids)
                self.assertLess(ids.index(M.BANKER_AND_WALL), ids.index(M.START_DICE))
                self.assertEqual(ids.count(M.BANKER_AND_WALL), 1)
                c.close()
            self.assertEqual(ts.errors, [])
        asyncio.run(run())

    def test_reconnect_gets_the_snapshot(self):
        script = dict(SCRIPT, disconnect={"after_sent": M.DISCARD, "count": 2}, expect=[])
        async def run():
            ts, server, port = await start(script)
            async with server:
                c, _, _ = await join_and_deal(port)
                await c.discard("N")
                with self.assertRaises(asyncio.IncompleteReadError):
                    await c.until(M.KEEP_ALIVE)                # cut after the computer's discard
                again = ScriptClient(port)
                await again.connect()
                await again.until(M.ROSTER)
                # The table's frames go on counting up: a client refuses a header whose
                # sequence is not above the highest it accepted before the reconnect.
                self.assertGreater(min(again.sequences), max(c.sequences))
                state = await again.until(M.PERSON_STATE)
                self.assertEqual(struct.unpack(">IHH", state), (1001, 0, 2))
                snap = await again.until(M.RESUME4)
                self.assertEqual(T.decode_string(snap[192:194]), T.parse_tiles("9m"))
                self.assertEqual(T.decode_string(snap[14:34]),
                                 sorted(T.parse_tiles("9m 9m E E E 1m 1m S S 3m 4m 6m W"), key=T.sort_key)
                                 if False else T.parse_tiles("9m 9m E E E 1m 1m S S 3m 4m 6m W"))
                await again.action(M.PUNG, "9m 9m 9m")      # the play goes on where it stopped
                await again.until(M.MELD)
                again.close()
            self.assertEqual(ts.errors, [])
        asyncio.run(run())

    def test_an_exit_request_is_agreed_and_reported(self):
        async def run():
            ts, server, port = await start(dict(SCRIPT, expect=[]))
            async with server:
                c, _, _ = await join_and_deal(port)
                await c.send(M.EXIT_REQUEST, struct.pack(">IHH", 1001, 0, 1))
                body = await c.until(M.PLAYER_EXIT)
                self.assertEqual(struct.unpack(">IHH", body), (1001, 0, 3))
                c.close()
                await asyncio.wait_for(ts.done.wait(), 5)   # the player has left the game
            self.assertEqual(ts.errors, [])
        asyncio.run(run())

    def test_bad_frames_close_the_connection_not_the_server(self):
        async def run():
            ts, server, port = await start(dict(SCRIPT, expect=[]))
            async with server:
                cases = [
                    struct.pack(">HHII", 3001, 0, 1 << 30, 1) + bytes(20),          # absurd length
                    wire.build_frame(3001, bytes(16), 1, 0)[:-1] + b"\x01",            # session trailer on a join
                    wire.build_frame(616, bytes(4), 1, 0, fixed=True),                 # play before joining
                    b"\x00" * 7,                                                       # a few bytes, then gone
                ]
                for raw in cases:
                    r, w = await asyncio.open_connection("127.0.0.1", port)
                    w.write(raw)
                    await w.drain()
                    w.close()
                    try:
                        await asyncio.wait_for(r.read(), 2)
                    except ConnectionError:
                        pass
                c, _, _ = await join_and_deal(port)                                  # still serving
                c.close()
            self.assertEqual(len(ts.errors), 3)
        asyncio.run(run())

    def test_chat_relayed_scripted_lines_and_a_watcher_coming_in(self):
        script = dict(SCRIPT, expect=[],
                      watchers=[{"id": 1003, "username": "watcher1", "nickname": "看客", "seat": 1, "enters": True}],
                      chat={"expect": [{"id": M.CHAT_ON_START, "text": "一号玩家(player1)说：你好"}],
                            "say": [{"after": "join", "delay": 0.2, "id": M.SYSTEM_CHAT, "text": "欢迎光临"},
                                    {"after": "line", "id": M.CHAT, "from": 1002, "text": "你好啊"}]})
        async def run():
            ts, server, port = await start(script)
            async with server:
                c = ScriptClient(port)
                await c.connect()
                await c.until(M.SESSION_START)
                self.assertEqual(len(await c.until(M.ROSTER)), 512)
                self.assertEqual(struct.unpack_from(">I", await c.until(M.PERSON_ENTER))[0], 1003)
                system = M.parse_chat(await c.until(M.SYSTEM_CHAT))
                self.assertEqual(system["text"].decode("gbk"), "欢迎光临")
                # a line that does not hold together is refused; the connection stays
                await c.send(M.CHAT, M.chat_line(1001, 0, "x")[:-1] + b"x")
                line = M.chat_line(1001, 0, "一号玩家(player1)说：你好")
                await c.send(M.CHAT_ON_START, line, fixed=True)
                msg_id, echoed = await c.recv()
                self.assertEqual((msg_id, echoed), (M.CHAT_ON_START, line))
                reply = M.parse_chat(await c.until(M.CHAT))
                self.assertEqual((reply["speaker"], reply["text"].decode("gbk")), (1002, "你好啊"))
                c.close()
            self.assertEqual(len(ts.errors), 1)
            self.assertIn("chat 3021", ts.errors[0])
            self.assertEqual(ts.table.missing(), [])
        asyncio.run(run())


    def test_a_magic_action_comes_back_to_the_table_and_the_computer_answers(self):
        script = dict(SCRIPT, expect=[],
                      magic={"expect": [{"type": 0, "item": 2, "receiver": 1002, "words": "你好"}],
                             "say": [{"after": "magic", "delay": 0.1, "type": 1, "item": 101, "to": 1001}]})
        async def run():
            ts, server, port = await start(script)
            async with server:
                c = ScriptClient(port)
                await c.connect()
                await c.until(M.SESSION_START)
                await c.until(M.ROSTER)
                # one that does not hold together is refused; the connection stays
                bad = M.magic_action(0, 0, 2, 1001, 1002, "x")
                await c.send(M.MAGIC_ACTION, bad[:28] + b"xx" + bad[30:])
                body = M.magic_action(0, 0, 2, 1001, 1002, "你好")
                await c.send(M.MAGIC_ACTION, body)
                self.assertEqual(await c.until(M.MAGIC_ACTION), body)
                answer = M.parse_magic_action(await c.until(M.MAGIC_ACTION))
                self.assertEqual((answer["sender"], answer["item"], answer["receiver"]), (1002, 101, 1001))
                c.close()
            self.assertEqual(len(ts.errors), 1)
            self.assertIn("magic action", ts.errors[0])
            self.assertEqual(ts.table.missing(), [])
        asyncio.run(run())


class CommandLine(unittest.TestCase):
    def test_once_ends_with_the_game_and_reports_errors(self):
        with tempfile.TemporaryDirectory() as d:
            script = os.path.join(d, "s.json")
            port_file = os.path.join(d, "port")
            with open(script, "w") as f:
                json.dump(dict(SCRIPT, expect=[{"id": 602}, {"id": 607}, {"id": 616, "tiles": "E"}]), f)
            here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
            p = subprocess.Popen([sys.executable, "-m", "tableserver", "--port", "0", "--port-file", port_file,
                                  "--script", script, "--once", "--max-seconds", "60"],
                                 cwd=here, stderr=subprocess.PIPE, text=True)

            async def play():
                for _ in range(100):
                    if os.path.exists(port_file) and open(port_file).read().strip():
                        break
                    await asyncio.sleep(0.05)
                c, _, _ = await join_and_deal(int(open(port_file).read()))
                await c.discard("N")
                await c.until(M.DISCARD)
                await c.send(M.PLAYER_EXIT, struct.pack(">IHH", 1001, 0, 0))
                c.close()
            asyncio.run(play())
            _, err = p.communicate(timeout=90)
            self.assertEqual(p.returncode, 1)
            self.assertIn("expected E", err)


if __name__ == "__main__":
    unittest.main()
