import json
import os
import struct
import unittest

from tableserver import messages as M
from tableserver import tiles as T
from tableserver.game import Table

from .fixtures import PERSONS

SCENARIO = os.path.join(os.path.dirname(__file__), "..", "scenarios", "drawn_hand.json")
JOIN = {"id": 1001, "table": 3, "seat": 0, "watch": -1, "game": 1, "sub": 4}


class DrawnHand(unittest.TestCase):
    def test_the_scenario_plays_to_an_empty_wall(self):
        """The end-to-end drawn hand: the player throws every tile it draws, nobody can claim or
        win, the wall runs out on the computer's draw and the table announces the drawn hand
        (628); the player's own 628 that follows is the last frame the script expects."""
        with open(SCENARIO, encoding="utf-8") as f:
            script = json.load(f)
        script["bot_delay"] = 0
        t = Table(PERSONS, script=script)
        t.join(JOIN)
        t.take()
        t.on_message(M.CONTROL, struct.pack(">HH", 0, 13))
        sent = t.on_message(M.DICE, struct.pack(">HHHh", 0, 3, 4, -1))
        thrown = 0
        while t.state == "play":
            self.assertEqual(t.turn, 0)
            tile = t.human.hand[-1]           # the tile just drawn
            sent += t.on_message(M.DISCARD, struct.pack(">H", 0) + T.encode_string([tile], 2))
            thrown += 1
        ids = [a[1] for a in sent if a[0] == "send"]
        self.assertEqual(thrown, 19)
        self.assertNotIn(M.MELD, ids)
        self.assertNotIn(M.HU_RESULT, ids)
        self.assertEqual(ids.count(M.DRAW), 37)
        self.assertEqual(ids[-2:], [M.WALL_EMPTY, M.BANKER_AND_WALL])
        self.assertEqual(t.left(), 0)
        # The player's client reports the empty wall as it sees the last draw.
        t.on_message(M.WALL_EMPTY, struct.pack(">HH", 0, 1))
        self.assertEqual(t.errors, [])
        self.assertEqual(t.expect, [])
        self.assertEqual([s.draws for s in t.seats], [1, 1])


if __name__ == "__main__":
    unittest.main()
