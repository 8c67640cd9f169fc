#!/usr/bin/env python3
"""check_icons.py BINARY RC...: every icon the resource scripts name (lines `ID ICON "file"`)
is in the PE binary with the images of its .ico file, byte for byte. Icon groups compiled
from several scripts can end up pointing at another group's images (each script numbers its
images from 1); this finds that."""
import re
import struct
import sys

RT_ICON, RT_GROUP_ICON = 3, 14


def resources(path):
    """{(type, name): data} of the binary's resource tree (first language of each)."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, opt_size = struct.unpack_from("<H12xH", data, pe + 6)
    magic = struct.unpack_from("<H", data, pe + 24)[0]
    dirs = pe + 24 + (112 if magic == 0x20B else 96)
    rsrc_rva = struct.unpack_from("<I", data, dirs + 2 * 8)[0]
    table = pe + 24 + opt_size
    for i in range(sections):
        vsize, va, _, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        if va <= rsrc_rva < va + vsize:
            base = raw + rsrc_rva - va
            delta = va - raw
            break
    else:
        return {}

    def entries(offset):
        named, ids = struct.unpack_from("<12xHH", data, base + offset)
        for k in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * k)
            yield name, target

    out = {}
    for rtype, t in entries(0):
        for name, n in entries(t & 0x7FFFFFFF):
            lang = next(entries(n & 0x7FFFFFFF))[1]
            rva, size = struct.unpack_from("<II", data, base + lang)
            out[(rtype, name)] = data[rva - delta:rva - delta + size]
    return out


def ico_images(path):
    data = open(path, "rb").read()
    count = struct.unpack_from("<4xH", data)[0]
    images = []
    for k in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * k + 8)
        images.append(data[offset:offset + size])
    return images


def main(argv):
    binary, scripts = argv[1], argv[2:]
    res = resources(binary)
    failures, checked = [], 0
    for script in scripts:
        for m in re.finditer(r'^\s*(\d+)\s+ICON\s+"([^"]+)"', open(script).read(), re.M):
            icon, ico = int(m.group(1)), m.group(2)
            group = res.get((RT_GROUP_ICON, icon))
            if group is None:
                failures.append("icon %d: missing" % icon)
                continue
            count = struct.unpack_from("<4xH", group)[0]
            ids = [struct.unpack_from("<H", group, 6 + 14 * k + 12)[0] for k in range(count)]
            got = [res.get((RT_ICON, i)) for i in ids]
            if got != ico_images(ico):
                failures.append("icon %d: its images are not those of %s" % (icon, ico))
            checked += 1
    for f in failures:
        print("%s: %s" % (binary, f))
    print("%s: %d icons checked, %d wrong" % (binary, checked, len(failures)))
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
