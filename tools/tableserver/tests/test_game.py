import copy
import struct
import unittest

from tableserver import messages as M
from tableserver import tiles as T
from tableserver.game import ProtocolError, Table

from .fixtures import PERSONS, SCRIPT

JOIN = {"id": 1001, "table": 3, "seat": 0, "watch": -1, "game": 1, "sub": 4}


def sent_ids(actions):
    return [a[1] for a in actions if a[0] == "send"]


def body_of(actions, msg_id):
    return [a[2] for a in actions if a[0] == "send" and a[1] == msg_id]


def msg(seat, *fields, tiles=None, size=6):
    body = struct.pack(">" + "H" * (1 + len(fields)), seat, *fields)
    if tiles is not None:
        body += T.encode_string(T.parse_tiles(tiles), size)
    return body


class ScriptedHand(unittest.TestCase):
    def setUp(self):
        self.table = Table(PERSONS, script=copy.deepcopy(SCRIPT))
        self.table.join(JOIN)
        # The first hand is announced as the table is made: its start button, the computer's
        # start sign.
        self.assertEqual(sent_ids(self.table.take()), [M.BANKER_AND_WALL, M.CONTROL])

    def play_to_the_deal(self):
        t = self.table
        out = t.on_message(M.CONTROL, msg(0, 13))
        self.assertEqual(sent_ids(out), [M.CONTROL, M.START_DICE])
        out = t.on_message(M.DICE, struct.pack(">HHHh", 0, 3, 4, 1))
        # the computer throws second (2 and 5, from the script), then the deal
        self.assertEqual(sent_ids(out), [M.DICE, M.DICE, M.DEAL])
        deal = body_of(out, M.DEAL)[0]
        wall_seat, position, front, back, n0, n1 = struct.unpack_from(">HHhhHH", deal, 2)
        self.assertEqual((wall_seat, position, front, back, n0, n1), (1, 6, 27, 0, 14, 13))
        self.assertEqual(T.decode_string(deal[14:]), T.parse_tiles("9m 9m E E E 1m 1m S S 3m 4m 6m W N"))
        return out

    def test_whole_hand(self):
        t = self.table
        self.play_to_the_deal()
        out = t.on_message(M.DISCARD, msg(0, tiles="N", size=2))
        # the computer draws, discards 9m, and the player may pung it
        self.assertEqual(sent_ids(out), [M.DISCARD, M.DRAW, M.DISCARD])
        self.assertEqual(T.decode_string(body_of(out, M.DRAW)[0][2:4]), [])   # the computer's tile stays hidden
        self.assertEqual(t.state, "await_claim")
        out = t.on_message(M.ACTION, msg(0, M.PUNG, tiles="9m 9m 9m"))
        self.assertEqual(sent_ids(out), [M.MELD])
        out = t.on_message(M.DISCARD, msg(0, tiles="W", size=2))
        self.assertEqual(sent_ids(out), [M.DISCARD, M.DRAW, M.DISCARD])
        out = t.on_message(M.ACTION, msg(0, M.CHOW, tiles="3m 4m 5m"))
        self.assertEqual(struct.unpack_from(">HH", body_of(out, M.MELD)[0]), (0, 1))
        out = t.on_message(M.DISCARD, msg(0, tiles="6m", size=2))
        self.assertEqual(T.decode_string(body_of(out, M.DISCARD)[-1][2:]), [(3, 2)])
        out = t.on_message(M.ACTION, msg(0, M.HU, tiles="S"))
        result = body_of(out, M.HU_RESULT)[0]
        self.assertEqual(struct.unpack_from(">HHH", result), (0, 2, 1))
        self.assertEqual(T.decode_string(result[8:28]), T.parse_tiles("1m 1m E E E S S"))
        self.assertEqual(t.state, "await_hu_ack")
        ack = struct.pack(">HH2i30h", 0, 0, 12, -12, *([902, 1205] + [0] * 28))
        out = t.on_message(M.HU_ACK, ack)
        score = struct.unpack(">2i2i2i2i2i30h", body_of(out, M.SCORE_INFO)[0])
        self.assertEqual(score[:10], (12, -12, 12, -12, 1, 0, 0, 1, 0, 0))
        self.assertEqual(score[10:12], (902, 1205))
        self.assertEqual(t.errors, [])
        self.assertTrue(t.finished)

    def test_a_frame_against_the_expectations_is_recorded(self):
        self.play_to_the_deal()
        self.table.on_message(M.DISCARD, msg(0, tiles="W", size=2))
        self.assertEqual(len(self.table.errors), 1)
        self.assertIn("expected N", self.table.errors[0])

    def test_a_throw_naming_the_player_again_is_not_held_to_the_script(self):
        t = self.table
        t.on_message(M.CONTROL, msg(0, 13))
        out = t.on_message(M.DICE, struct.pack(">HHHh", 0, 2, 2, 0))
        self.assertEqual(sent_ids(out), [M.DICE])            # the player throws again
        out = t.on_message(M.DICE, struct.pack(">HHHh", 0, 1, 4, -1))
        self.assertEqual(sent_ids(out), [M.DICE, M.DEAL])
        t.on_message(M.DISCARD, msg(0, tiles="N", size=2))
        self.assertEqual(t.errors, [])

    def test_refusals(self):
        t = self.table
        cases = [
            (M.DISCARD, msg(0, tiles="N", size=2), "not the player's turn"),   # before the deal
            (M.CONTROL, msg(0, 12), "control code"),
            (M.DISCARD, msg(1, tiles="N", size=2), "seat 1"),
        ]
        for msg_id, body, what in cases:
            with self.subTest(what):
                with self.assertRaisesRegex(ProtocolError, what):
                    t.on_message(msg_id, body)
        self.play_to_the_deal()
        with self.assertRaisesRegex(ProtocolError, "not held"):
            t.on_message(M.DISCARD, msg(0, tiles="Z", size=2))
        with self.assertRaisesRegex(ProtocolError, "no discard"):
            t.on_message(M.ACTION, msg(0, M.PUNG, tiles="N N N"))
        t.on_message(M.DISCARD, msg(0, tiles="N", size=2))
        with self.assertRaisesRegex(ProtocolError, "chow that does not fit"):
            t.on_message(M.ACTION, msg(0, M.CHOW, tiles="7m 8m 9m"))
        with self.assertRaisesRegex(ProtocolError, "win that is not there"):
            t.on_message(M.ACTION, msg(0, M.HU, tiles="9m"))

    def test_claim_time_out_passes(self):
        t = self.table
        self.play_to_the_deal()
        t.on_message(M.DISCARD, msg(0, tiles="N", size=2))
        out = t.on_claim_timeout()
        self.assertEqual(sent_ids(out), [M.DRAW])
        self.assertEqual(T.decode_string(out[0][2][2:4]), T.parse_tiles("8m"))   # now the player draws

    def test_snapshots_by_stage(self):
        t = self.table
        self.assertEqual(t.resume()[0][0], M.RESUME1)           # the first hand announced
        t.on_message(M.CONTROL, msg(0, 13))
        self.assertEqual(t.resume()[0][0], M.RESUME2)           # the dice
        t.on_message(M.DICE, struct.pack(">HHHh", 0, 3, 4, 1))
        (msg_id, body), = t.resume()
        self.assertEqual(msg_id, M.RESUME3)
        self.assertEqual(struct.unpack_from(">H", body, 190)[0], 0)        # the player holds the turn
        self.assertEqual(struct.unpack_from(">HHHHH", body, 192), (0, 0, 14, 13, 1))
        t.on_message(M.DISCARD, msg(0, tiles="N", size=2))
        (msg_id, body), = t.resume()
        self.assertEqual(msg_id, M.RESUME4)
        self.assertEqual(T.decode_string(body[192:194]), T.parse_tiles("9m"))
        self.assertEqual(T.decode_string(body[34:64]), T.parse_tiles("N"))
        self.assertEqual(T.decode_string(body[64:94]), T.parse_tiles("9m"))


WATCHERS = [{"id": 1003, "username": "watcher1", "nickname": "看客", "seat": 1, "watchno": 0},
            {"id": 1004, "username": "watcher2", "nickname": "路人", "seat": 0, "watchno": 1, "enters": True}]


def spoken(person_id=1001, seat=0, text="一号玩家(player1)说：你好", watch=-1):
    return M.chat_line(person_id, seat, text, watch=watch)


class InTableChat(unittest.TestCase):
    def table(self, **chat):
        t = Table(PERSONS, script=dict(copy.deepcopy(SCRIPT), watchers=copy.deepcopy(WATCHERS), chat=chat))
        t.join(JOIN)
        t.take()
        return t

    def test_a_line_is_heard_by_the_table_as_it_came(self):
        t = self.table()
        for msg_id in (M.CHAT_ON_START, M.CHAT):
            with self.subTest(msg_id):
                body = spoken()
                self.assertEqual(t.on_chat(msg_id, body), [("send", msg_id, body)])
        self.assertEqual(t.errors, [])

    def test_lines_that_do_not_hold_together_are_refused(self):
        t = self.table()
        good = spoken()
        cases = [
            ("another speaker", spoken(person_id=1002)),
            ("another seat", spoken(seat=1)),
            ("a watcher's head from the player", spoken(watch=0)),
            ("length field longer than the text", good[:44] + struct.pack(">H", 30) + good[46:]),
            ("length field over 399", good[:44] + struct.pack(">H", 400) + good[46:] + bytes(400)),
            ("no NUL at the end", good[:-1] + b"x"),
            ("NUL inside the text", good[:50] + b"\0" + good[51:]),
            ("head only", good[:48]),
        ]
        for what, body in cases:
            with self.subTest(what):
                with self.assertRaises(ProtocolError):
                    t.on_chat(M.CHAT, body)
        self.assertEqual(t.take(), [])

    def test_the_longest_line_and_gbk_bytes_pass_unchanged(self):
        t = self.table()
        text = ("一号玩家(player1)说：" + "麻将" * 200).encode("gbk")[:399]
        body = spoken(text=text)
        self.assertEqual(len(body), 448)
        (_, _, relayed), = t.on_chat(M.CHAT, body)
        self.assertEqual(M.parse_chat(relayed)["text"], text)

    def test_expected_lines_are_checked_in_order_and_missing_ones_reported(self):
        t = self.table(expect=[{"id": M.CHAT_ON_START, "text": "一号玩家(player1)说：你好"},
                               {"id": M.CHAT, "text": "一号玩家(player1)说：再见"},
                               {"text": "一号玩家(player1)说：还有"}])
        t.on_chat(M.CHAT_ON_START, spoken())
        self.assertEqual(t.errors, [])
        t.on_chat(M.CHAT_ON_START, spoken(text="一号玩家(player1)说：再会"))
        self.assertEqual(len(t.errors), 1)
        self.assertIn("id 3009, expected 3021", t.errors[0])
        self.assertIn("再会", t.errors[0])
        self.assertEqual([m for m in t.missing() if m.startswith("chat")],
                         ['chat line {"text": "一号玩家(player1)说：还有"} never came'])
        self.assertIn("frame 602 never came", t.missing())      # the hand was not played

    def test_scripted_lines_come_after_the_join_and_after_a_line(self):
        t = self.table(say=[{"after": "join", "delay": 0.5, "id": M.SYSTEM_CHAT, "text": "欢迎"},
                            {"after": "line", "line": 1, "id": M.CHAT, "from": 1002, "text": "你好啊"},
                            {"after": "line", "line": 2, "id": M.CHAT_ON_START, "from": 1003, "text": "加油"}])
        out = t.after_join()
        (enter,) = [a for a in out if a[0] == "send"]
        self.assertEqual(enter[1], M.PERSON_ENTER)
        (kind, delay, msg_id, body), = [a for a in out if a[0] == "later"]
        self.assertEqual((delay, msg_id), (0.5, M.SYSTEM_CHAT))
        self.assertEqual(M.parse_chat(body)["text"], "欢迎".encode("gbk"))
        replies = []
        for n in (1, 2, 3):
            replies.append([a for a in t.on_chat(M.CHAT, spoken()) if a[0] == "later"])
        first = M.parse_chat(replies[0][0][3])
        self.assertEqual((replies[0][0][2], first["speaker"], first["seat"], first["watch"]), (M.CHAT, 1002, 1, -1))
        watcher = M.parse_chat(replies[1][0][3])
        self.assertEqual((replies[1][0][2], watcher["speaker"], watcher["seat"], watcher["watch"]),
                         (M.CHAT_ON_START, 1003, 1, 0))
        self.assertEqual(replies[2], [])

    def test_watchers_in_the_roster_and_coming_in(self):
        t = self.table()
        roster = t.roster()
        self.assertEqual(len(roster), 3 * 256)
        watcher = roster[512:]
        self.assertEqual(struct.unpack_from(">I", watcher)[0], 1003)
        self.assertEqual(watcher[38:42].decode("gbk"), "看客")
        # status 5 (watching), the table, the seat watched, the watch number
        self.assertEqual(struct.unpack_from(">HHHh", watcher, 216), (5, 3, 1, 0))
        (enter,) = t.after_join()
        self.assertEqual(enter[:2], ("send", M.PERSON_ENTER))
        self.assertEqual(struct.unpack_from(">I", enter[2])[0], 1004)
        self.assertEqual(struct.unpack_from(">HHHh", enter[2], 216), (5, 3, 0, 1))
        self.assertEqual(len(t.roster()), 4 * 256)           # a player coming back sees both
        self.assertEqual(t.after_join(), [])                 # and nobody comes in twice


class Unscripted(unittest.TestCase):
    def test_hands_play_to_the_end_with_a_passive_player(self):
        """The player discards what it drew and never claims: every hand ends by a win of the
        computer or an empty wall, and the table never asks for something impossible."""
        for seed in range(30):
            t = Table(PERSONS, seed=seed, hands=2, bot_delay=0)
            t.join(JOIN)
            t.on_message(M.CONTROL, msg(0, 13))
            for _ in range(200):
                if t.state == "over":
                    break
                if t.state == "hand_over":
                    if t.finished:
                        break
                    t.on_message(M.CONTROL, msg(0, 13))
                elif t.state == "dice":
                    t.on_message(M.DICE, struct.pack(">HHHh", 0, 1, 1, -1))
                elif t.state == "await_claim":
                    t.on_claim_timeout()
                elif t.state == "await_hu_ack":
                    t.on_message(M.HU_ACK, struct.pack(">HH2i30h", 0, 0, 8, -8, *([0] * 30)))
                elif t.state == "play" and t.turn == 0:
                    h = t.human
                    if t.left() == 0:
                        t.on_message(M.WALL_EMPTY, msg(0, 1))
                    else:
                        t.on_message(M.DISCARD, msg(0, tiles=T.tile_name(h.hand[-1]), size=2))
                else:
                    self.fail("stuck in %s" % t.state)
            self.assertTrue(t.finished, "seed %d" % seed)
            self.assertEqual(sum(s.total for s in t.seats), 0)


if __name__ == "__main__":
    unittest.main()


def magic(sender=1001, seat=0, action_type=0, item=2, receiver=1002, words="送你一朵花"):
    return M.magic_action(seat, action_type, item, sender, receiver, words)


class MagicActions(unittest.TestCase):
    def table(self, **magic_script):
        t = Table(PERSONS, script=dict(copy.deepcopy(SCRIPT), watchers=copy.deepcopy(WATCHERS),
                                       magic=magic_script))
        t.join(JOIN)
        t.take()
        return t

    def test_an_action_is_relayed_to_the_table_as_it_came(self):
        t = self.table()
        for receiver in (1002, -1, 1003, 1001):
            with self.subTest(receiver):
                body = magic(receiver=receiver)
                self.assertEqual(t.on_magic(body), [("send", M.MAGIC_ACTION, body)])
        self.assertEqual(t.errors, [])

    def test_the_bytes_of_the_frame(self):
        body = magic(action_type=1, item=0x0102, receiver=1002, words="hi")
        self.assertEqual(body[:32].hex(), "0000" "0000" "00000001" "00000102" "0000" "0000"
                         "000003e9" "000003ea" "0000" "0002" "6869" "0000")
        self.assertEqual(len(body), 228)
        self.assertEqual(magic(receiver=-1)[12:14], b"\0\1")
        self.assertEqual(magic(receiver=-1)[20:24], b"\xff" * 4)

    def test_actions_that_do_not_hold_together_are_refused(self):
        t = self.table()
        good = magic(words="hi")
        cases = [
            ("another sender", magic(sender=1002)),
            ("another seat", magic(seat=1)),
            ("a receiver not at the table", magic(receiver=4242)),
            ("everybody without the flag", good[:20] + struct.pack(">i", -1) + good[24:]),
            ("the flag for one receiver", good[:12] + b"\0\1" + good[14:]),
            ("length longer than the words", good[:26] + struct.pack(">H", 5) + good[28:]),
            ("length over 199", good[:26] + struct.pack(">H", 200) + good[28:]),
            ("bytes after the words", good[:40] + b"x" + good[41:]),
            ("NUL inside the words", good[:26] + struct.pack(">H", 3) + good[28:]),
            ("padding not zero", good[:2] + b"\1\0" + good[4:]),
            ("short", good[:227]),
        ]
        for what, body in cases:
            with self.subTest(what):
                with self.assertRaises(ProtocolError):
                    t.on_magic(body)
        self.assertEqual(t.take(), [])

    def test_expected_actions_are_checked_in_order_and_missing_ones_reported(self):
        t = self.table(expect=[{"type": 0, "item": 2, "receiver": 1002, "words": "送你一朵花"},
                               {"item": 3, "receiver": -1},
                               {"item": 4}])
        t.on_magic(magic())
        self.assertEqual(t.errors, [])
        t.on_magic(magic(item=5, words=""))
        self.assertEqual(len(t.errors), 1)
        self.assertIn("item 5, expected 3", t.errors[0])
        self.assertIn("receiver 1002, expected -1", t.errors[0])
        self.assertEqual([m for m in t.missing() if m.startswith("magic")],
                         ['magic action {"item": 4} never came'])

    def test_scripted_actions_come_after_the_join_and_after_an_action(self):
        t = self.table(say=[{"after": "join", "delay": 0.5, "type": 1, "item": 101, "to": 1001},
                            {"after": "magic", "magic": 1, "from": 1003, "item": 3, "words": "好"},
                            {"after": "magic", "magic": 2, "to": -1, "item": 4}])
        (kind, delay, msg_id, body), = [a for a in t.after_join() if a[0] == "later"]
        self.assertEqual((kind, delay, msg_id), ("later", 0.5, M.MAGIC_ACTION))
        a = M.parse_magic_action(body)
        self.assertEqual((a["seat"], a["sender"], a["type"], a["item"], a["receiver"], a["everybody"]),
                         (1, 1002, 1, 101, 1001, 0))
        first = [x for x in t.on_magic(magic()) if x[0] == "later"]
        a = M.parse_magic_action(first[0][3])
        self.assertEqual((a["sender"], a["seat"], a["item"], a["receiver"], a["words"]),
                         (1003, 1, 3, -1, "好".encode("gbk")))
        second = [x for x in t.on_magic(magic()) if x[0] == "later"]
        a = M.parse_magic_action(second[0][3])
        self.assertEqual((a["sender"], a["receiver"], a["everybody"]), (1002, -1, 1))
        self.assertEqual([x for x in t.on_magic(magic()) if x[0] == "later"], [])

