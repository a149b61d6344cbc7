#include "host/sdl_keys.h"

namespace host {

namespace {

// The identities are SDL's symbols, so the translation is the identity.
struct Pair {
    KeyId ours;
    SDLKey sdl;
};
constexpr Pair kSameKeys[] = {
    {kKeyBackspace, SDLK_BACKSPACE},
    {kKeyTab, SDLK_TAB},
    {kKeyClear, SDLK_CLEAR},
    {kKeyReturn, SDLK_RETURN},
    {kKeyPause, SDLK_PAUSE},
    {kKeyEscape, SDLK_ESCAPE},
    {kKeySpace, SDLK_SPACE},
    {static_cast<KeyId>('a'), SDLK_a},
    {static_cast<KeyId>('z'), SDLK_z},
    {static_cast<KeyId>('0'), SDLK_0},
    {kKeyDelete, SDLK_DELETE},
    {kKeyKeypad0, SDLK_KP0},
    {kKeyKeypad9, SDLK_KP9},
    {kKeyKeypadPeriod, SDLK_KP_PERIOD},
    {kKeyKeypadDivide, SDLK_KP_DIVIDE},
    {kKeyKeypadMultiply, SDLK_KP_MULTIPLY},
    {kKeyKeypadMinus, SDLK_KP_MINUS},
    {kKeyKeypadPlus, SDLK_KP_PLUS},
    {kKeyKeypadEnter, SDLK_KP_ENTER},
    {kKeyKeypadEquals, SDLK_KP_EQUALS},
    {kKeyUp, SDLK_UP},
    {kKeyDown, SDLK_DOWN},
    {kKeyRight, SDLK_RIGHT},
    {kKeyLeft, SDLK_LEFT},
    {kKeyInsert, SDLK_INSERT},
    {kKeyHome, SDLK_HOME},
    {kKeyEnd, SDLK_END},
    {kKeyPageUp, SDLK_PAGEUP},
    {kKeyPageDown, SDLK_PAGEDOWN},
    {kKeyF1, SDLK_F1},
    {kKeyF10, SDLK_F10},
    {kKeyF11, SDLK_F11},
    {kKeyF12, SDLK_F12},
    {kKeyF13, SDLK_F13},
    {kKeyF15, SDLK_F15},
    {kKeyNumLock, SDLK_NUMLOCK},
    {kKeyCapsLock, SDLK_CAPSLOCK},
    {kKeyScrollLock, SDLK_SCROLLOCK},
    {kKeyRightShift, SDLK_RSHIFT},
    {kKeyLeftShift, SDLK_LSHIFT},
    {kKeyRightCtrl, SDLK_RCTRL},
    {kKeyLeftCtrl, SDLK_LCTRL},
    {kKeyRightAlt, SDLK_RALT},
    {kKeyLeftAlt, SDLK_LALT},
    {kKeyRightMeta, SDLK_RMETA},
    {kKeyLeftMeta, SDLK_LMETA},
    {kKeyLeftSuper, SDLK_LSUPER},
    {kKeyRightSuper, SDLK_RSUPER},
    {kKeyMode, SDLK_MODE},
    {kKeyCompose, SDLK_COMPOSE},
    {kKeyHelp, SDLK_HELP},
    {kKeyPrint, SDLK_PRINT},
    {kKeySysReq, SDLK_SYSREQ},
    {kKeyBreak, SDLK_BREAK},
    {kKeyMenu, SDLK_MENU},
    {kKeyLast, SDLK_LAST},
};
constexpr bool allSame() {
    for (const Pair& p : kSameKeys) {
        if (static_cast<int>(p.ours) != static_cast<int>(p.sdl)) return false;
    }
    return true;
}
static_assert(allSame(), "the key identities must keep SDL's numbering");

} // namespace

std::uint32_t keyModFromSdl(SDLMod mod) {
    struct Bit {
        unsigned sdl;
        KeyMod model;
    };
    static constexpr Bit kBits[] = {
        {KMOD_LSHIFT, kModLeftShift}, {KMOD_RSHIFT, kModRightShift}, {KMOD_LCTRL, kModLeftCtrl},
        {KMOD_RCTRL, kModRightCtrl},  {KMOD_LALT, kModLeftAlt},      {KMOD_RALT, kModRightAlt},
        {KMOD_NUM, kModNumLock},      {KMOD_CAPS, kModCapsLock},     {KMOD_MODE, kModAltGr},
    };
    std::uint32_t bits = kModNone;
    for (const Bit& b : kBits) {
        if ((static_cast<unsigned>(mod) & b.sdl) != 0) bits |= b.model;
    }
    return bits;
}

KeyboardState sdlKeyboardState() {
    // SDL 1.2 reports no Scroll Lock: it starts off.
    return {keyModFromSdl(SDL_GetModState()), false};
}

} // namespace host
