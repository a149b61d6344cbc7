// SDL 2's window surface behind SDL 1.2's window, for showing a few cells.
//
// SDL 1.2 runs here on SDL 2 (sdl12-compat). Its software path shows any
// update, however small, by redrawing the whole window: the changed part of
// the 1.2 surface is converted into a texture, and then the window is
// cleared, the whole texture is blended into SDL 2's window surface and all
// of it is put to the window system. A cursor flip changes 128 pixels and
// so moves 256000, eight times a second. SDL 2's software renderer draws
// into SDL 2's window surface, and SDL 2 can show parts of that surface
// (SDL_UpdateWindowSurfaceRects): WindowSurface copies the changed
// rectangles of the 1.2 surface straight into it and shows only them.
//
// The SDL 2 functions are looked up in the SDL 2 library that SDL 1.2 loaded
// (the program neither links nor needs SDL 2). attach() finds SDL 2's window
// after each SDL_SetVideoMode and accepts it only when it is the one window,
// drawn by the software renderer, into a 32-bit 0x00RRGGBB surface of the
// video mode's size and not full screen (where sdl12-compat scales the
// texture to the screen). Under SDL 1.2 itself, or whenever one of these
// does not hold, show() returns false and the caller hands the update to
// SDL 1.2 as before.
//
// sdl12-compat's texture misses what was shown this way, and sdl12-compat
// presents its texture by itself after an update of part of the window
// (later, at an event pump) and after an update of the whole window (at
// once, after uploading all of it). After a show() the caller must hand SDL
// 1.2 only updates of the whole window until one has been made.
#pragma once

#include <SDL.h>

namespace host {

class WindowSurface {
  public:
    // Looks for SDL 2's window behind the video surface just set (main
    // thread, after SDL_SetVideoMode); fullScreen: the mode is full screen.
    void attach(const SDL_Surface* videoSurface, bool fullScreen);
    // Forgets the window (before the video mode changes).
    void detach() { window_ = nullptr; }
    bool attached() const { return window_ != nullptr; }

    // Copies the rectangles of from (the video surface) into SDL 2's window
    // surface and shows them; false, having done nothing, when the window
    // no longer fits (see above) or there is none. count > 0.
    bool show(const SDL_Surface* from, const SDL_Rect* rects, int count);

  private:
    void* window_ = nullptr; // SDL 2's SDL_Window
    int width_ = 0;
    int height_ = 0;
};

} // namespace host
