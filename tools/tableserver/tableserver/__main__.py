"""python3 -m tableserver [options]: a two-player table server on loopback."""
import argparse
import asyncio
import logging
import sys

from .server import serve


def games_and_exits(text):
    try:
        games, forced = (int(v) for v in text.split(","))
    except ValueError:
        raise argparse.ArgumentTypeError("GAMES,FORCED expected, got %r" % text)
    if games < 0 or forced < 0:
        raise argparse.ArgumentTypeError("negative count in %r" % text)
    return games, forced


def main(argv=None):
    p = argparse.ArgumentParser(prog="tableserver", description=__doc__)
    p.add_argument("--host", default="127.0.0.1", help="address to listen on (loopback by default)")
    p.add_argument("--port", type=int, default=7340, help="port; 0 picks a free one (see --port-file)")
    p.add_argument("--port-file", help="write the port listened on into this file")
    p.add_argument("--script", help="scripted game (JSON): fixed wall, dice, computer discards, "
                   "expected client frames, a disconnect point, short timers")
    p.add_argument("--seed", type=int, help="seed of the shuffle (unscripted games)")
    p.add_argument("--hands", type=int, default=0, help="hands to play, 0 = no limit")
    p.add_argument("--bot-delay", type=float, default=0.6, help="seconds before each computer move")
    p.add_argument("--claim-timeout", type=float, default=20.0, help="seconds the player has to claim")
    p.add_argument("--once", action="store_true", help="end when the player leaves or the hands are played")
    p.add_argument("--max-seconds", type=float, default=0, help="with --once: give up after this long")
    p.add_argument("--player-record", type=games_and_exits, metavar="GAMES,FORCED",
                   help="games started and forced exits of the joining player (a player with "
                   "few games may not leave during a hand); default: the roster's, 0,0")
    p.add_argument("-v", "--verbose", action="store_true")
    args = p.parse_args(argv)
    logging.basicConfig(level=logging.DEBUG if args.verbose else logging.INFO,
                        format="tableserver %(relativeCreated)7.0f ms: %(message)s", stream=sys.stderr)
    return asyncio.run(serve(args))


if __name__ == "__main__":
    sys.exit(main())
