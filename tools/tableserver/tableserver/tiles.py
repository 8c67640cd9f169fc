"""Tiles, the wall and the server's own judge of claims, wins and fans.

A tile is a (colour, value) pair: colour 0 characters, 1 dots, 2 bamboo, 3 winds (1 east ...
4 north), 4 dragons (1 red, 2 green, 3 white). On the wire a tile is one byte, value << 3 | colour.
The two-player table plays the 64 tiles of characters, winds and dragons.
"""
from collections import Counter
import random

HONOUR_NAMES = {"E": (3, 1), "S": (3, 2), "W": (3, 3), "N": (3, 4),
                "Z": (4, 1), "F": (4, 2), "B": (4, 3)}
SUIT_LETTERS = {"m": 0, "p": 1, "s": 2}


def parse_tile(name):
    """'5m' -> (0, 5); 'E' -> (3, 1); 'Z' (red), 'F' (green), 'B' (white)."""
    if name in HONOUR_NAMES:
        return HONOUR_NAMES[name]
    if len(name) == 2 and name[0].isdigit() and name[1] in SUIT_LETTERS and name[0] != "0":
        return (SUIT_LETTERS[name[1]], int(name[0]))
    raise ValueError("not a tile: %r" % name)


def tile_name(tile):
    colour, value = tile
    for name, t in HONOUR_NAMES.items():
        if t == tile:
            return name
    return "%d%s" % (value, "mps"[colour])


def parse_tiles(text):
    """'1m 2m 3m E E' or a list of names."""
    names = text.split() if isinstance(text, str) else text
    return [parse_tile(n) for n in names]


def encode(tile):
    return (tile[1] << 3 | tile[0]) & 0xFF


def decode(code):
    return (code & 7, code >> 3)


def encode_string(tiles, size):
    """A zero-padded code string of `size` bytes (cut to the size)."""
    codes = bytes(encode(t) for t in tiles)[:size]
    return codes + b"\0" * (size - len(codes))


def decode_string(data):
    """Codes up to the first NUL."""
    out = []
    for b in data:
        if b == 0:
            break
        out.append(decode(b))
    return out


def full_set():
    """The 64 tiles of the two-player game."""
    tiles = [(0, v) for v in range(1, 10)] + [(3, v) for v in range(1, 5)] + [(4, v) for v in range(1, 4)]
    return [t for t in tiles for _ in range(4)]


def shuffled_wall(seed=None):
    wall = full_set()
    random.Random(seed).shuffle(wall)
    return wall


def is_suit(tile):
    return tile[0] in (0, 1, 2)


def sort_key(tile):
    return (tile[0], tile[1])


# --- claims -------------------------------------------------------------------------------------

def can_pung(hand, tile):
    return Counter(hand)[tile] >= 2


def can_kong_on_discard(hand, tile):
    return Counter(hand)[tile] >= 3


def chow_options(hand, tile):
    """The chows the discard completes, each as its three tiles in order."""
    if not is_suit(tile):
        return []
    colour, v = tile
    have = Counter(hand)
    out = []
    for low in (v - 2, v - 1, v):
        if low < 1 or low + 2 > 9:
            continue
        run = [(colour, low), (colour, low + 1), (colour, low + 2)]
        need = list(run)
        need.remove(tile)
        if all(have[t] >= 1 for t in need) and (need[0] != need[1] or have[need[0]] >= 2):
            out.append(run)
    return out


def concealed_kongs(hand):
    return [t for t, n in sorted(Counter(hand).items()) if n == 4]


def added_kongs(hand, melds):
    return [m.tiles[0] for m in melds if m.kind == "pung" and m.tiles[0] in hand]


# --- winning hands ------------------------------------------------------------------------------

class Meld:
    """A group laid open (or a concealed kong): kind chow, pung, kong (exposed), hidden_kong."""
    __slots__ = ("kind", "tiles", "claimed")

    def __init__(self, kind, tiles, claimed=True):
        self.kind, self.tiles, self.claimed = kind, list(tiles), claimed

    def __repr__(self):
        return "Meld(%s %s)" % (self.kind, " ".join(tile_name(t) for t in self.tiles))


def _sets(counts, start=0):
    """Every way to split `counts` (a dict tile->n, sorted keys) into pungs and chows."""
    keys = sorted(t for t, n in counts.items() if n > 0)
    if not keys:
        yield []
        return
    t = keys[0]
    if counts[t] >= 3:
        counts[t] -= 3
        for rest in _sets(counts):
            yield [("pung", t)] + rest
        counts[t] += 3
    if is_suit(t) and t[1] <= 7:
        a, b = (t[0], t[1] + 1), (t[0], t[1] + 2)
        if counts.get(a, 0) > 0 and counts.get(b, 0) > 0:
            counts[t] -= 1
            counts[a] -= 1
            counts[b] -= 1
            for rest in _sets(counts):
                yield [("chow", t)] + rest
            counts[t] += 1
            counts[a] += 1
            counts[b] += 1


def decompositions(concealed, melds):
    """Every way the concealed tiles (with the winning tile) make (pair, sets) beside the melds;
    seven pairs as ('pairs', ...)."""
    need = 4 - len(melds)
    if len(concealed) != need * 3 + 2:
        return []
    out = []
    counts = Counter(concealed)
    for pair in sorted(t for t, n in counts.items() if n >= 2):
        counts[pair] -= 2
        for sets in _sets(dict(counts)):
            out.append(("standard", pair, sets))
        counts[pair] += 2
    if not melds and len(concealed) == 14 and all(n % 2 == 0 for n in counts.values()):
        out.append(("pairs", None, []))
    return out


def is_win(concealed, melds):
    return bool(decompositions(concealed, melds))


def is_ready(concealed, melds):
    """Some tile of the set would complete the hand."""
    for t in set(full_set()):
        if Counter(concealed)[t] + sum(m.tiles.count(t) for m in melds) >= 4:
            continue
        if is_win(concealed + [t], melds):
            return True
    return False


# --- fans ---------------------------------------------------------------------------------------

POINTS_BY_GRADE = {1: 88, 2: 64, 3: 48, 4: 32, 5: 24, 6: 16, 7: 12, 8: 8, 9: 6, 10: 4, 11: 2, 12: 1}
# The patterns this judge knows, and what each one excludes when it is found.
EXCLUDES = {
    101: {202, 705, 901}, 102: {907, 203}, 204: {901, 902}, 202: {705},
    203: {907}, 205: {606, 1108, 901, 1104}, 606: {1108}, 501: {1104, 1002},
    504: {902}, 1002: {1104}, 601: set(), 901: set(), 902: set(), 705: set(), 907: set(),
    1104: set(), 1105: set(), 1108: set(), 1109: set(), 1206: set(), 1205: set(),
    806: set(), 807: set(), 808: set(),
}


def fan_points(fans):
    return sum(POINTS_BY_GRADE.get(f // 100, 0) for f in fans)


def judge_fans(concealed, melds, win_tile, self_drawn, last_tile=False, after_kong=False):
    """The fan types of a winning hand (best decomposition by points), or [] if it does not win.

    `concealed` holds the winning tile."""
    best = []
    for kind, pair, sets in decompositions(concealed, melds):
        fans = set()
        all_tiles = concealed + [t for m in melds for t in m.tiles]
        colours = {t[0] for t in all_tiles}
        suits = {c for c in colours if c < 3}
        if kind == "pairs":
            fans.add(501)
        else:
            pungs = [t for k, t in sets if k == "pung"]
            chows = [t for k, t in sets if k == "chow"]
            # a pung completed by a discard counts as laid open
            hidden = [t for t in pungs if self_drawn or t != win_tile or
                      any(c[0] == win_tile[0] and c[1] <= win_tile[1] <= c[1] + 2 for c in chows)]
            hidden += [m.tiles[0] for m in melds if m.kind == "hidden_kong"]
            every_pung = pungs + [m.tiles[0] for m in melds if m.kind != "chow"]
            every_chow = chows + [min(m.tiles) for m in melds if m.kind == "chow"]
            dragons = [t for t in every_pung if t[0] == 4]
            winds = [t for t in every_pung if t[0] == 3]
            if len(dragons) == 3:
                fans.add(102)
            elif len(dragons) == 2:
                fans.add(203 if pair[0] == 4 else 907)
            if len(winds) == 4:
                fans.add(101)
            elif len(winds) == 3:
                fans.add(202 if pair[0] == 3 else 705)
            if not every_chow:
                fans.add(901)
            if len(hidden) == 4:
                fans.add(205)
            elif len(hidden) == 3:
                fans.add(606)
            elif len(hidden) == 2:
                fans.add(1108)
            if len(every_chow) == 4 and is_suit(pair):
                fans.add(1105)
            for c in range(3):
                if {(c, 1), (c, 4), (c, 7)} <= set(every_chow):
                    fans.add(601)
            if any(t[0] < 3 and t[1] in (1, 9) or t[0] == 3 for t in every_pung):
                fans.add(1205)
            if any(m.kind == "hidden_kong" for m in melds):
                fans.add(1109)
            if any(m.kind == "kong" for m in melds):
                fans.add(1206)
        if not suits:
            fans.add(204)
        elif len(suits) == 1 and len(colours) == 1:
            fans.add(504)
        elif len(suits) == 1:
            fans.add(902)
        if not any(m.kind != "hidden_kong" for m in melds):
            fans.add(1002 if self_drawn else 1104)
        if last_tile:
            fans.add(806 if self_drawn else 807)
        if after_kong and self_drawn:
            fans.add(808)
        for f in sorted(fans):
            if f in fans:
                fans -= EXCLUDES.get(f, set())
        result = sorted(fans)
        if fan_points(result) > fan_points(best) or not best:
            best = result
    return best
