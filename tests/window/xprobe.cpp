// The window tests' X11 helper: looks at and closes a window as a user would.
//
//   xprobe size WINDOW            the window's size, "WIDTHxHEIGHT"
//   xprobe text WINDOW [ROW]      the 8 x 16 cells of the window read back as
//                                 text with the built-in font, one line per
//                                 cell row (or only ROW, 1-based), trailing
//                                 blanks removed; a cell matching no glyph
//                                 is '?'. The text cursor is ignored.
//   xprobe pixel WINDOW X Y       the colour at (X, Y) as RRGGBB
//   xprobe close WINDOW           sends WM_DELETE_WINDOW, as the window
//                                 manager does for the close button
//   xprobe shot WINDOW FILE       the window as a binary PPM image
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/fonts.h"

namespace {

Display* display = nullptr;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "xprobe: %s\n", what);
    std::exit(2);
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels; // 0xRRGGBB
    unsigned at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Image grab(Window w, int x0 = 0, int y0 = 0, int width = 0, int height = 0) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, w, &a)) fail("no such window");
    if (width > 0) {
        if (x0 < 0 || y0 < 0 || x0 + width > a.width || y0 + height > a.height)
            fail("outside the window");
        a.width = width;
        a.height = height;
    }
    XImage* img = XGetImage(display, w, x0, y0, static_cast<unsigned>(a.width),
                            static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (img == nullptr) fail("cannot read the window");
    Image out;
    out.width = a.width;
    out.height = a.height;
    out.pixels.resize(static_cast<std::size_t>(a.width) * a.height);
    const bool direct = img->bits_per_pixel == 32 && img->red_mask == 0xFF0000 &&
                        img->green_mask == 0xFF00 && img->blue_mask == 0xFF &&
                        img->byte_order == LSBFirst;
    for (int y = 0; y < a.height; ++y) {
        if (direct) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                img->data + static_cast<std::ptrdiff_t>(y) * img->bytes_per_line);
            for (int x = 0; x < a.width; ++x)
                out.pixels[static_cast<std::size_t>(y) * a.width + x] = row[x] & 0xFFFFFF;
            continue;
        }
        for (int x = 0; x < a.width; ++x) {
            unsigned long p = XGetPixel(img, x, y);
            unsigned r = static_cast<unsigned>((p & img->red_mask) * 255 / img->red_mask);
            unsigned g = static_cast<unsigned>((p & img->green_mask) * 255 / img->green_mask);
            unsigned b = static_cast<unsigned>((p & img->blue_mask) * 255 / img->blue_mask);
            out.pixels[static_cast<std::size_t>(y) * a.width + x] = (r << 16) | (g << 8) | b;
        }
    }
    XDestroyImage(img);
    return out;
}

// The glyph whose foreground matches the cell's ink, where the ink is every
// pixel unlike the cell's top-left one. ignoreRow skips one pixel row (the
// cursor's).
int matchGlyph(const Image& im, int cx, int cy, int ignoreRow, bool inverted) {
    const std::uint8_t* font = host::font8x16();
    const unsigned bg = im.at(cx, cy);
    bool ink[16][8];
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x)
            ink[y][x] = (im.at(cx + x, cy + y) != bg) != inverted;
    auto matches = [&](int g) {
        const std::uint8_t* glyph = font + g * 128;
        for (int y = 0; y < 16; ++y) {
            if (y == ignoreRow) continue;
            for (int x = 0; x < 8; ++x)
                if ((glyph[y * 8 + x] != 0) != ink[y][x]) return false;
        }
        return true;
    };
    for (int g = 32; g < 127; ++g)
        if (matches(g)) return g;
    for (int g = 0; g < 256; ++g)
        if (matches(g)) return g;
    return -1;
}

char cellChar(const Image& im, int column, int row) {
    const int cx = column * 8;
    const int cy = row * 16;
    int g = matchGlyph(im, cx, cy, -1, false);
    if (g < 0) g = matchGlyph(im, cx, cy, 14, false); // under the cursor
    if (g < 0) g = matchGlyph(im, cx, cy, -1, true);  // a glyph with ink at the corner
    if (g < 0) g = matchGlyph(im, cx, cy, 14, true);
    if (g < 0) return '?';
    if (g == 0 || g == 255) return ' ';
    return g >= 32 && g < 127 ? static_cast<char>(g) : '?';
}

std::string rowText(const Image& im, int row) {
    std::string s;
    for (int c = 0; c < im.width / 8; ++c)
        s += cellChar(im, c, row);
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) fail("usage: xprobe size|text|pixel|close|shot WINDOW ...");
    display = XOpenDisplay(nullptr);
    if (display == nullptr) fail("cannot open the display");
    const std::string command = argv[1];
    const Window w = static_cast<Window>(std::strtoul(argv[2], nullptr, 0));
    if (command == "size") {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, w, &a)) fail("no such window");
        std::printf("%dx%d\n", a.width, a.height);
    } else if (command == "text") {
        const Image im = grab(w);
        if (argc > 3) {
            std::printf("%s\n", rowText(im, std::atoi(argv[3]) - 1).c_str());
        } else {
            for (int r = 0; r < im.height / 16; ++r)
                std::printf("%s\n", rowText(im, r).c_str());
        }
    } else if (command == "pixel" && argc > 4) {
        const Image im = grab(w, std::atoi(argv[3]), std::atoi(argv[4]), 1, 1);
        std::printf("%06X\n", im.at(0, 0));
    } else if (command == "close") {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        if (!XSendEvent(display, w, False, NoEventMask, &e)) fail("cannot send the message");
        XSync(display, False);
    } else if (command == "shot" && argc > 3) {
        const Image im = grab(w);
        FILE* f = std::fopen(argv[3], "wb");
        if (f == nullptr) fail("cannot write the file");
        std::fprintf(f, "P6\n%d %d\n255\n", im.width, im.height);
        for (unsigned p : im.pixels) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                          static_cast<unsigned char>(p >> 8),
                                          static_cast<unsigned char>(p)};
            std::fwrite(rgb, 1, 3, f);
        }
        std::fclose(f);
    } else {
        fail("unknown command");
    }
    XCloseDisplay(display);
    return 0;
}
