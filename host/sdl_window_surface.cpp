// SDL 2's window surface behind SDL 1.2's window.
//
// SDL 2's headers cannot be included beside SDL 1.2's, so the few SDL 2
// functions used are declared here by hand, with the leading fields of the
// structures they return (SDL 2 keeps them binary compatible across its
// releases). The window is found by its id: SDL 2 numbers windows from 1
// in the order they are made, and sdl12-compat makes one.
#include "host/sdl_window_surface.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace host {
namespace {

// SDL 2's SDL_Rect, SDL_Surface, SDL_PixelFormat and SDL_RendererInfo, as
// far as they are read.
struct Rect2 {
    int x, y, w, h;
};
struct PixelFormat2 {
    std::uint32_t format;
    void* palette;
    std::uint8_t bitsPerPixel;
    std::uint8_t bytesPerPixel;
    std::uint8_t padding[2];
    std::uint32_t rMask, gMask, bMask, aMask;
};
struct Surface2 {
    std::uint32_t flags;
    PixelFormat2* format;
    int w, h;
    int pitch;
    void* pixels;
};
struct RendererInfo2 {
    const char* name;
    std::uint32_t flags;
    std::uint32_t textureFormatCount;
    std::uint32_t textureFormats[16];
    int maxTextureWidth;
    int maxTextureHeight;
};
struct Version2 {
    std::uint8_t major, minor, patch;
};

constexpr std::uint32_t kWindowFullScreen = 0x1; // SDL_WINDOW_FULLSCREEN, also in _DESKTOP
constexpr std::uint32_t kHighestWindowId = 256;

struct Sdl2 {
    void (*getVersion)(Version2*);
    void* (*windowFromId)(std::uint32_t);
    std::uint32_t (*windowFlags)(void*);
    void (*windowSize)(void*, int*, int*);
    Surface2* (*windowSurface)(void*);
    int (*updateWindowSurfaceRects)(void*, const Rect2*, int);
    void* (*renderer)(void*);
    int (*rendererInfo)(void*, RendererInfo2*);
};

// The SDL 2 functions, or null when SDL 1.2 does not run on SDL 2.
const Sdl2* sdl2() {
    static const Sdl2* const api = []() -> const Sdl2* {
        void* lib = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
        if (lib == nullptr) return nullptr;
        static Sdl2 a;
        bool all = true;
        auto find = [lib, &all](auto& fn, const char* name) {
            void* p = dlsym(lib, name);
            all = all && p != nullptr;
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(p);
        };
        find(a.getVersion, "SDL_GetVersion");
        find(a.windowFromId, "SDL_GetWindowFromID");
        find(a.windowFlags, "SDL_GetWindowFlags");
        find(a.windowSize, "SDL_GetWindowSize");
        find(a.windowSurface, "SDL_GetWindowSurface");
        find(a.updateWindowSurfaceRects, "SDL_UpdateWindowSurfaceRects");
        find(a.renderer, "SDL_GetRenderer");
        find(a.rendererInfo, "SDL_GetRendererInfo");
        dlclose(lib); // only drops our reference: SDL 1.2 keeps the library loaded
        if (!all) return nullptr;
        Version2 v{};
        a.getVersion(&v);
        return v.major == 2 ? &a : nullptr;
    }();
    return api;
}

bool rgbLayout(std::uint8_t bytesPerPixel, std::uint32_t r, std::uint32_t g, std::uint32_t b,
               std::uint32_t a) {
    return bytesPerPixel == 4 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF && a == 0;
}

} // namespace

void WindowSurface::attach(const SDL_Surface* videoSurface, bool fullScreen) {
    window_ = nullptr;
    const Sdl2* api = sdl2();
    if (api == nullptr || videoSurface == nullptr || fullScreen) return;
    void* found = nullptr;
    for (std::uint32_t id = 1; id <= kHighestWindowId; ++id) {
        if (void* w = api->windowFromId(id)) {
            if (found != nullptr) return; // more than one: not ours to guess
            found = w;
        }
    }
    if (found == nullptr) return;
    void* renderer = api->renderer(found);
    RendererInfo2 info{};
    if (renderer == nullptr || api->rendererInfo(renderer, &info) != 0 || info.name == nullptr ||
        std::strcmp(info.name, "software") != 0) {
        return;
    }
    window_ = found;
    width_ = videoSurface->w;
    height_ = videoSurface->h;
}

bool WindowSurface::show(const SDL_Surface* from, const SDL_Rect* rects, int count) {
    const Sdl2* api = sdl2();
    if (window_ == nullptr || api == nullptr || from == nullptr || from->pixels == nullptr ||
        from->w != width_ || from->h != height_ || count <= 0) {
        return false;
    }
    const SDL_PixelFormat* f = from->format;
    if (!rgbLayout(f->BytesPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask)) return false;
    if ((api->windowFlags(window_) & kWindowFullScreen) != 0) return false;
    int w = 0;
    int h = 0;
    api->windowSize(window_, &w, &h);
    if (w != width_ || h != height_) return false;
    Surface2* to = api->windowSurface(window_);
    if (to == nullptr || to->pixels == nullptr || to->format == nullptr || to->w != width_ ||
        to->h != height_) {
        return false;
    }
    const PixelFormat2* g = to->format;
    if (!rgbLayout(g->bytesPerPixel, g->rMask, g->gMask, g->bMask, g->aMask)) return false;

    static std::vector<Rect2> shown; // main thread only
    shown.clear();
    const auto* source = static_cast<const std::uint8_t*>(from->pixels);
    auto* target = static_cast<std::uint8_t*>(to->pixels);
    for (int i = 0; i < count; ++i) {
        const int left = std::max<int>(rects[i].x, 0);
        const int top = std::max<int>(rects[i].y, 0);
        const int right = std::min<int>(rects[i].x + rects[i].w, width_);
        const int bottom = std::min<int>(rects[i].y + rects[i].h, height_);
        if (left >= right || top >= bottom) continue;
        const std::size_t bytes = static_cast<std::size_t>(right - left) * 4;
        for (int y = top; y < bottom; ++y) {
            std::memcpy(target + static_cast<std::ptrdiff_t>(y) * to->pitch + left * 4,
                        source + static_cast<std::ptrdiff_t>(y) * from->pitch + left * 4, bytes);
        }
        shown.push_back({left, top, right - left, bottom - top});
    }
    if (shown.empty()) return true;
    return api->updateWindowSurfaceRects(window_, shown.data(), static_cast<int>(shown.size())) ==
           0;
}

} // namespace host
