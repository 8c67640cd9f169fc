"""One two-player table: the hand as the server sees it, and the computer player in one seat.

The table is a plain state machine: each method takes what a client sent and returns what to do
next, a list of ("send", id, body), ("pause", seconds) and ("later", seconds, id, body) (sent
after that long without holding up what follows). The network side (server.py) carries those
out; tests drive the table directly.
"""
import json
import random
import struct
from collections import Counter

from . import messages as M
from . import tiles as T

WALL_SIZE = 64
HAND_SIZE = 13


def json_text(obj):
    return json.dumps(obj, ensure_ascii=False, sort_keys=True)


class ProtocolError(Exception):
    """A client message that is malformed or not allowed now."""


class Seat:
    def __init__(self, number, person, human):
        self.number = number
        self.person = person
        self.human = human
        self.total = self.wins = self.losses = self.draws = 0
        self.new_hand()

    def new_hand(self):
        self.hand, self.melds, self.discards = [], [], []
        self.ready = False
        self.wants_deal = not self.human

    def concealed_count(self):
        return len(self.hand)


class Table:
    def __init__(self, persons, script=None, seed=None, hands=0, bot_delay=0.6, claim_timeout=20.0,
                 player_record=None):
        """persons: two dicts (id, username, nickname) for seats 0 and 1.

        Besides the hand (wall, dice, discards, expected frames) a script may hold:
          "watchers": [{"id", "username", "nickname", "seat" (watched), "watchno", "enters"}]:
              in the roster, or with "enters" coming in after the player joined (3107);
          "chat": {"expect": [{"id", "text", "color", "size"}]: the player's lines in order,
                   "say": [{"after": "join" | "line", "line": n, "delay": s, "id": 3819 | 3021 |
                            3009, "from": person id (0 or none: the system), "text"}]};
          "magic": {"expect": [{"type", "item", "receiver", "words", "value"}]: the player's magic
                    actions (3040) in order, each relayed to the table as it came,
                    "say": [{"after": "join" | "magic", "magic": n, "delay": s, "from": person id,
                             "to": person id or -1 (everybody), "type", "item", "words",
                             "value"}]}."""
        self.script = script or {}
        self.rng = random.Random(self.script.get("seed", seed))
        self.max_hands = self.script.get("hands", hands)
        self.bot_delay = self.script.get("bot_delay", bot_delay)
        self.claim_timeout = self.script.get("claim_timeout", claim_timeout)
        self.persons = persons
        # (games started, forced exits) of the player who joins, in place of the roster's
        self.player_record = player_record
        self.seats = None
        self.human = None
        self.hand_no = 0
        self.banker = self.script.get("banker", 0)
        self.state = "joining"
        self.out = []
        self.errors = []
        self.bot_discards = T.parse_tiles(self.script.get("bot_discards", []))
        self.bot_dice = list(self.script.get("dice", []))
        self.expect = list(self.script.get("expect", []))
        self.claim_deadline = None
        self.last_hu = None
        self.finished = False
        self.announced = False
        # Who watches: in the roster, or (with "enters") coming in after the player joined.
        self.watchers = [dict(w) for w in self.script.get("watchers", [])]
        chat = self.script.get("chat", {})
        self.chat_expect = list(chat.get("expect", []))
        self.chat_say = list(chat.get("say", []))
        self.lines_heard = 0
        magic = self.script.get("magic", {})
        self.magic_expect = list(magic.get("expect", []))
        self.magic_say = list(magic.get("say", []))
        self.actions_heard = 0

    # --- joining ------------------------------------------------------------------------------

    def join(self, join):
        """A client joined with its 3001; returns the human's seat."""
        seat = join["seat"]
        if seat not in (0, 1):
            raise ProtocolError("seat %d is not at this table" % seat)
        if self.seats is None:
            people = [dict(p) for p in self.persons]
            people[seat]["id"] = join["id"]
            if self.player_record is not None:
                people[seat]["startgame"], people[seat]["forceexit"] = self.player_record
            self.seats = [Seat(i, people[i], i == seat) for i in range(2)]
            for i, s in enumerate(self.seats):
                s.person.setdefault("seatno", i)
                s.person.setdefault("deskno", join["table"])
            self.human = self.seats[seat]
            self.bot = self.seats[1 - seat]
            for w in self.watchers:
                w["deskno"] = join["table"]
                w["seatno"] = w.get("seat", 0)
                w.setdefault("watchno", 0)
                w.setdefault("status", 5)
            self.state = "wait_start"
            self.announce_hand()
        elif self.human.number != seat or self.human.person["id"] != join["id"]:
            raise ProtocolError("another player holds this table")
        return seat

    def roster(self):
        present = [w for w in self.watchers if not w.get("enters")]
        return b"".join(M.person256(p) for p in [s.person for s in self.seats] + present)

    def after_join(self):
        """What follows a player's join: the watchers who come in now (3107 each) and the chat
        lines the script says after the join."""
        for w in self.watchers:
            if w.get("enters"):
                w["enters"] = False     # in the roster from now on (a player coming back)
                self.send(M.PERSON_ENTER, M.person256(w))
        self.say("join", 0)
        self.act("join", 0)
        return self.take()

    def missing(self):
        """What the script expected from the client and did not get."""
        left = ["frame %s never came" % w.get("id") for w in self.expect]
        left += ["chat line %s never came" % json_text(w) for w in self.chat_expect]
        left += ["magic action %s never came" % json_text(w) for w in self.magic_expect]
        return left

    # --- in-table chat ------------------------------------------------------------------------

    def speaker(self, person_id):
        """(seat code, watch number) of a person of the table; a system line has neither."""
        for s in self.seats:
            if s.person["id"] == person_id:
                return s.number, -1
        for w in self.watchers:
            if w["id"] == person_id:
                return w["seatno"], w["watchno"]
        return 0, -1

    def say(self, when, count):
        """The script's lines for this moment, each after its delay."""
        for line in self.chat_say:
            if line.get("after", "join") != when or (when == "line" and line.get("line", 1) != count):
                continue
            who = line.get("from", 0)
            seat, watch = self.speaker(who)
            body = M.chat_line(who, seat, line["text"], watch=watch, color=line.get("color", 0))
            self.out.append(("later", line.get("delay", 0), line.get("id", M.CHAT), body))

    def on_chat(self, msg_id, body):
        """A line the player typed (3009 before the hand, 3021 after): checked, then the table
        hears it (the speaker too: that is how the line reaches the speaker's own pane)."""
        try:
            line = M.parse_chat(body)
        except ValueError as e:
            raise ProtocolError(str(e))
        h = self.human
        self.require(line["speaker"] == h.person["id"],
                     "chat line of %d from player %d" % (line["speaker"], h.person["id"]))
        self.require(line["seat"] == h.number and line["watch"] == -1,
                     "chat line from seat %d watch %d" % (line["seat"], line["watch"]))
        self.check_chat(msg_id, line)
        self.send(msg_id, body)
        self.lines_heard += 1
        self.say("line", self.lines_heard)
        return self.take()

    def check_chat(self, msg_id, line):
        if not self.chat_expect:
            return
        want = self.chat_expect.pop(0)
        problems = []
        if want.get("id", msg_id) != msg_id:
            problems.append("id %d, expected %d" % (msg_id, want["id"]))
        if "text" in want and line["text"] != want["text"].encode("gbk"):
            problems.append("text %r, expected %r" % (line["text"].decode("gbk", "replace"), want["text"]))
        for field in ("color", "size"):
            if field in want and line[field] != want[field]:
                problems.append("%s %d, expected %d" % (field, line[field], want[field]))
        if problems:
            self.errors.append("chat %d: %s" % (msg_id, "; ".join(problems)))

    # --- magic actions ------------------------------------------------------------------------

    def act(self, when, count):
        """The script's magic actions for this moment, each after its delay."""
        for a in self.magic_say:
            if a.get("after", "join") != when or (when == "magic" and a.get("magic", 1) != count):
                continue
            sender = a.get("from", self.bot.person["id"])
            seat, _ = self.speaker(sender)
            body = M.magic_action(seat, a.get("type", 0), a.get("item", 0), sender, a.get("to", -1),
                                  a.get("words", ""), a.get("value", 0))
            self.out.append(("later", a.get("delay", 0), M.MAGIC_ACTION, body))

    def on_magic(self, body):
        """A magic action the player sent (3040): its bytes checked, then the table sees it as it
        came (the sender too: that is how it plays on the sender's own table)."""
        try:
            a = M.parse_magic_action(body)
        except ValueError as e:
            raise ProtocolError(str(e))
        h = self.human
        self.require(a["sender"] == h.person["id"],
                     "magic action of %d from player %d" % (a["sender"], h.person["id"]))
        self.require(a["seat"] == h.number, "magic action from seat %d" % a["seat"])
        known = [s.person["id"] for s in self.seats] + [w["id"] for w in self.watchers]
        self.require(a["receiver"] == -1 or a["receiver"] in known,
                     "magic action for %d, not at the table" % a["receiver"])
        self.check_magic(a)
        self.send(M.MAGIC_ACTION, body)
        self.actions_heard += 1
        self.act("magic", self.actions_heard)
        return self.take()

    def check_magic(self, a):
        if not self.magic_expect:
            return
        want = self.magic_expect.pop(0)
        problems = []
        for field in ("type", "item", "receiver", "value"):
            if field in want and a[field] != want[field]:
                problems.append("%s %d, expected %d" % (field, a[field], want[field]))
        if "words" in want and a["words"] != want["words"].encode("gbk"):
            problems.append("words %r, expected %r" % (a["words"].decode("gbk", "replace"), want["words"]))
        if problems:
            self.errors.append("magic action: %s" % "; ".join(problems))

    def resume(self):
        """The snapshot for a player who comes back in the middle of a hand (or nothing)."""
        h, b = self.human, self.bot
        if self.state in ("wait_start", "hand_over"):
            if not self.announced:
                return []
            ready = [1 if s.wants_deal else (-1 if s.human else 0) for s in self.seats]
            return [(M.RESUME1, M.resume1(self.hand_no + 1, WALL_SIZE, self.banker, [r & 0xFFFF for r in ready]))]
        if self.state == "dice":
            d = self.dice_state
            return [(M.RESUME2, M.resume2(self.hand_no, WALL_SIZE, self.banker, 1 if d["thrown"] else 0,
                                          d["d1"], d["d2"], d["target"]))]
        head = (self.hand_no, WALL_SIZE, self.banker, self.wall_seat, self.position,
                self.front, WALL_SIZE - 1 - self.back)
        discards = [s.discards for s in self.seats]
        melds = [s.melds for s in self.seats]
        ready = [int(s.ready) for s in self.seats]
        counts = [s.concealed_count() for s in self.seats]
        if self.state == "await_hu_ack":
            r = self.last_hu
            return [(M.RESUME5, M.resume5(head, [s.hand for s in self.seats], discards, melds, r["winner"],
                                          r["type"], r["discarder"], r["tile"], counts, ready))]
        if self.state == "await_claim":
            return [(M.RESUME4, M.resume3_or_4(M.RESUME4, head, h.hand, discards, melds, ready, counts,
                                               b.number, self.last_discard))]
        turn_state = 1 if self.drawn else 2
        return [(M.RESUME3, M.resume3_or_4(M.RESUME3, head, h.hand, discards, melds, ready, counts,
                                           self.turn, turn_state))]

    # --- helpers ------------------------------------------------------------------------------

    def send(self, msg_id, body):
        self.out.append(("send", msg_id, body))

    def pause(self):
        if self.bot_delay:
            self.out.append(("pause", self.bot_delay))

    def take(self):
        out, self.out = self.out, []
        return out

    def left(self):
        return self.back - self.front + 1

    def draw_front(self):
        tile = self.wall[self.front]
        self.front += 1
        return tile

    def draw_back(self):
        tile = self.wall[self.back]
        self.back -= 1
        return tile

    def check_expectation(self, msg_id, body):
        if not self.expect:
            return
        want = self.expect.pop(0)
        problems = []
        if want.get("id") != msg_id:
            problems.append("id %d, expected %s" % (msg_id, want.get("id")))
        elif "tiles" in want:
            offset = {M.DISCARD: 2, M.ACTION: 4, M.HU_REQUEST: 2, M.GANG: 2, M.GANG2: 2}.get(msg_id, 2)
            got = T.decode_string(body[offset:])
            # A meld's tiles may come in any order.
            if sorted(got) != sorted(T.parse_tiles(want["tiles"])):
                problems.append("tiles %s, expected %s" % (" ".join(map(T.tile_name, got)), want["tiles"]))
        if "action" in want and msg_id == M.ACTION and struct.unpack_from(">H", body, 2)[0] != want["action"]:
            problems.append("action %d, expected %d" % (struct.unpack_from(">H", body, 2)[0], want["action"]))
        if problems:
            self.errors.append("frame %d: %s" % (msg_id, "; ".join(problems)))

    # --- what the client sends ----------------------------------------------------------------

    def on_message(self, msg_id, body):
        # The client rolls its own dice: a throw that names the thrower again brings a second
        # throw the script cannot foresee, so only the first one is held to the script.
        rethrow = msg_id == M.DICE and self.state == "dice" and self.dice_state.get("thrown", 0) > 0
        if msg_id not in (M.KEEP_ALIVE,) + M.CHAT_IDS and not rethrow:
            self.check_expectation(msg_id, body)
        handler = {
            M.CONTROL: self.on_control, M.DICE: self.on_dice, M.DISCARD: self.on_discard,
            M.ACTION: self.on_action, M.HU_REQUEST: self.on_hu_request, M.GANG: self.on_concealed_kong,
            M.GANG2: self.on_added_kong, M.TING: self.on_ting, M.HU_ACK: self.on_hu_ack,
            M.WALL_EMPTY: self.on_wall_empty,
        }.get(msg_id)
        if handler:
            handler(body)
        return self.take()

    def require(self, condition, what):
        if not condition:
            raise ProtocolError(what)

    def own_seat(self, body):
        seat = struct.unpack_from(">H", body)[0]
        self.require(seat == self.human.number, "message for seat %d from seat %d" % (seat, self.human.number))

    def on_control(self, body):
        seat, code = M.parse_seat_code(body)
        self.require(code == 13, "control code %d" % code)
        self.require(self.state in ("wait_start", "hand_over"), "deal request during a hand")
        self.require(self.announced, "deal request before the hand was announced")
        self.human.wants_deal = True
        self.send(M.CONTROL, M.control(self.human.number, 13))
        self.start_hand()

    def announce_hand(self):
        """The next hand (601, its start button on the client) and the computer's start sign;
        or, when the hands are played, the end of the game."""
        coming = self.hand_no + 1
        more = not self.max_hands or coming <= self.max_hands
        self.send(M.BANKER_AND_WALL, M.banker_and_wall(coming, WALL_SIZE, self.banker, more))
        if not more:
            self.state = "over"
            self.finished = True
            return
        self.announced = True
        self.send(M.CONTROL, M.control(self.bot.number, 13))

    def start_hand(self):
        self.hand_no += 1
        self.announced = False
        for s in self.seats:
            s.new_hand()
        self.wall = self.make_wall()
        self.front, self.back = 0, WALL_SIZE - 1
        self.send(M.START_DICE, M.start_dice(self.banker))
        self.state = "dice"
        self.dice_state = {"thrown": 0, "d1": 0, "d2": 0, "target": -1, "thrower": self.banker}
        if not self.seats[self.banker].human:
            self.bot_throw()

    def make_wall(self):
        # The script's wall starts the first hand, or every hand with "every_hand".
        first = self.hand_no == 1 or self.script.get("every_hand", False)
        fixed = T.parse_tiles(self.script.get("wall", [])) if first else []
        rest = Counter(T.full_set())
        for t in fixed:
            if rest[t] == 0:
                raise ValueError("the script's wall holds %s more than four times" % T.tile_name(t))
            rest[t] -= 1
        tail = list(rest.elements())
        self.rng.shuffle(tail)
        return fixed + tail

    def bot_throw(self):
        d1, d2 = self.bot_dice.pop(0) if self.bot_dice else (self.rng.randint(1, 6), self.rng.randint(1, 6))
        d = self.dice_state
        if d["thrown"]:
            target = -1
        else:
            target = self.bot.number if (d1 + d2) % 2 else self.human.number
        self.pause()
        self.throw(self.bot.number, d1, d2, target)

    def throw(self, seat, d1, d2, target):
        d = self.dice_state
        d.update(thrown=d["thrown"] + 1, d1=d1, d2=d2, target=target, thrower=seat)
        self.send(M.DICE, M.dice(seat, d1, d2, target))
        if target == -1 or d["thrown"] >= 2:
            self.deal(seat, d1 + d2)
        elif not self.seats[target].human:
            self.bot_throw()

    def on_dice(self, body):
        seat, d1, d2, target = struct.unpack(">HHHh", body)
        self.own_seat(body)
        self.require(self.state == "dice", "dice outside the throw")
        self.require(1 <= d1 <= 6 and 1 <= d2 <= 6, "dice %d %d" % (d1, d2))
        self.require(target in (-1, 0, 1), "dice target %d" % target)
        self.throw(seat, d1, d2, target)

    def deal(self, wall_seat, total):
        self.wall_seat, self.position = wall_seat, max(1, total - 1)
        for s in self.seats:
            s.hand = [self.draw_front() for _ in range(HAND_SIZE)]
        banker = self.seats[self.banker]
        banker.hand.append(self.draw_front())
        counts = [len(s.hand) for s in self.seats]
        self.send(M.DEAL, M.deal(wall_seat, self.position, self.front, 0, counts, self.human.hand))
        self.turn, self.drawn = self.banker, True
        self.state = "play"
        if banker is self.bot:
            self.bot_turn()

    # --- the turn -----------------------------------------------------------------------------

    def draw_for(self, seat, after_kong=False):
        """Draws the turn's tile (or the replacement after a kong) for a seat."""
        if self.left() <= 0:
            self.wall_exhausted()
            return None
        tile = self.draw_back() if after_kong else self.draw_front()
        seat.hand.append(tile)
        self.turn, self.drawn, self.after_kong = seat.number, True, after_kong
        return tile

    def give_turn(self, seat):
        tile = self.draw_for(seat)
        if tile is None:
            return
        shown = tile if seat.human else None
        self.send(M.DRAW, M.draw(seat.number, shown, 1, 0, self.left() > 0))
        self.state = "play"
        if seat is self.bot:
            self.bot_turn()

    def bot_turn(self):
        bot = self.bot
        self.pause()
        last = self.left() == 0
        if T.is_win(bot.hand, bot.melds):
            self.win(bot, 1, bot.number, bot.hand[-1], last_tile=last, after_kong=getattr(self, "after_kong", False))
            return
        kongs = T.concealed_kongs(bot.hand)
        if kongs and self.left() > 0:
            tile = kongs[0]
            for _ in range(4):
                bot.hand.remove(tile)
            bot.melds.append(T.Meld("hidden_kong", [tile] * 4, claimed=False))
            new = self.draw_for(bot, after_kong=True)
            if new is None:
                return
            self.send(M.GANG_DRAW, M.kong_draw(bot.number, [tile] * 4, None, 0, 1, self.left() > 0))
            self.bot_turn()
            return
        if last:
            self.wall_exhausted()
            return
        self.discard(bot, self.bot_choose_discard())

    def bot_choose_discard(self):
        hand = self.bot.hand
        while self.bot_discards:
            want = self.bot_discards.pop(0)
            if want in hand:
                return want
        counts = Counter(hand)

        def keep_value(t):
            v = 3 * (counts[t] - 1)
            if T.is_suit(t):
                v += sum(1 for d in (-2, -1, 1, 2) if (t[0], t[1] + d) in counts)
            return v
        return min(hand, key=lambda t: (keep_value(t), T.is_suit(t), t))

    def discard(self, seat, tile):
        seat.hand.remove(tile)
        seat.discards.append(tile)
        self.last_discard = tile
        self.drawn = False
        self.send(M.DISCARD, M.discard(seat.number, tile))
        other = self.seats[1 - seat.number]
        if other is self.bot:
            self.bot_answer(tile)
        else:
            self.offer_to_human(tile)

    def offer_to_human(self, tile):
        h = self.human
        last = self.left() == 0
        # the last discard of the wall may only be won on
        can = T.is_win(h.hand + [tile], h.melds) or not last and (
            T.can_pung(h.hand, tile) or T.chow_options(h.hand, tile) or T.can_kong_on_discard(h.hand, tile))
        if can:
            self.state = "await_claim"
            self.claim_deadline = self.claim_timeout
        elif last:
            self.wall_exhausted()
        else:
            self.give_turn(h)

    def bot_answer(self, tile):
        bot, h = self.bot, self.human
        last = self.left() == 0
        if T.is_win(bot.hand + [tile], bot.melds):
            self.pause()
            h.discards.pop()
            bot.hand.append(tile)
            self.win(bot, 2, h.number, tile, last_tile=last)
            return
        if self.script.get("bot_claims", True) and T.can_pung(bot.hand, tile) and not last:
            self.pause()
            h.discards.pop()
            bot.hand.remove(tile)
            bot.hand.remove(tile)
            bot.melds.append(T.Meld("pung", [tile] * 3))
            self.send(M.MELD, M.meld(bot.number, 2, [tile] * 3))
            self.turn, self.drawn = bot.number, False
            self.discard(bot, self.bot_choose_discard())
            return
        if last:
            self.wall_exhausted()
        else:
            self.give_turn(bot)

    def wall_exhausted(self):
        non_banker = 1 - self.banker
        self.send(M.WALL_EMPTY, M.wall_empty(self.turn, non_banker))
        for s in self.seats:
            s.draws += 1
        self.end_hand()

    def end_hand(self):
        self.state = "hand_over"
        self.claim_deadline = None
        self.human.wants_deal = False
        self.announce_hand()

    # --- the human's moves --------------------------------------------------------------------

    def my_turn(self):
        self.require(self.state == "play" and self.turn == self.human.number, "not the player's turn")

    def on_discard(self, body):
        self.own_seat(body)
        self.my_turn()
        tiles = M.parse_tile_field(body, 2, 2)
        self.require(len(tiles) == 1 and tiles[0] in self.human.hand, "discard of a tile not held")
        self.discard(self.human, tiles[0])

    def on_action(self, body):
        self.own_seat(body)
        action = struct.unpack_from(">H", body, 2)[0]
        tiles = M.parse_tile_field(body, 4, 6)
        self.require(self.state == "await_claim", "claim with no discard on offer")
        self.claim_deadline = None
        h, tile = self.human, self.last_discard
        if action == M.PASS:
            if self.left() == 0:
                self.wall_exhausted()
            else:
                self.give_turn(h)
            return
        if action == M.HU:
            self.require(T.is_win(h.hand + [tile], h.melds), "a win that is not there")
            self.bot.discards.pop()
            h.hand.append(tile)
            self.win(h, 2, self.bot.number, tile, last_tile=self.left() == 0)
            return
        self.require(self.left() > 0, "only a win may take the last discard")
        if action == M.CHOW:
            self.require(sorted(tiles) in T.chow_options(h.hand, tile), "chow that does not fit")
            used = list(sorted(tiles))
            used.remove(tile)
            kind, group = 1, sorted(tiles)
        elif action == M.PUNG:
            self.require(T.can_pung(h.hand, tile), "pung without a pair")
            used, kind, group = [tile, tile], 2, [tile] * 3
        elif action == M.KONG:
            self.require(T.can_kong_on_discard(h.hand, tile) and self.left() > 0, "kong without three")
            used, kind, group = [tile] * 3, 5, [tile] * 4
        else:
            raise ProtocolError("action %d" % action)
        for t in used:
            h.hand.remove(t)
        self.bot.discards.pop()
        h.melds.append(T.Meld({1: "chow", 2: "pung", 5: "kong"}[kind], group))
        self.turn, self.drawn, self.state = h.number, False, "play"
        if kind == 5:
            new = self.draw_for(h, after_kong=True)
            if new is not None:
                self.send(M.MELD_DRAW, M.kong_draw(h.number, group, new, 0, 1, self.left() > 0))
        else:
            self.send(M.MELD, M.meld(h.number, kind, group))

    def on_claim_timeout(self):
        """The player let the offer go by."""
        if self.state == "await_claim":
            self.on_action(struct.pack(">HH6x", self.human.number, M.PASS))
        return self.take()

    def on_hu_request(self, body):
        self.own_seat(body)
        self.my_turn()
        h = self.human
        self.require(self.drawn and T.is_win(h.hand, h.melds), "a self-drawn win that is not there")
        self.win(h, 1, h.number, h.hand[-1], last_tile=self.left() == 0,
                 after_kong=getattr(self, "after_kong", False))

    def on_concealed_kong(self, body):
        self.own_seat(body)
        self.my_turn()
        tiles = M.parse_tile_field(body, 2, 6)
        h = self.human
        self.require(tiles and Counter(h.hand)[tiles[0]] == 4 and self.left() > 0, "concealed kong not held")
        t = tiles[0]
        for _ in range(4):
            h.hand.remove(t)
        h.melds.append(T.Meld("hidden_kong", [t] * 4, claimed=False))
        new = self.draw_for(h, after_kong=True)
        if new is not None:
            self.send(M.GANG_DRAW, M.kong_draw(h.number, [t] * 4, new, 0, 1, self.left() > 0))

    def on_added_kong(self, body):
        self.own_seat(body)
        self.my_turn()
        tiles = M.parse_tile_field(body, 2, 6)
        h = self.human
        pung = next((m for m in h.melds if m.kind == "pung" and tiles and m.tiles[0] == tiles[0]), None)
        self.require(pung is not None and tiles[0] in h.hand and self.left() > 0, "added kong without its pung")
        h.hand.remove(tiles[0])
        pung.kind, pung.tiles = "kong", [tiles[0]] * 4
        new = self.draw_for(h, after_kong=True)
        if new is not None:
            self.send(M.GANG_DRAW2, M.kong_draw(h.number, pung.tiles, new, 0, 1, self.left() > 0))

    def on_ting(self, body):
        self.own_seat(body)
        self.require(self.state == "play", "ready declaration outside the play")
        self.human.ready = True
        self.send(M.TING, M.ting(self.human.number))

    def on_wall_empty(self, body):
        self.own_seat(body)
        if self.state == "play" and self.left() == 0 and self.turn == self.human.number:
            self.wall_exhausted()
        # otherwise the server has already ended the hand

    # --- the end of a hand --------------------------------------------------------------------

    def win(self, winner, hu_type, discarder, tile, last_tile=False, after_kong=False):
        hands = [sorted(s.hand, key=T.sort_key) for s in self.seats]
        kongs = [[t for m in s.melds if m.kind == "hidden_kong" for t in m.tiles] for s in self.seats]
        # the winner's string holds the winning tile only when self-drawn (a discard goes apart)
        if hu_type == 2:
            hands[winner.number].remove(tile)
        self.send(M.HU_RESULT, M.hu_result(winner.number, hu_type, discarder, tile, hands, kongs))
        self.own_fans = T.judge_fans(winner.hand, winner.melds, tile, hu_type == 1, last_tile, after_kong)
        self.last_hu = {"winner": winner.number, "type": hu_type, "discarder": discarder, "tile": tile}
        if winner is self.bot:
            points = max(1, T.fan_points(self.own_fans))
            value = (8 + points) * (2 if hu_type == 1 else 1)
            scores = [0, 0]
            scores[winner.number], scores[1 - winner.number] = value, -value
            self.score(winner, scores, self.own_fans)
        else:
            self.state = "await_hu_ack"

    def on_hu_ack(self, body):
        self.require(self.state == "await_hu_ack", "score report without a win")
        ack = M.parse_hu_ack(body)
        self.require(ack["seat"] == self.human.number, "score report from another seat")
        self.require(ack["scores"][0] == -ack["scores"][1], "score report that does not balance")
        if sorted(ack["fans"]) != sorted(self.own_fans):
            # Recorded, not refused: the client's rules engine is the judge of record.
            self.fan_difference = (sorted(ack["fans"]), sorted(self.own_fans))
        self.score(self.human, ack["scores"], ack["fans"])

    def score(self, winner, scores, fans):
        for s in self.seats:
            s.total += scores[s.number]
            if s is winner:
                s.wins += 1
            else:
                s.losses += 1
            s.person["gamescore"] = s.total
        col = lambda attr: [getattr(s, attr) for s in self.seats]
        self.send(M.SCORE_INFO, M.score_info(scores, col("total"), col("wins"), col("losses"), col("draws"), fans))
        self.banker = winner.number
        self.end_hand()
