// The built-in pictures. The lantern and the pointer are drawn below as
// character pictures; the BMP file image, the icon mask and the pointer's
// bit planes are built from them at compile time.
#include "host/icon.h"

#include <array>

#include "host/palette.h"

namespace host {
namespace {

// The lantern: ring, cap, a glowing glass with its flame, base and foot.
// clang-format off
constexpr const char* kLantern[kIconSize] = {
    "................................",
    "..............NNNN..............",
    ".............NK..KN.............",
    ".............N....N.............",
    ".............NK..KN.............",
    "..............NNNN..............",
    "...........NNNNNNNNNN...........",
    "..........NKGGGGGGGGKN..........",
    ".........NKKKKKKKKKKKKN.........",
    "........NNNNNNNNNNNNNNNN........",
    ".........NKPPPPPPPPPPKN.........",
    ".........NKPPPPAAPPPPKN.........",
    ".........NKPPPAYYAPPPKN.........",
    ".........NKPPPAYYAPPPKN.........",
    ".........NKPPAYWWYAPPKN.........",
    ".........NKPPAYWWYAPPKN.........",
    ".........NKPPAYWWYAPPKN.........",
    ".........NKPPOAYYAOPPKN.........",
    ".........NKPPPOAAOPPPKN.........",
    ".........NKPPPPOOPPPPKN.........",
    ".........NKPPPPBBPPPPKN.........",
    ".........NKPPPPBBPPPPKN.........",
    ".........NKPPPPPPPPPPKN.........",
    "........NNNNNNNNNNNNNNNN........",
    "........NBBBBBBBBBBBBBBN........",
    "........NBOBBBBBBBBBBOBN........",
    "........NBBBBBBBBBBBBBBN........",
    ".......NNNNNNNNNNNNNNNNNN.......",
    ".......NKGGGGGGGGGGGGGGKN.......",
    ".......NKKKKKKKKKKKKKKKKN.......",
    "........NNNNNNNNNNNNNNNN........",
    "................................",
};
// clang-format on

// Start-up palette indices of the picture's colours; '.' is transparent.
constexpr std::uint8_t colourIndex(char c) {
    switch (c) {
    case 'N':
        return 17; // near-black outline
    case 'K':
        return 8; // dark grey metal
    case 'G':
        return 7; // light grey highlight
    case 'B':
        return 6; // brown
    case 'Y':
        return 14; // yellow
    case 'W':
        return 15; // white heart of the flame
    case 'O':
        return 42; // orange
    case 'A':
        return 43; // amber
    case 'P':
        return 92; // pale yellow glow
    default:
        return 0;
    }
}

constexpr std::array<std::uint8_t, kIconSize * kIconSize> makePixels() {
    std::array<std::uint8_t, kIconSize * kIconSize> p{};
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            p[y * kIconSize + x] = colourIndex(kLantern[y][x]);
        }
    }
    return p;
}

constexpr auto kPixels = makePixels();

constexpr std::array<std::uint8_t, kIconSize * 4> makeMask() {
    std::array<std::uint8_t, kIconSize * 4> m{};
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            if (kLantern[y][x] != '.') {
                m[y * 4 + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return m;
}

constexpr auto kMask = makeMask();

constexpr std::size_t kHeaderBytes = 14 + 40;
constexpr std::size_t kPixelOffset = kHeaderBytes + 256 * 4;
static_assert(kPixelOffset + kIconSize * kIconSize == kIconBmpBytes);

constexpr void put16(std::array<std::uint8_t, kIconBmpBytes>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
constexpr void put32(std::array<std::uint8_t, kIconBmpBytes>& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

std::array<std::uint8_t, kIconBmpBytes> makeBmp() {
    std::array<std::uint8_t, kIconBmpBytes> b{};
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, kIconBmpBytes);
    put32(b, 10, kPixelOffset);
    put32(b, 14, 40);        // info header size
    put32(b, 18, kIconSize); // width
    put32(b, 22, kIconSize); // height, positive: rows stored bottom-up
    put16(b, 26, 1);         // planes
    put16(b, 28, 8);         // bits per pixel
    put32(b, 34, kIconSize * kIconSize);
    put32(b, 38, 2835); // 72 dots per inch
    put32(b, 42, 2835);
    put32(b, 46, 256); // colours used
    const std::uint32_t* palette = defaultPalette256();
    for (std::size_t i = 0; i < 256; ++i) {
        put32(b, kHeaderBytes + i * 4, palette[i] & 0x00FFFFFF); // blue, green, red, 0
    }
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            b[kPixelOffset + (kIconSize - 1 - y) * kIconSize + x] = kPixels[y * kIconSize + x];
        }
    }
    return b;
}

// The pointer: 'X' black, 'o' white, ' ' transparent; hot spot at the tip.
// clang-format off
constexpr const char* kPointer[kPointerSize] = {
    "X               ",
    "XX              ",
    "XoX             ",
    "XooX            ",
    "XoooX           ",
    "XooooX          ",
    "XoooooX         ",
    "XooooooX        ",
    "XoooooooX       ",
    "XooooooooX      ",
    "XoooooXXXXX     ",
    "XooXooX         ",
    "XoX XooX        ",
    "XX  XooX        ",
    "X    XooX       ",
    "     XXXX       ",
};
// clang-format on

} // namespace

const std::uint8_t* iconBmp() {
    static const std::array<std::uint8_t, kIconBmpBytes> bmp = makeBmp();
    return bmp.data();
}

const std::uint8_t* iconPixels() {
    return kPixels.data();
}
const std::uint8_t* iconMask() {
    return kMask.data();
}

PointerBits pointerBits() {
    PointerBits bits{};
    for (int y = 0; y < kPointerSize; ++y) {
        for (int x = 0; x < kPointerSize; ++x) {
            const char c = kPointer[y][x];
            const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
            if (c != ' ') {
                bits.mask[static_cast<std::size_t>(y * 2 + x / 8)] |= bit;
            }
            if (c == 'X') {
                bits.data[static_cast<std::size_t>(y * 2 + x / 8)] |= bit;
            }
        }
    }
    return bits;
}

} // namespace host
