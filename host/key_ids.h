// The keyboard model's platform-neutral input: key identities and modifier
// bits.
//
// A front end reports every key press and release as a key identity, the
// Unicode character the key typed (0 for none) and the modifier bits held
// with it. The identities keep the numbering the model's key codes are
// built from (a key known only by its identity has the code 100000 +
// identity, a modifier 100300..100308, Pause 100019, Break 100318), which is
// the numbering of the classic SDL key symbols; the window front end
// therefore passes SDL's symbols through unchanged (host/sdl_keys.cpp checks
// that every value agrees), and the terminal front end and the replay driver
// name their keys with these constants. Letters and other printable keys
// are their lower-case ASCII character. The modifier bits are the model's
// own; front ends translate theirs.
#pragma once

#include <cstdint>

namespace host {

enum KeyId : std::int32_t {
    kKeyUnknown = 0,
    kKeyBackspace = 8,
    kKeyTab = 9,
    kKeyClear = 12,
    kKeyReturn = 13,
    kKeyPause = 19,
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyDelete = 127,
    kKeyKeypad0 = 256, // .. kKeyKeypad9 = 265
    kKeyKeypad9 = 265,
    kKeyKeypadPeriod = 266,
    kKeyKeypadDivide = 267,
    kKeyKeypadMultiply = 268,
    kKeyKeypadMinus = 269,
    kKeyKeypadPlus = 270,
    kKeyKeypadEnter = 271,
    kKeyKeypadEquals = 272,
    kKeyUp = 273,
    kKeyDown = 274,
    kKeyRight = 275,
    kKeyLeft = 276,
    kKeyInsert = 277,
    kKeyHome = 278,
    kKeyEnd = 279,
    kKeyPageUp = 280,
    kKeyPageDown = 281,
    kKeyF1 = 282, // .. kKeyF15 = 296
    kKeyF10 = 291,
    kKeyF11 = 292,
    kKeyF12 = 293,
    kKeyF13 = 294,
    kKeyF15 = 296,
    kKeyNumLock = 300,
    kKeyCapsLock = 301,
    kKeyScrollLock = 302,
    kKeyRightShift = 303,
    kKeyLeftShift = 304,
    kKeyRightCtrl = 305,
    kKeyLeftCtrl = 306,
    kKeyRightAlt = 307,
    kKeyLeftAlt = 308,
    kKeyRightMeta = 309,
    kKeyLeftMeta = 310,
    kKeyLeftSuper = 311,
    kKeyRightSuper = 312,
    kKeyMode = 313,
    kKeyCompose = 314,
    kKeyHelp = 315,
    kKeyPrint = 316,
    kKeySysReq = 317,
    kKeyBreak = 318,
    kKeyMenu = 319,
    kKeyLast = 323, // one past the highest identity
};

// Modifier bits that come with a key event.
enum KeyMod : std::uint32_t {
    kModNone = 0,
    kModLeftShift = 1u << 0,
    kModRightShift = 1u << 1,
    kModLeftCtrl = 1u << 2,
    kModRightCtrl = 1u << 3,
    kModLeftAlt = 1u << 4,
    kModRightAlt = 1u << 5,
    kModNumLock = 1u << 6,
    kModCapsLock = 1u << 7,
    kModAltGr = 1u << 8, // the layout's third-level key (AltGr, Mode switch)
    kModShift = kModLeftShift | kModRightShift,
    kModCtrl = kModLeftCtrl | kModRightCtrl,
    kModAlt = kModLeftAlt | kModRightAlt,
};

// The lock toggles and the modifier keys held, as a front end reads them at
// start-up.
struct KeyboardState {
    std::uint32_t mod = kModNone;
    bool scrollLockOn = false;
};

} // namespace host
