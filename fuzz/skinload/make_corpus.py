#!/usr/bin/env python3
"""Writes the regression inputs for loading a whole skin into tests/data/fuzz/skinload/.

Each input is a small skin document that reaches one part of the loading: catalogues with
pictures, margins and fonts, pictures that are not pictures or claim huge sizes, values of
the wrong kind. Run from the repository root after changing the list; the files are
committed.
"""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "data", "fuzz", "skinload")

DIRECTORY, WIDE_STRING, INT32, BOOL32, BINARY = 0, 4, 7, 21, 23


def node(name, tag=DIRECTORY, data=b"", children=()):
    encoded = name.encode("utf-16-le") + b"\0\0"
    head = struct.pack("<6I", 0, tag, 0, len(children), len(encoded), len(data))
    return head + encoded + data + b"".join(children)


def text(name, value):
    return node(name, WIDE_STRING, (value + "\0").encode("utf-16-le"))


def number(name, value, tag=INT32):
    return node(name, tag, struct.pack("<i", value))


def picture(name, data):
    return node(name, BINARY, data)


def document(*children):
    return struct.pack("<I", 100) + node("ROOT", children=children)


def png(width, height, rgba=b"\x40\x80\xc0\xff"):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    rows = b"".join(b"\0" + rgba * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6,
                                                            0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def huge_png():
    # A header announcing far more pixels than any skin may hold, and no data.
    head = struct.pack(">IIBBBBB", 100000, 100000, 8, 6, 0, 0, 0)
    body = b"IHDR" + head
    return (b"\x89PNG\r\n\x1a\n" + struct.pack(">I", len(head)) + body
            + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))


def info(name="Fuzz"):
    return node("SkinInfo", children=[text("SkinName", name), text("SkinVersion", "3.0")])


def button_styles(image):
    states = ["Normal.png", "Hover.png", "Down.png", "Disabled.png"]
    return node("ControlStyle", children=[
        node(kind, children=[node("0", children=[picture(s, image) for s in states])])
        for kind in ("Button", "BitButton", "SpeedButton")])


def form(margin, stretch, image):
    return node("SkinForm", children=[
        node("AppCaption", children=[number("X", 10), number("Y", 1)]),
        node("Shadow", children=[number("EnabledShadow", 1, BOOL32),
                                 text("ShadowSizeMargin", margin),
                                 picture("ShadowBitmap.png", image)]),
        node("SufferBackGroundConfigs", children=[node("Default", children=[
            picture("Image", image), text("Margin", margin), text("ClipMargin", margin),
            number("StretchMode", stretch)])])])


def zone_fonts(font):
    names = ["NodeNormalFont", "NodeActiveFont", "MainNormalFont"]
    return node("ControlStyle", children=[node("ZoneViewStyle", children=[
        node("Default", children=[node("ZoneFont", children=[text(n, font) for n in names]
                                        + [number("NodeFontXOffset", -2147483648)])])])])


def main():
    tiny = png(2, 2)
    cases = {
        "empty": b"",
        "info-only": document(info()),
        "buttons": document(info(), button_styles(tiny)),
        "buttons-not-pictures": document(info(), button_styles(b"not a picture")),
        "buttons-huge-picture": document(info(), button_styles(huge_png())),
        "form-margins": document(info(), form("10,30,10,10", 0, png(40, 40))),
        "form-margins-bad": document(info(), form("10,,x,99999999999", 9, tiny)),
        "form-margins-negative": document(info(), form("-50,-50,-50,-50", -1, tiny)),
        "zone-fonts": document(info(), zone_fonts('"微软雅黑", 9, [Bold], [727C0E]')),
        "zone-fonts-bad": document(info(), zone_fonts('"unclosed, 0, [Nothing], [GGGGGG')),
        "wrong-kinds": document(node("SkinInfo", children=[number("SkinName", 7)]),
                                node("SkinForm", children=[number("SufferBackGroundConfigs",
                                                                  1)]),
                                node("SkinMgr", children=[text("DefaultSkins", "x")])),
        "background-item": document(info(), node("SkinMgr", children=[
            node("DefaultSkins", children=[picture("Image", b"\xff\xd8\xff\xe0 not a jpeg"),
                                           number("StretchMode", 4),
                                           text("Margin", "0,0,0,0")])])),
        "truncated": document(info(), button_styles(tiny))[:-7],
    }
    os.makedirs(OUT, exist_ok=True)
    for name, data in cases.items():
        with open(os.path.join(OUT, name + ".btd"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
