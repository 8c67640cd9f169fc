"""The scripted hand the tests play: the player (seat 0, banker) discards, pungs 9m, chows
3m-4m-5m out of three choices and wins on the computer's S."""
SCRIPT = {
    "banker": 0,
    "bot_delay": 0,
    "claim_timeout": 0.5,
    "hands": 1,
    "dice": [[2, 5]],
    # seat 0 (13), seat 1 (13), the banker's 14th, then the draws
    "wall": "9m 9m E E E 1m 1m S S 3m 4m 6m W "
            "9m 5m S Z Z Z F F F B B B 2m "
            "N 2m 8m 7m",
    "bot_discards": ["9m", "5m", "S"],
    "expect": [
        {"id": 602}, {"id": 607},
        {"id": 616, "tiles": "N"},
        {"id": 617, "action": 2, "tiles": "9m 9m 9m"},
        {"id": 616, "tiles": "W"},
        {"id": 617, "action": 1, "tiles": "3m 4m 5m"},
        {"id": 616, "tiles": "6m"},
        {"id": 617, "action": 4, "tiles": "S"},
        {"id": 641},
    ],
}
PERSONS = [{"id": 1001, "username": "player1", "nickname": "一号玩家"},
           {"id": 1002, "username": "player2", "nickname": "电脑玩家"}]
