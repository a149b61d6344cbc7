// Writes the window's built-in icon as a PNG file for the desktop launcher.
//
// Usage: glimmerdeep-icon-png SIZE OUT.png
//
// The picture comes from the same 32 x 32 BMP file image the window shows
// (host::iconBmp): its colour table becomes the PNG palette, colour index 0
// stays transparent (a one-entry tRNS chunk), and the pixels are enlarged to
// SIZE x SIZE by nearest neighbour, so SIZE must be a multiple of 32. The
// image data is a zlib stream of stored (uncompressed) deflate blocks, which
// needs no compression library; CRC-32 and Adler-32 are computed here. The
// output depends on nothing but the icon, so the committed PNGs can be
// checked against a fresh run byte for byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/icon.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t read32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void put32be(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t n) {
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            table[i] = c;
        }
        ready = true;
    }
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

void chunk(Bytes& out, const char* type, const Bytes& body) {
    put32be(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32be(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream holding `raw` in stored deflate blocks of at most 65535 bytes.
Bytes storedZlib(const Bytes& raw) {
    Bytes z = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t len = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + len == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(len));
        z.push_back(static_cast<std::uint8_t>(len >> 8));
        z.push_back(static_cast<std::uint8_t>(~len));
        z.push_back(static_cast<std::uint8_t>(~len >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + len));
        at += len;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32be(z, (b << 16) | a);
    return z;
}

Bytes iconPng(int size) {
    const std::uint8_t* bmp = host::iconBmp();
    const std::uint32_t pixelOffset = read32(bmp + 10);
    const std::uint32_t headerSize = read32(bmp + 14);
    const std::uint8_t* colours = bmp + 14 + headerSize; // blue, green, red, 0
    const int scale = size / host::kIconSize;

    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    put32be(ihdr, static_cast<std::uint32_t>(size));
    put32be(ihdr, static_cast<std::uint32_t>(size));
    ihdr.insert(ihdr.end(), {8, 3, 0, 0, 0}); // 8-bit palette indices, no interlace
    chunk(png, "IHDR", ihdr);
    Bytes plte;
    for (int i = 0; i < 256; ++i) {
        plte.push_back(colours[i * 4 + 2]);
        plte.push_back(colours[i * 4 + 1]);
        plte.push_back(colours[i * 4]);
    }
    chunk(png, "PLTE", plte);
    chunk(png, "tRNS", Bytes{0}); // index 0 transparent, the rest opaque

    Bytes raw;
    raw.reserve(static_cast<std::size_t>(size) * (size + 1));
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);                                // filter: none
        const int row = host::kIconSize - 1 - y / scale; // BMP rows run bottom-up
        const std::uint8_t* src = bmp + pixelOffset + row * host::kIconSize;
        for (int x = 0; x < size; ++x) {
            raw.push_back(src[x / scale]);
        }
    }
    chunk(png, "IDAT", storedZlib(raw));
    chunk(png, "IEND", Bytes{});
    return png;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SIZE OUT.png\n", argv[0]);
        return 2;
    }
    const int size = std::atoi(argv[1]);
    if (size < host::kIconSize || size > 1024 || size % host::kIconSize != 0) {
        std::fprintf(stderr, "%s: SIZE must be a multiple of %d from %d to 1024\n", argv[0],
                     host::kIconSize, host::kIconSize);
        return 2;
    }
    const Bytes png = iconPng(size);
    std::FILE* f = std::fopen(argv[2], "wb");
    if (!f) {
        std::perror(argv[2]);
        return 1;
    }
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (std::fclose(f) != 0 || !ok) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
