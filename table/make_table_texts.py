#!/usr/bin/env python3
"""Turns the table's texts and fan names (UTF-8) into a C++ header of GBK bytes.

Usage: make_table_texts.py <table_texts.txt> <fan_names.txt> <output header>

Every GBK byte is written as an octal escape; the UTF-8 text stands
beside each constant as a comment.
"""
import sys


def escape(data: bytes) -> str:
    return '"' + "".join("\\%03o" % b for b in data) + '"'


def rows(path, cells):
    out = []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            parts = [c.strip() for c in line.split("|", cells - 1)]
            if len(parts) != cells:
                sys.exit(f"{path}:{number}: expected {cells} cells")
            out.append(parts)
    return out


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    texts = rows(sys.argv[1], 2)
    fans = rows(sys.argv[2], 3)
    lines = ["// Written by make_table_texts.py from table_texts.txt and fan_names.txt.",
             "#pragma once", "#include <cstdint>", "", "namespace table::texts {", ""]
    for name, text in texts:
        lines.append(f"// {text}")
        lines.append(f"inline constexpr char {name}[] = {escape(text.encode('gbk'))};")
    lines += ["", "struct FanNameText {", "  uint16_t id;", "  const char* name;",
              "  const char* description;", "};", "",
              f"inline constexpr FanNameText kFanNames[{len(fans)}] = {{"]
    for fid, name, desc in fans:
        lines.append(f"    // {name}")
        lines.append(f"    {{{int(fid)}, {escape(name.encode('gbk'))},")
        lines.append(f"     {escape(desc.encode('gbk'))}}},")
    lines += ["};", "", "}  // namespace table::texts", ""]
    with open(sys.argv[3], "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
