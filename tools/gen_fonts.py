#!/usr/bin/env python3
"""Generates host/font_data.cpp, the built-in 8x16 and 8x8 code page 437 fonts.

The glyphs come from the VGA console fonts of Debian's console-setup-linux
package (public domain bitmap fonts; see README.md). Those fonts are indexed
by Unicode, so every code page 437 position n is looked up by the Unicode
character it shows, the pictographs of positions 1..31 and 127 included: the
first font in FONT_SETS whose own glyph for the character (not a look-alike it
borrows for it) exists wins. Two arrowheads the fonts draw only as their
Unicode neighbours fall back to those; the five 8x8 glyphs none of the fonts
has, and the 8x8 Greek letters, which the fonts get wrong, are drawn here.

Usage: tools/gen_fonts.py [FONT_DIR] [OUTPUT]
  FONT_DIR defaults to /usr/share/consolefonts, OUTPUT to host/font_data.cpp
  next to this script's parent folder.
"""

import gzip
import os
import struct
import sys

# Font families tried in order for each character. FullGreek holds the
# genuine double-line box drawings and the pictographs; Uni2 adds the Latin
# letters FullGreek lacks.
FONT_SETS = ["FullGreek", "Uni2", "Lat15"]
SIZES = {16: "VGA16", 8: "VGA8"}

# Code page 437 positions 0..31 as pictographs.
PICTOGRAPHS = [
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
]

# Characters the fonts only have under a neighbouring code point.
FALLBACKS = {0x25BA: 0x25B6, 0x25C4: 0x25C0}

# 8x8 glyphs drawn for this table: five none of the fonts has, and the
# Greek letters, whose glyphs in the VGA8 fonts are those of other
# characters (alpha shows the sharp s, pi the identity sign, and so on).
DRAWN_8X8 = {
    0x03B1: [  # alpha
        "........",
        "........",
        ".###.##.",
        "##.###..",
        "##..#...",
        "##.###..",
        ".###.##.",
        "........",
    ],
    0x0393: [  # Gamma
        "#######.",
        "##...##.",
        "##......",
        "##......",
        "##......",
        "##......",
        "##......",
        "........",
    ],
    0x03C0: [  # pi
        "........",
        "#######.",
        ".##.##..",
        ".##.##..",
        ".##.##..",
        ".##.##..",
        ".##.##..",
        "........",
    ],
    0x03A3: [  # Sigma
        "#######.",
        "##...##.",
        ".##.....",
        "..##....",
        ".##.....",
        "##...##.",
        "#######.",
        "........",
    ],
    0x03C3: [  # sigma
        "........",
        "........",
        ".######.",
        "##.##...",
        "##.##...",
        "##.##...",
        ".###....",
        "........",
    ],
    0x03C4: [  # tau
        "........",
        "........",
        ".######.",
        "##.##...",
        "...##...",
        "...##...",
        "...###..",
        "........",
    ],
    0x03A6: [  # Phi
        "######..",
        "..##....",
        ".####...",
        "##..##..",
        "##..##..",
        ".####...",
        "..##....",
        "######..",
    ],
    0x0398: [  # Theta
        "..###...",
        ".##.##..",
        "##...##.",
        "#######.",
        "##...##.",
        ".##.##..",
        "..###...",
        "........",
    ],
    0x03A9: [  # Omega
        "..###...",
        ".##.##..",
        "##...##.",
        "##...##.",
        ".##.##..",
        ".##.##..",
        "###.###.",
        "........",
    ],
    0x03B4: [  # delta
        "..####..",
        ".##.....",
        "..##....",
        ".#####..",
        "##..##..",
        "##..##..",
        ".####...",
        "........",
    ],
    0x03C6: [  # phi
        "......##",
        ".....##.",
        ".######.",
        "##.##.##",
        "##.##.##",
        ".######.",
        ".##.....",
        "##......",
    ],
    0x03B5: [  # epsilon
        "..####..",
        ".##.....",
        "##......",
        "#####...",
        "##......",
        ".##.....",
        "..####..",
        "........",
    ],
    0x20A7: [  # peseta sign
        "###.....",
        "#..#....",
        "#..#.#..",
        "###.###.",
        "#....#..",
        "#....#.#",
        "#.....#.",
        "........",
    ],
    0x2310: [  # reversed not sign
        "........",
        "........",
        "........",
        ".######.",
        ".##.....",
        ".##.....",
        "........",
        "........",
    ],
    0x221E: [  # infinity
        "........",
        "........",
        ".##.##..",
        "#..#..#.",
        "#..#..#.",
        ".##.##..",
        "........",
        "........",
    ],
    0x2229: [  # intersection
        "..###...",
        ".##.##..",
        "##...##.",
        "##...##.",
        "##...##.",
        "##...##.",
        "##...##.",
        "........",
    ],
    0x2261: [  # identical to
        "........",
        "#######.",
        "........",
        "#######.",
        "........",
        "#######.",
        "........",
        "........",
    ],
}


def cp437(n):
    """The Unicode character code page 437 shows at position n."""
    if n < 32:
        return PICTOGRAPHS[n]
    if n == 127:
        return 0x2302
    return ord(bytes([n]).decode("cp437"))


class PsfFont:
    """A PSF 1 or 2 console font: glyph rows and its Unicode table.

    own[c] is the glyph drawn for character c itself; any[c] also counts the
    glyphs a font lends to look-alike characters (the later entries of a
    glyph's Unicode list)."""

    def __init__(self, path):
        data = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
        self.own, self.any = {}, {}
        if data[:4] == b"\x72\xb5\x4a\x86":
            _, _, header, flags, count, size, height, width = struct.unpack("<8I", data[:32])
            if width != 8:
                raise SystemExit(f"{path}: glyphs are {width} pixels wide, not 8")
            self.height = height
            self.glyphs = [data[header + i * size:header + (i + 1) * size] for i in range(count)]
            if flags & 1:
                table = data[header + count * size:].split(b"\xff")
                for gi in range(count):
                    chars = table[gi].split(b"\xfe")[0].decode("utf-8")
                    for k, ch in enumerate(chars):
                        self._add(ord(ch), gi, k == 0)
        elif data[:2] == b"\x36\x04":
            mode, height = data[2], data[3]
            count = 512 if mode & 1 else 256
            self.height = height
            self.glyphs = [data[4 + i * height:4 + (i + 1) * height] for i in range(count)]
            if mode & 2:
                pos = 4 + count * height
                for gi in range(count):
                    k, in_sequence = 0, False
                    while True:
                        (value,) = struct.unpack("<H", data[pos:pos + 2])
                        pos += 2
                        if value == 0xFFFF:
                            break
                        if value == 0xFFFE:
                            in_sequence = True
                        elif not in_sequence:
                            self._add(value, gi, k == 0)
                            k += 1
        else:
            raise SystemExit(f"{path}: not a PSF font")

    def _add(self, char, glyph, first):
        self.any.setdefault(char, glyph)
        if first:
            self.own.setdefault(char, glyph)


def build(font_dir, height):
    fonts = []
    for family in FONT_SETS:
        name = f"{family}-{SIZES[height]}.psf.gz"
        font = PsfFont(os.path.join(font_dir, name))
        if font.height != height:
            raise SystemExit(f"{name}: {font.height} rows, expected {height}")
        fonts.append((name, font))
    rows = []
    for n in range(256):
        char = cp437(n)
        glyph = bytes(height) if n in (0, 32, 255) else None
        if glyph is None and height == 8 and char in DRAWN_8X8:
            picture = DRAWN_8X8[char]
            glyph = bytes(int(line.replace(".", "0").replace("#", "1"), 2) for line in picture)
        for candidate in (char, FALLBACKS.get(char)):
            if glyph is not None or candidate is None:
                continue
            for _, font in fonts:
                if candidate in font.own:
                    glyph = font.glyphs[font.own[candidate]]
                    break
        if glyph is None:
            raise SystemExit(f"no {height}-row glyph for position {n} (U+{char:04X})")
        rows.append(glyph[:height])
    return rows


def label(n):
    char = cp437(n)
    if 33 <= n <= 126 and chr(n) not in "\\":
        return f"'{chr(n)}'"
    return f"U+{char:04X}"


def emit(name, rows):
    out = [f"constexpr std::uint8_t {name}[] = {{"]
    for n, glyph in enumerate(rows):
        out.append(f"    // {n} {label(n)}")
        out.append("    " + ", ".join(f"0x{b:02X}" for b in glyph) + ",")
    out.append("};")
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    font_dir = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/consolefonts"
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "host", "font_data.cpp")
    rows16 = build(font_dir, 16)
    rows8 = build(font_dir, 8)
    lines = [
        "// The built-in code page 437 fonts, generated by tools/gen_fonts.py from the",
        "// VGA console fonts of console-setup-linux (public domain). Do not edit.",
        "//",
        "// The source keeps one byte per glyph row (bit 7 = leftmost pixel); the",
        "// tables the renderer reads are expanded from it at compile time to one",
        "// byte per pixel, 0 or 255, glyph n at n * 128 (8x16) or n * 64 (8x8).",
        "#include <array>",
        "#include <cstddef>",
        "#include <cstdint>",
        "",
        '#include "host/fonts.h"',
        "",
        "namespace host {",
        "namespace {",
        "",
        "// clang-format off",
        "// 8x16: 16 rows per glyph.",
    ]
    lines += emit("kRows8x16", rows16)
    lines += ["", "// 8x8: 8 rows per glyph."]
    lines += emit("kRows8x8", rows8)
    lines += [
        "// clang-format on",
        "",
        "template <std::size_t N>",
        "constexpr std::array<std::uint8_t, N * 8> expand(const std::uint8_t (&rows)[N]) {",
        "    std::array<std::uint8_t, N * 8> pixels{};",
        "    for (std::size_t r = 0; r < N; ++r) {",
        "        for (std::size_t x = 0; x < 8; ++x) {",
        "            pixels[r * 8 + x] = (rows[r] >> (7 - x)) & 1 ? 255 : 0;",
        "        }",
        "    }",
        "    return pixels;",
        "}",
        "",
        "constexpr auto kFont8x16 = expand(kRows8x16);",
        "constexpr auto kFont8x8 = expand(kRows8x8);",
        "static_assert(kFont8x16.size() == kFont8x16Bytes);",
        "static_assert(kFont8x8.size() == kFont8x8Bytes);",
        "",
        "} // namespace",
        "",
        "const std::uint8_t* font8x16() {",
        "    return kFont8x16.data();",
        "}",
        "const std::uint8_t* font8x8() {",
        "    return kFont8x8.data();",
        "}",
        "",
        "} // namespace host",
    ]
    with open(output, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
