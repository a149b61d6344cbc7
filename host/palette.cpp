// The built-in palettes, computed once from the colour rules of the classic
// 256- and 64-colour adapters: six-bit DAC levels scaled to eight bits.
#include "host/palette.h"

#include <array>

namespace host {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

constexpr std::uint32_t level8(int sixBit) {
    return static_cast<std::uint32_t>((sixBit * 255 + 31) / 63);
}

constexpr std::uint32_t rgb6(int r, int g, int b) {
    return kOpaque | level8(r) << 16 | level8(g) << 8 | level8(b);
}

constexpr std::array<std::uint32_t, 256> makePalette256() {
    std::array<std::uint32_t, 256> p{};
    for (int i = 0; i < 16; ++i) {
        p[i] = kOpaque | kTextColours[i];
    }
    // 16 greys.
    constexpr int greys[16] = {0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63};
    for (int i = 0; i < 16; ++i) {
        p[16 + i] = rgb6(greys[i], greys[i], greys[i]);
    }
    // 24 hues around the wheel (blue, magenta, red, yellow, green, cyan) at
    // three brightnesses, each at three saturations: five levels per block,
    // from the weakest component to the strongest.
    constexpr int levels[9][5] = {
        {0, 16, 31, 47, 63}, {31, 39, 47, 55, 63}, {45, 49, 54, 58, 63},
        {0, 7, 14, 21, 28},  {14, 17, 21, 24, 28}, {20, 22, 24, 26, 28},
        {0, 4, 8, 12, 16},   {8, 10, 12, 14, 16},  {11, 12, 13, 15, 16},
    };
    // Per hue: the level index (0..4) of red, green and blue.
    constexpr int hues[24][3] = {
        {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
        {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
        {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
    };
    for (int block = 0; block < 9; ++block) {
        for (int h = 0; h < 24; ++h) {
            const int* l = levels[block];
            p[32 + block * 24 + h] = rgb6(l[hues[h][0]], l[hues[h][1]], l[hues[h][2]]);
        }
    }
    for (int i = 248; i < 256; ++i) {
        p[i] = kOpaque;
    }
    return p;
}

// Colour number bits: 0 blue, 1 green, 2 red at two thirds; 3 blue, 4 green,
// 5 red at one third.
constexpr std::array<std::uint32_t, 64> makePalette64() {
    std::array<std::uint32_t, 64> p{};
    for (int i = 0; i < 64; ++i) {
        auto channel = [i](int high, int low) {
            return static_cast<std::uint32_t>(((i >> high) & 1) * 0xAA + ((i >> low) & 1) * 0x55);
        };
        p[i] = kOpaque | channel(2, 5) << 16 | channel(1, 4) << 8 | channel(0, 3);
    }
    return p;
}

constexpr auto kPalette256 = makePalette256();
constexpr auto kPalette64 = makePalette64();

static_assert(kPalette256[33] == 0xFF4100FF && kPalette256[34] == 0xFF7D00FF);
static_assert(kPalette256[31] == 0xFFFFFFFF);
static_assert(kPalette64[0x3F] == 0xFFFFFFFF && kPalette64[0x14] == 0xFFAA5500); // brown

} // namespace

const std::uint32_t* defaultPalette256() {
    return kPalette256.data();
}
const std::uint32_t* defaultPalette64() {
    return kPalette64.data();
}

} // namespace host
