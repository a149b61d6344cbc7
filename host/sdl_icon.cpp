#include "host/sdl_icon.h"

#include "host/icon.h"

namespace host {

SDL_Surface* createIconSurface() {
    SDL_RWops* rw = SDL_RWFromConstMem(iconBmp(), static_cast<int>(kIconBmpBytes));
    if (!rw) {
        return nullptr;
    }
    return SDL_LoadBMP_RW(rw, 1);
}

SDL_Cursor* createMouseCursor() {
    PointerBits bits = pointerBits();
    return SDL_CreateCursor(bits.data.data(), bits.mask.data(), kPointerSize, kPointerSize, 0, 0);
}

} // namespace host
