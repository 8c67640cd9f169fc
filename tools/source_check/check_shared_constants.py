#!/usr/bin/env python3
"""Fails when two headers define the same namespace-scope inline constant with different values.

An inline variable is one object in the whole program: when two headers give the same name
two values, a program that includes both keeps one of them for every use, and the linker says
nothing when the two round to the same section size.
Usage: check_shared_constants.py <source root> [<build folder with generated headers>...]
"""
import os
import re
import sys

DEFINITION = re.compile(r"\binline\s+constexpr\s+[^=;(){}]*?\b([A-Za-z_]\w*)\s*(?:\[[^\]]*\])?\s*=\s*([^;]*);",
                        re.S)
NAMESPACE = re.compile(r"\bnamespace\s+([A-Za-z_][\w:]*)?\s*\{")
STRING = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
SKIP_DIRS = {"build", ".git"}


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", lambda m: " " * len(m.group(0)), text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def scopes(text):
    """The namespace each offset lies in, from a scan of braces outside string literals."""
    blanked = STRING.sub(lambda m: '"' + " " * (len(m.group(0)) - 2) + '"', text)
    opening = {m.end() - 1: m.group(1) or "(anonymous)" for m in NAMESPACE.finditer(blanked)}
    stack, marks = [], []
    for i, c in enumerate(blanked):
        if c == "{":
            stack.append(opening.get(i))
        elif c == "}" and stack:
            stack.pop()
        else:
            continue
        marks.append((i, "::".join(n for n in stack if n), any(n is None for n in stack)))
    return marks


def scope_at(marks, offset):
    scope, inside_other = "", False
    for i, name, other in marks:
        if i > offset:
            break
        scope, inside_other = name, other
    return scope, inside_other


def value_of(init):
    strings = STRING.findall(init)
    return "".join(strings) if strings else re.sub(r"\s+", "", init)


def main(roots):
    seen = {}
    for root, folder, dirs, files in ((r, *w) for r in roots for w in os.walk(r)):
        dirs[:] = [d for d in dirs if d not in SKIP_DIRS]
        for name in files:
            if not name.endswith(".h"):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                text = strip_comments(f.read())
            marks = scopes(text)
            for m in DEFINITION.finditer(text):
                scope, in_class_or_function = scope_at(marks, m.start())
                if in_class_or_function or "(anonymous)" in scope:
                    continue
                key = f"{scope}::{m.group(1)}" if scope else m.group(1)
                place = path if root != roots[0] else os.path.relpath(path, root)
                seen.setdefault(key, []).append((place, value_of(m.group(2))))
    faults = 0
    for key, places in sorted(seen.items()):
        files = {p for p, _ in places}
        if len(files) > 1 and len({v for _, v in places}) > 1:
            faults += 1
            print(f"{key} has different values in: " + ", ".join(sorted(files)))
    print(f"{len(seen)} inline constants, {faults} defined differently in two headers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:] or ["."]))
