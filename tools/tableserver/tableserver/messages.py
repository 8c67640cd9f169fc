"""Bodies of the messages this server sends and reads, built with struct (network order)."""
import struct

from . import tiles as T

# framework
JOIN, PERSON_STATE, GAME_ABORT, CONNECT_REFUSED, LEAVE_BEFORE_START = 3001, 3002, 3003, 3004, 3005
CHAT_ON_START, SESSION_START, KEEP_ALIVE, PERSON_OFFLINE, CHAT = 3009, 3010, 3011, 3016, 3021
PLAYER_EXIT, WATCHER_EXIT, EXIT_REQUEST, EXIT_ANSWER, ROSTER = 3026, 3027, 3031, 3032, 3106
PERSON_ENTER, SYSTEM_CHAT, MAGIC_ACTION = 3107, 3819, 3040
# mahjong
BANKER_AND_WALL, CONTROL, START_DICE, DICE, DEAL, DISCARD, ACTION = 601, 602, 606, 607, 611, 616, 617
DRAW, MELD, MELD_DRAW, HU_REQUEST, HU_RESULT, WALL_EMPTY, TING = 621, 622, 623, 626, 627, 628, 631
GANG, GANG_DRAW, GANG2, GANG_DRAW2, HU_ACK, SCORE_INFO = 636, 637, 638, 639, 641, 642
RESUME1, RESUME2, RESUME3, RESUME4, RESUME5 = 651, 652, 653, 654, 655

# 617 actions
PASS, CHOW, PUNG, KONG, HU = 0, 1, 2, 3, 4

# The body size of every message a client may send; anything else is refused.
CLIENT_BODY_SIZES = {
    JOIN: 16, LEAVE_BEFORE_START: 8, KEEP_ALIVE: 0, PLAYER_EXIT: 8, WATCHER_EXIT: 12,
    EXIT_REQUEST: 8, EXIT_ANSWER: 16, MAGIC_ACTION: 228, CONTROL: 4, DICE: 8, DISCARD: 4, ACTION: 10,
    HU_REQUEST: 4, WALL_EMPTY: 4, TING: 4, GANG: 8, GANG2: 8, HU_ACK: 72,
}
CHAT_IDS = (CHAT_ON_START, CHAT)


def gbk(text, size):
    raw = text.encode("gbk")[: size - 1]
    return raw + b"\0" * (size - len(raw))


def person256(p):
    """A 256-byte roster record."""
    b = bytearray(256)
    struct.pack_into(">I", b, 0, p["id"])
    b[4:38] = gbk(p["username"], 34)
    b[38:72] = gbk(p["nickname"], 34)
    struct.pack_into(">HHHHHH", b, 72, p.get("sex", 0), p.get("headpicid", 0), 0, p.get("level", 1), 0, 0)
    struct.pack_into(">II", b, 84, p.get("money", 1000), p.get("wealth", 1000))
    # games started and forced exits: a player may force an exit in a hand with enough games
    struct.pack_into(">II", b, 176, p.get("startgame", 0), p.get("forceexit", 0))
    struct.pack_into(">i", b, 192, p.get("gamescore", 0))
    struct.pack_into(">iii", b, 196, p.get("winnum", 0), p.get("losenum", 0), p.get("equalnum", 0))
    struct.pack_into(">HHHh", b, 216, p.get("status", 4), p.get("deskno", 0), p["seatno"], p.get("watchno", -1))
    return bytes(b)


def session_start(key, out_seed, in_base):
    # the client's outbound seed at 16, the base of what it will accept from us at 24
    return struct.pack(">IH2xIH2xIH2xI", 0, 0, key, 0, out_seed, 0, in_base)


def person_state(user_id, failure, state):
    return struct.pack(">IHH", user_id, failure, state)


def banker_and_wall(hand_no, wall, banker, more):
    return struct.pack(">HHHHH", 0, hand_no, wall, banker, 1 if more else 0)


def control(seat, code):
    return struct.pack(">HH", seat, code)


def start_dice(seat):
    return struct.pack(">HH", seat, 0)


def dice(seat, d1, d2, target):
    return struct.pack(">HHHh", seat, d1, d2, target)


def deal(wall_seat, position, front, back, counts, own):
    return struct.pack(">HHHhhHH", 0, wall_seat, position, front, back, counts[0], counts[1]) \
        + T.encode_string(own, 22)


def discard(seat, tile):
    return struct.pack(">H", seat) + T.encode_string([tile], 2)


def draw(seat, tile, front, back, left):
    return struct.pack(">H", seat) + T.encode_string([tile] if tile else [], 2) + \
        struct.pack(">hhH", front, back, 1 if left else 0)


def meld(seat, kind, group):
    return struct.pack(">HH", seat, kind) + T.encode_string(group, 6)


def kong_draw(seat, group, tile, front, back, left):
    return struct.pack(">H", seat) + T.encode_string(group, 6) + T.encode_string([tile] if tile else [], 2) \
        + struct.pack(">hhH", front, back, 1 if left else 0)


def hu_result(winner, hu_type, discarder, tile, hands, hidden_kongs):
    return struct.pack(">HHH", winner, hu_type, discarder) + T.encode_string([tile], 2) \
        + b"".join(T.encode_string(h, 20) for h in hands) \
        + b"".join(T.encode_string(k, 16) for k in hidden_kongs)


def wall_empty(seat, other):
    return struct.pack(">HH", seat, other)


def ting(seat):
    return struct.pack(">HH", seat, 1)


def score_info(hand, total, wins, losses, draws, fans):
    fans = (list(fans) + [0] * 30)[:30]
    return struct.pack(">2i2i2i2i2i30h", *hand, *total, *wins, *losses, *draws, *fans)


def resume1(hand_no, wall, banker, ready):
    return struct.pack(">HHHHH", hand_no, wall, banker, *ready)


def resume2(hand_no, wall, banker, thrown, d1, d2, target):
    return struct.pack(">HHHHHHh", hand_no, wall, banker, thrown, d1, d2, target)


def _snapshot_head(hand_no, wall, banker, wall_seat, position, front, back):
    return struct.pack(">HHHHHhh", hand_no, wall, banker, wall_seat, position, front, back)


def _groups(melds, kinds):
    return [t for m in melds if m.kind in kinds for t in m.tiles]


def resume3_or_4(msg_id, head, own_hand, discards, melds, ready, counts, turn_or_last, extra):
    b = _snapshot_head(*head) + T.encode_string(own_hand, 20)
    b += b"".join(T.encode_string(d, 30) for d in discards)
    b += b"".join(T.encode_string(_groups(m, ("chow", "pung")), 16) for m in melds)
    b += b"".join(T.encode_string(_groups(m, ("kong",)), 16) for m in melds)
    b += b"".join(T.encode_string(_groups(m, ("hidden_kong",)), 16) for m in melds)
    b += struct.pack(">H", turn_or_last)
    if msg_id == RESUME3:
        b += struct.pack(">HHHHH2x", ready[0], ready[1], counts[0], counts[1], extra)
    else:
        b += T.encode_string([extra], 2) + struct.pack(">HHHH2x", ready[0], ready[1], counts[0], counts[1])
    assert len(b) == 204
    return b


def resume5(head, hands, discards, melds, winner, hu_type, discarder, tile, counts, ready):
    b = _snapshot_head(*head) + b"".join(T.encode_string(h, 20) for h in hands)
    b += b"".join(T.encode_string(d, 30) for d in discards)
    b += b"".join(T.encode_string(_groups(m, ("chow", "pung")), 16) for m in melds)
    b += b"".join(T.encode_string(_groups(m, ("kong",)), 16) for m in melds)
    b += b"".join(T.encode_string(_groups(m, ("hidden_kong",)), 16) for m in melds)
    b += struct.pack(">HHH", winner, hu_type, discarder) + T.encode_string([tile], 2)
    b += struct.pack(">HHHH2x", counts[0], counts[1], ready[0], ready[1])
    assert len(b) == 228
    return b


# The in-table chat line: a 48-byte head, then the text and its NUL.
CHAT_HEAD = struct.Struct(">IHh20sih5hH2x")
CHAT_MAX_TEXT = 399


def chat_line(speaker_id, seat, text, watch=-1, color=0, size=9):
    """A chat body (3009, 3021, 3819); `text` is str (sent as GBK) or GBK bytes."""
    raw = (text.encode("gbk") if isinstance(text, str) else bytes(text))[:CHAT_MAX_TEXT]
    head = CHAT_HEAD.pack(speaker_id, seat & 0xFFFF, watch, gbk("宋体", 20), color, size, 0, 0, 0, 0, 0, len(raw))
    return head + raw + b"\0"


def parse_chat(body):
    """The fields of a chat body, its text as GBK bytes; ValueError when the body does not hold
    together (short, a length that is not the text's, text not ended by its NUL)."""
    if len(body) < CHAT_HEAD.size + 1:
        raise ValueError("chat body of %d bytes" % len(body))
    speaker, seat, watch, face, color, size, *styles, length = CHAT_HEAD.unpack_from(body)
    if length > CHAT_MAX_TEXT:
        raise ValueError("chat text length %d" % length)
    if len(body) != CHAT_HEAD.size + length + 1:
        raise ValueError("chat body of %d bytes for a text of %d" % (len(body), length))
    text = body[CHAT_HEAD.size:CHAT_HEAD.size + length]
    if body[-1] != 0 or b"\0" in text:
        raise ValueError("chat text not ended where its length says")
    return {"speaker": speaker, "seat": seat, "watch": watch, "face": face.split(b"\0")[0],
            "color": color, "size": size, "styles": styles, "text": text}


# A magic action (3040), both ways: sender's seat, two bytes, the action's type and item id, the
# to-everybody flag, two bytes, the sender's id, the receiver's id (-1: everybody), a value, the
# length of the words and the words (at most 199 bytes, zero-filled to 200).
MAGIC_HEAD = struct.Struct(">H2xiiH2xIiHH")
MAGIC_MAX_WORDS = 199


def magic_action(sender_seat, action_type, item_id, sender_id, receiver_id, words=b"", value=0):
    """A 3040 body; `words` is str (sent as GBK) or GBK bytes."""
    raw = (words.encode("gbk") if isinstance(words, str) else bytes(words))[:MAGIC_MAX_WORDS]
    head = MAGIC_HEAD.pack(sender_seat, action_type, item_id, 1 if receiver_id == -1 else 0, sender_id,
                           receiver_id, value, len(raw))
    return head + raw.ljust(200, b"\0")


def parse_magic_action(body):
    """The fields of a 3040 body, its words as GBK bytes; ValueError when the body does not hold
    together (size, a length that is not the words', bytes after the words, a flag that does not
    match the receiver, padding that is not zero)."""
    if len(body) != 228:
        raise ValueError("magic action of %d bytes" % len(body))
    seat, action_type, item_id, everybody, sender, receiver, value, length = MAGIC_HEAD.unpack_from(body)
    if body[2:4] != b"\0\0" or body[14:16] != b"\0\0":
        raise ValueError("magic action padding not zero")
    if length > MAGIC_MAX_WORDS:
        raise ValueError("magic action words of %d bytes" % length)
    words = body[28:28 + length]
    if b"\0" in words or any(body[28 + length:]):
        raise ValueError("magic action words not ended where their length says")
    if everybody not in (0, 1) or (everybody == 1) != (receiver == -1):
        raise ValueError("magic action flag %d for receiver %d" % (everybody, receiver))
    return {"seat": seat, "type": action_type, "item": item_id, "everybody": everybody,
            "sender": sender, "receiver": receiver, "value": value, "words": words}


# --- what clients send -------------------------------------------------------------------------

def parse_join(body):
    user_id, table, seat, watch, service, game, sub = struct.unpack(">IHHhHHH", body)
    return {"id": user_id, "table": table, "seat": seat, "watch": watch, "game": game, "sub": sub}


def parse_seat_code(body):
    return struct.unpack_from(">HH", body)


def parse_tile_field(body, offset, size):
    return T.decode_string(body[offset:offset + size])


def parse_hu_ack(body):
    vals = struct.unpack(">HH2i30h", body)
    return {"seat": vals[0], "banker": vals[1], "scores": list(vals[2:4]),
            "fans": [f for f in vals[4:] if f]}
