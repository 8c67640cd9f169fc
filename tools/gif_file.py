"""The one GIF writer of the build-time picture generators: looping animated GIFs."""
import struct


def _lzw(indices, min_size):
    """GIF's variable-length LZW of a list of palette indices, as data sub-blocks."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    size = min_size + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    out, bits, nbits = bytearray(), 0, 0

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    run = ()
    for i in indices:
        grown = run + (i,)
        if grown in table:
            run = grown
            continue
        emit(table[run])
        if next_code < 4096:
            table[grown] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {(j,): j for j in range(clear)}
            next_code = end + 1
            size = min_size + 1
        run = (i,)
    if run:
        emit(table[run])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray()
    for k in range(0, len(out), 255):
        chunk = out[k:k + 255]
        blocks += bytes((len(chunk),)) + chunk
    return bytes(blocks) + b"\0"


def gif_bytes(w, h, frames, delay_cs=20):
    """frames: list of pixel(x, y) -> (r, g, b); all frames share one palette (at most 256)."""
    colours, grids = {}, []
    for pixel in frames:
        grid = []
        for y in range(h):
            for x in range(w):
                c = pixel(x, y)
                if c not in colours:
                    if len(colours) == 256:
                        raise ValueError("more than 256 colours")
                    colours[c] = len(colours)
                grid.append(colours[c])
        grids.append(grid)
    bits = max(1, (len(colours) - 1).bit_length())
    palette = bytearray()
    for c in sorted(colours, key=colours.get):
        palette += bytes(c)
    palette += b"\0" * (3 * (1 << bits) - len(palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", w, h, 0x80 | 0x70 | (bits - 1), 0, 0)
    data += palette
    data += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    min_size = max(2, bits)
    for grid in grids:
        data += b"\x21\xf9\x04" + struct.pack("<BHBB", 0x04, delay_cs, 0, 0)
        data += b"\x2c" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        data += bytes((min_size,)) + _lzw(grid, min_size)
    data += b"\x3b"
    return bytes(data)
