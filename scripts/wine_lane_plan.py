#!/usr/bin/env python3
"""Splits the Windows tests into lanes for scripts/wine_lanes.

Reads ctest's test list (`ctest --show-only=json-v1`) on stdin and prints one line per lane:
its expected seconds, then the names of its tests, space-separated.

Tests that must run in one lane, one after the other, form a group:
  - a fixture's setup, cleanup and the tests requiring it (a picture test and its PNG check,
    the proxies around the socket test, the saved hand and its review), and DEPENDS;
  - tests sharing a RESOURCE_LOCK, except the locks on the prefix's registry listed in
    PREFIX_LOCKS: every lane has a Wine prefix of its own, so those cannot clash across lanes.
Groups go to lanes longest first, each to the lane with the least work so far; a group's cost
is the sum of its tests' expected seconds. A group holding one of the EXCLUSIVE_LOCKS runs
after all the lanes, alone: its tests write files outside the prefix that every lane's tests
read (the chat control's settings file beside the build's programs). It is printed last, as a
line that starts with "after".

Usage: wine_lane_plan.py LANES COSTS-FILE...
  COSTS-FILE: lines "name seconds" (later files win; missing files are skipped).
"""
import json
import sys

# Locks on state that lives in the Wine prefix (registrations, registry values): one lane holds
# them for its own prefix only.
PREFIX_LOCKS = {"korvel_control_registration", "korvel_table_registration",
                "vyrsock_registration"}
# Locks on files shared by every lane: the groups holding them run alone, after the lanes.
EXCLUSIVE_LOCKS = {"chat_settings_file"}
# A test nobody has timed yet: a long time limit hints at a long test.
DEFAULT_COST = 5.0
LONG_TEST_COST = 30.0


def read_costs(paths):
    costs = {}
    for path in paths:
        try:
            with open(path, encoding="utf-8") as f:
                for line in f:
                    parts = line.split()
                    if len(parts) == 2 and not line.startswith("#"):
                        try:
                            costs[parts[0]] = float(parts[1])
                        except ValueError:
                            pass
        except OSError:
            pass
    return costs


def group_tests(tests, names, with_locks):
    """The groups of `names` that must share a lane: fixtures and DEPENDS always, the locks
    other than the prefix's when with_locks."""
    parent = {n: n for n in names}

    def find(n):
        while parent[n] != n:
            parent[n] = parent[parent[n]]
            n = parent[n]
        return n

    def union(a, b):
        if a in parent and b in parent:
            parent[find(a)] = find(b)

    shared = {}  # fixture or lock -> first test holding it
    for t in tests:
        name = t["name"]
        if name not in parent:
            continue
        props = properties(t)
        keys = []
        for prop in ("FIXTURES_SETUP", "FIXTURES_REQUIRED", "FIXTURES_CLEANUP"):
            keys += ["fixture:" + v for v in props.get(prop, [])]
        if with_locks:
            keys += ["lock:" + v for v in props.get("RESOURCE_LOCK", []) if v not in PREFIX_LOCKS]
        for key in keys:
            union(name, shared.setdefault(key, name))
        for dep in props.get("DEPENDS", []):
            union(name, dep)
    groups = {}
    for n in names:
        groups.setdefault(find(n), []).append(n)
    return list(groups.values())


def properties(test):
    return {p["name"]: p["value"] for p in test.get("properties", [])}


def plan(tests, lanes, costs):
    names = [t["name"] for t in tests]
    cost = {}
    exclusive = set()
    for t in tests:
        props = properties(t)
        timeout = float(props.get("TIMEOUT", 0) or 0)
        cost[t["name"]] = costs.get(t["name"], LONG_TEST_COST if timeout >= 180 else DEFAULT_COST)
        if EXCLUSIVE_LOCKS.intersection(props.get("RESOURCE_LOCK", [])):
            exclusive.add(t["name"])
    # The tests that run alone after the lanes, with their fixtures' partners. They run after
    # every other test, so the locks they share with tests in the lanes need no lane in common.
    after = set()
    for group in group_tests(tests, names, with_locks=False):
        if exclusive.intersection(group):
            after.update(group)
    in_lanes = [n for n in names if n not in after]

    loads = [[0.0, i, []] for i in range(lanes)]
    groups = group_tests(tests, in_lanes, with_locks=True)
    for group in sorted(groups, key=lambda g: (-sum(cost[n] for n in g), g[0])):
        lane = min(loads, key=lambda l: (l[0], l[1]))
        lane[0] += sum(cost[n] for n in group)
        lane[2] += group
    after_names = [n for n in names if n in after]
    return [(l[0], l[2]) for l in loads], (sum(cost[n] for n in after_names), after_names)


def main():
    lanes = max(1, int(sys.argv[1]))
    costs = read_costs(sys.argv[2:])
    tests = json.load(sys.stdin).get("tests", [])
    lanes_planned, (after_load, after) = plan(tests, lanes, costs)
    for load, lane in lanes_planned:
        print(f"{load:.0f} " + " ".join(lane))
    if after:
        print(f"after {after_load:.0f} " + " ".join(after))


if __name__ == "__main__":
    main()
