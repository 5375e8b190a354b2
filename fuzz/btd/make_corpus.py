#!/usr/bin/env python3
"""Writes the regression inputs for the document reader into tests/data/fuzz/btd/.

Each input is a named malformed or edge-case document; the replay test runs them all.
Run from the repository root after changing the list; the files are committed.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "data", "fuzz", "btd")


def name_bytes(name):
    return (name.encode("utf-16-le") + b"\0\0") if name else b""


def rec(name="", tag=0, children=0, data=b"", node_id=0, sub=0, n=None, d=None):
    nb = name_bytes(name)
    return struct.pack("<6I", node_id, tag, sub, children,
                       len(nb) if n is None else n,
                       len(data) if d is None else d) + nb + data


V = struct.pack("<I", 100)


def every_kind():
    widths = {1: 1, 2: 2, 5: 1, 6: 2, 7: 4, 8: 8, 9: 1, 10: 2, 11: 4, 12: 4, 13: 6, 14: 8,
              15: 10, 16: 8, 17: 8, 18: 8, 19: 1, 20: 2, 21: 4, 22: 16}
    values = b""
    for tag, width in widths.items():
        values += rec("k%d" % tag, tag, data=bytes(range(1, width + 1)), sub=tag)
    strings = (rec("ws", 4, data="Default\0".encode("utf-16-le"))
               + rec("as", 3, data=b"abc\0") + rec("bin", 23, data=b"\x89PNG\r\n\x1a\n", sub=1)
               + rec("empty", 23))
    return (V + rec("ROOT", children=2) + rec("Values", children=len(widths)) + values
            + rec("Strings", children=4) + strings)


def chain(depth):
    out = V + rec("ROOT", children=1)
    for i in range(depth):
        out += rec("d", children=1 if i + 1 < depth else 0)
    return out


def main():
    full = every_kind()
    cases = {
        "empty": b"",
        "three-bytes": V[:3],
        "version-only": V,
        "version-101": struct.pack("<I", 101) + rec("ROOT"),
        "top-head-cut": V + rec("ROOT")[:10],
        "new-document": V + rec("ROOT"),
        "every-kind": full,
        "truncated-in-name": full[:4 + 24 + 5],
        "truncated-in-head": full[:4 + 34 + 30],
        "truncated-in-value": full[:len(full) - 3],
        "truncated-mid": full[:len(full) // 2],
        "name-past-end": V + rec("ROOT", children=1) + rec("abc", n=400),
        "value-past-end": V + rec("ROOT", children=1) + rec("b", 23, data=b"12", d=9),
        "sizes-wrap": V + rec("ROOT", children=1) + rec("x", 23, n=0x80000000, d=0x80000000),
        "name-max": V + rec("ROOT", n=0xFFFFFFFF),
        "unknown-tag": V + rec("ROOT", children=2) + rec("a") + rec("bad", 24),
        "tag-max": V + rec("ROOT", 0xFFFFFFFF),
        "wrong-width": V + rec("ROOT", children=1) + rec("i", 7, data=b"xyz"),
        "directory-with-value": V + rec("ROOT", children=1) + rec("dir", 0, data=b"ignored"),
        "deep-300": chain(300),
        "deep-1000": chain(1000),
        "huge-child-count": V + rec("ROOT", children=0xFFFFFFFF) + rec("a") * 3,
        "missing-children": V + rec("ROOT", children=5) + rec("only"),
        "stray-tail": V + rec("ROOT", children=2) + rec("a") + b"tail",
        "trailing-garbage": V + rec("ROOT", children=1) + rec("a") + b"\xff" * 40,
        "final-24-bytes": V + rec("ROOT", children=2) + rec("a") + rec(),
        "long-name": V + rec("ROOT", children=2) + rec("n" * 100) + rec("next"),
        "odd-name-size": V + rec("ROOT", children=1) + rec("abc", n=5),
        "name-without-nul": V + rec("ROOT", children=1)
        + struct.pack("<6I", 0, 0, 0, 0, 6, 0) + "abc".encode("utf-16-le"),
        "name-with-cr": V + rec("ROOT", children=1) + rec("a\rb"),
        "empty-names": V + rec("", children=2) + rec("", 4) + rec("", 23, data=b"x"),
        "odd-wide-string": V + rec("ROOT", children=1) + rec("s", 4, data=b"A\0B"),
        "fixed-zero-size": V + rec("ROOT", children=1) + rec("g", 22),
        "top-is-value": V + rec("Top", 7, children=1, data=b"\x2a\0\0\0") + rec("c", 15, data=bytes(10)),
        "wide-fan": V + rec("ROOT", children=3000) + rec("x", 19, data=b"\x01") * 3000,
    }
    os.makedirs(OUT, exist_ok=True)
    for name, data in cases.items():
        with open(os.path.join(OUT, name + ".btd"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
