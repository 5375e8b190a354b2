#!/usr/bin/env python3
"""compare-pictures.py A.png B.png [--max-share S]: prints the share of pixels that differ
by more than 32 in any channel (0 to 1) and exits 1 when the sizes differ or the share is
above S (default 0.01). PNGs of 8-bit RGB or RGBA, as Qt writes them; no libraries needed."""
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise ValueError(f"{path}: only 8-bit RGB/RGBA, not interlaced")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def main():
    args = sys.argv[1:]
    limit = 0.01
    if "--max-share" in args:
        at = args.index("--max-share")
        limit = float(args[at + 1])
        del args[at:at + 2]
    if len(args) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    (wa, ha, ca, ra), (wb, hb, cb, rb) = read_png(args[0]), read_png(args[1])
    if (wa, ha) != (wb, hb):
        print(f"size {wa}x{ha} against {wb}x{hb}")
        return 1
    differing = 0
    for y in range(ha):
        for x in range(wa):
            pa, pb = ra[y][x * ca:x * ca + 3], rb[y][x * cb:x * cb + 3]
            if any(abs(pa[i] - pb[i]) > 32 for i in range(3)):
                differing += 1
    share = differing / (wa * ha)
    print(f"{share:.5f}")
    return 0 if share <= limit else 1


if __name__ == "__main__":
    sys.exit(main())
