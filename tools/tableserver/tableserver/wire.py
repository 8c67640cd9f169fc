"""The frame: a 32-byte big-endian header, the body, a 17-byte MD5 trailer."""
import hashlib
import struct

HEADER_SIZE = 32
TRAILER_SIZE = 17
HEADER_SALT = b"7340"
K1, K2, K3 = 4718, 3062, 5291

# Ids the client takes without checking their trailer (so a server may sign them or not; this one
# signs everything it sends with the session trailer except where noted).
FIXED_TRAILER_IDS = {3001, 3005, 3009}
# The largest frame body this server accepts from a client.
MAX_BODY = 64 * 1024


class FrameError(Exception):
    """A frame that cannot be read (bad length, bad trailer)."""


def header_digest(msg_id, length, sequence):
    return hashlib.md5(struct.pack(">HII", msg_id, length, sequence) + HEADER_SALT).digest()


def session_trailer(body, sequence, key):
    return hashlib.md5(body + struct.pack(">III", sequence, K1, key)).digest() + b"\0"


def fixed_trailer(body):
    return hashlib.md5(body + struct.pack(">III", K2, K1, K3)).digest() + b"\0"


def build_frame(msg_id, body, sequence, key, fixed=False):
    """One frame as it goes on the wire (header, body, trailer)."""
    length = len(body) + TRAILER_SIZE
    header = (struct.pack(">HHII", msg_id, 0, length, sequence)
              + header_digest(msg_id, length, sequence) + b"\0\0\0\0")
    trailer = fixed_trailer(body) if fixed else session_trailer(body, sequence, key)
    return header + body + trailer


def parse_header(data):
    """(id, length, sequence) of a 32-byte header."""
    if len(data) != HEADER_SIZE:
        raise FrameError("short header")
    msg_id, _reserved, length, sequence = struct.unpack_from(">HHII", data, 0)
    return msg_id, length, sequence


def split_body(msg_id, rest, sequence, key):
    """Checks the trailer of what follows a header and returns the body.

    3001, 3005 and 3009 carry the fixed trailer; every other id the session trailer."""
    if len(rest) < TRAILER_SIZE:
        raise FrameError("frame %d shorter than its trailer" % msg_id)
    body, trailer = rest[:-TRAILER_SIZE], rest[-TRAILER_SIZE:]
    expect = fixed_trailer(body) if msg_id in FIXED_TRAILER_IDS else session_trailer(body, sequence, key)
    if trailer[:16] != expect[:16]:
        raise FrameError("frame %d: trailer does not match" % msg_id)
    return body
