import unittest

from tableserver import tiles as T


def tiles(text):
    return T.parse_tiles(text)


class TileCodes(unittest.TestCase):
    def test_codes_round_trip_and_strings(self):
        for t in set(T.full_set()):
            self.assertEqual(T.decode(T.encode(t)), t)
        self.assertEqual(T.encode((0, 1)), 8)
        self.assertEqual(T.encode((4, 3)), 28)
        self.assertEqual(T.encode_string(tiles("1m E"), 4), bytes([8, 11, 0, 0]))
        self.assertEqual(T.decode_string(bytes([8, 11, 0, 9])), tiles("1m E"))
        self.assertEqual(len(T.full_set()), 64)
        self.assertRaises(ValueError, T.parse_tile, "0m")


class Judge(unittest.TestCase):
    def test_wins(self):
        cases = [
            ("1m 1m 1m 2m 3m 4m 5m 6m 7m 8m 9m 9m 9m 5m", 0, True),
            ("1m 1m 2m 2m 3m 3m E E S S Z Z F F", 0, True),        # seven pairs
            ("1m 1m 2m 2m 3m 3m E E S S Z Z F B", 0, False),
            ("E E E S S", 3, True),                                 # three melds laid open
            ("E E E S W", 3, False),
            ("1m 2m 4m 5m 6m 7m 8m 9m E E E S S W", 0, False),
        ]
        for text, melds, want in cases:
            with self.subTest(text):
                open_melds = [T.Meld("pung", tiles("Z Z Z"))] * melds
                self.assertEqual(T.is_win(tiles(text), open_melds), want)

    def test_claims(self):
        hand = tiles("3m 4m 6m 7m 9m 9m E E E")
        self.assertTrue(T.can_pung(hand, (0, 9)))
        self.assertFalse(T.can_pung(hand, (0, 3)))
        self.assertTrue(T.can_kong_on_discard(hand, (3, 1)))
        self.assertEqual(T.chow_options(hand, (0, 5)),
                         [tiles("3m 4m 5m"), tiles("4m 5m 6m"), tiles("5m 6m 7m")])
        self.assertEqual(T.chow_options(hand, (3, 2)), [])
        self.assertEqual(T.chow_options(tiles("4m 6m"), (0, 4)), [])
        self.assertEqual(T.concealed_kongs(tiles("E E E E 1m")), [(3, 1)])

    def test_ready(self):
        self.assertTrue(T.is_ready(tiles("E E E 1m 1m S S"), [T.Meld("pung", tiles("9m 9m 9m"))] * 2))
        self.assertFalse(T.is_ready(tiles("1m 3m 5m 7m 9m E S W N Z F B B"), []))

    def test_fans(self):
        # (concealed hand with the winning tile, melds, winning tile, self-drawn, fans)
        cases = [
            ("Z Z Z F F F B B B 1m 2m 3m E E", [], "E", False, {102, 1104}),
            ("E E E S S S W W W N N N 1m 1m", [], "1m", True, {101, 205, 1002}),
            ("1m 1m 2m 2m 3m 3m 4m 4m 5m 5m 6m 6m 7m 7m", [], "7m", True, {501, 504}),
            ("1m 2m 3m 4m 5m 6m 7m 8m 9m 2m 3m 4m 5m 5m", [], "5m", False, {504, 601, 1104, 1105}),
            ("E E E S S S 1m 1m", [("pung", "9m 9m 9m"), ("chow", "3m 4m 5m")], "S", False, {902, 1205}),
        ]
        for hand, melds, win, self_drawn, want in cases:
            with self.subTest(hand):
                m = [T.Meld(k, tiles(t)) for k, t in melds]
                got = set(T.judge_fans(tiles(hand), m, T.parse_tile(win), self_drawn))
                self.assertTrue(want <= got, "%s missing from %s" % (want - got, got))
        self.assertEqual(T.judge_fans(tiles("1m 2m 4m"), [], (0, 4), True), [])
        self.assertEqual(T.fan_points([102, 1104]), 88 + 2)


if __name__ == "__main__":
    unittest.main()
