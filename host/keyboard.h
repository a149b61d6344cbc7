// The PC-style keyboard model.
//
// Key events (a key identity, a Unicode value and modifier bits, all of
// host/key_ids.h) are turned into the runtime's key codes and then, like a PC BIOS does it, into
// (character, scan code) pairs in the keyboard ring of the low-memory block (runtime/
// keyboard_buffer.h), where line input takes them with rt::readKey.
//
// Key codes (32-bit):
//   0..255                   a character of code page 437
//   s * 256                  an extended key with PC scan code s (0x4800 Up)
//   100000 + key identity    a key known only by its identity: the modifiers
//                            (100300..100308), Pause 100019, Break 100318,
//                            keypad keys 100256..100271 carrying a character
//   200000..200010           keypad 0..9 and '.' without a character
//   200011, 200012           state codes: Scroll Lock on, insert mode on
//   200013                   stands for key code 0
//   0x40000000 + u           a typed Unicode character with no CP437 byte
//
// The model keeps the held-key list (each code at most once, with the key
// identity that pressed it, plus the two state codes while their states are
// on), the Alt-code entry state (Alt + keypad digits), the shift-state bytes
// at 0x417, 0x418 and 0x496, and small key-event and port scan-code queues.
// Whether a Shift, Ctrl or Alt key is held and whether Caps Lock is on is
// read from the held-key list; the platform's lock toggles come in through
// syncLocks, which the event loop calls on every input turn.
//
// Key press applies its rules in order: Break (Ctrl+Scroll Lock, Ctrl+Pause,
// the Break key) sets the exit request; Pause (Ctrl+Num Lock, the Pause key)
// pauses the game through the pause state and the event-pending flag; any key while
// paused only ends the pause; Alt+Enter counts a full-screen toggle; then
// the pair from the key translation table is stored.
//
// The model is independent of any window and of SDL: the window's event
// loop (through host/sdl_keys.h), the terminal front end and the replay
// driver feed it the same events. It runs on the main thread only (and at
// start-up); the flags it sets are atomics read by the game thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/key_ids.h"

namespace host {

// ---- Key codes ----
constexpr std::int32_t kSymbolBase = 100000;
constexpr std::int32_t kCodeNumLock = 100300;
constexpr std::int32_t kCodeCapsLock = 100301;
constexpr std::int32_t kCodeScrollLock = 100302;
constexpr std::int32_t kCodeRightShift = 100303;
constexpr std::int32_t kCodeLeftShift = 100304;
constexpr std::int32_t kCodeRightCtrl = 100305;
constexpr std::int32_t kCodeLeftCtrl = 100306;
constexpr std::int32_t kCodeRightAlt = 100307;
constexpr std::int32_t kCodeLeftAlt = 100308;
constexpr std::int32_t kCodePause = 100019;
constexpr std::int32_t kCodeBreak = 100318;
constexpr std::int32_t kCodeF15 = 100296;
constexpr std::int32_t kCodeSysReq = 100317;
constexpr std::int32_t kCodeKeypadFirst = 100256; // 100256..100271, with a character
constexpr std::int32_t kCodeKeypadLast = 100271;
constexpr std::int32_t kCodeKeypadBare = 200000; // 200000..200010, no character
constexpr std::int32_t kStateScrollLock = 200011;
constexpr std::int32_t kStateInsert = 200012;
constexpr std::int32_t kCodeZero = 200013;
constexpr std::int32_t kCodeUnicode = 0x40000000;
constexpr std::int32_t kCodeInsert = 0x5200;

// ---- The key translation table ----
// 528 records of ten values: key identity, scan code, plain, Shift, Ctrl,
// Alt, Num Lock, two unused (0), Num Lock + Shift. Records 0..255 are
// indexed by character code, 256..511 by 256 + the high byte of an
// extended key code, 512..527 by keypad key (0..9, '.', '/', '*', '-', '+',
// Enter). A value of 0 produces nothing; 1..255 is a character stored with
// the record's scan code; a multiple of 256 is an extended key stored as
// (0, value / 256).
enum KeyField : int {
    kFieldIdentity = 0,
    kFieldScan = 1,
    kFieldPlain = 2,
    kFieldShift = 3,
    kFieldCtrl = 4,
    kFieldAlt = 5,
    kFieldNumLock = 6,
    kFieldNumLockShift = 9,
};
constexpr int kKeyRecords = 528;
constexpr int kKeypadRecord = 512;
using KeyRecord = std::array<std::int32_t, 10>;
const KeyRecord& keyRecord(int index); // index 0..527 (others: an empty record)

// The key code a typed Unicode character presses: itself up to 127, else the
// first CP437 byte with that Unicode value, else the full-width forms
// U+FF01..U+FF5E as u - 0xFEE0 and U+3000 as 32, else 0x40000000 + u.
std::int32_t characterCode(std::uint32_t u);

// ---- Platform state ----
// The lock keys' toggle states.
struct LockState {
    bool scrollLock = false;
    bool capsLock = false;
    bool numLock = false;
};
// The modifier keys held down (at start-up).
struct HeldModifiers {
    bool scrollLock = false;
    bool leftShift = false;
    bool rightShift = false;
    bool leftCtrl = false;
    bool rightCtrl = false;
    bool leftAlt = false;
    bool rightAlt = false;
};
// From the modifier bits (KeyMod). They carry no Scroll Lock, so that one is
// passed in.
LockState locksFromMod(std::uint32_t mod, bool scrollLockOn = false);
HeldModifiers heldFromMod(std::uint32_t mod);

// Key repeat is on only while the window has input focus and is active.
constexpr bool keyRepeatWanted(bool inputFocus, bool active) {
    return inputFocus && active;
}
constexpr int kKeyRepeatDelayMs = 500;
constexpr int kKeyRepeatIntervalMs = 30;

struct HeldKey {
    std::int32_t code;
    std::int32_t symbol; // -1 for the state codes
};

class Keyboard {
  public:
    Keyboard();

    // Forgets every held key and queue entry (the ring and flags are not
    // touched).
    void reset();

    // Start-up: Scroll Lock on enters the state code 200011; then Scroll Lock
    // held, left Shift, right Shift, left Ctrl, right Ctrl, left Alt, right
    // Alt held, Caps Lock on and Num Lock on are each entered as a press of
    // their key code, in that order; then the shift-state bytes are rebuilt.
    void startUp(LockState locks, HeldModifiers held);
    // The same from the modifier bits.
    void startUp(std::uint32_t mod, bool scrollLockOn = false);
    void startUp(KeyboardState state) { startUp(state.mod, state.scrollLockOn); }

    // The process's keyboard model (the window program's and the replay
    // driver's; tests may make their own).
    static Keyboard& instance();

    // Key events. mod is the modifier state that came with the event; the
    // model keeps the latest (platformLocks) but decides "held" from its
    // own held-key list.
    void keyDown(KeyId sym, std::uint16_t unicode, std::uint32_t mod = kModNone);
    void keyUp(KeyId sym, std::uint32_t mod = kModNone);

    // Event loop, every input turn: for each lock whose platform toggle state
    // differs from the held-key list, toggle 200011 (Scroll Lock) or
    // press/release 100301 (Caps Lock) or 100300 (Num Lock); then rebuild the
    // shift-state bytes.
    void syncLocks(LockState platform);
    // The same from the current modifier state. It carries no Scroll Lock,
    // so the model's own Scroll Lock state stands for the platform's
    // (otherwise every input turn would turn it off again).
    void syncLocksFromMod(std::uint32_t mod) {
        syncLocks(locksFromMod(mod, isHeld(kStateScrollLock)));
    }

    // Text typed through the input method (or any other text source): a
    // character press and release for u.
    void typeCharacter(std::uint32_t u);

    // The primitive operations.
    void keyPress(std::int32_t k, std::int32_t symbol = 0, bool fromText = false);
    void keyRelease(std::int32_t k);
    void characterPress(std::uint32_t u, std::int32_t symbol = 0);
    void characterRelease(std::uint32_t u);
    void releaseBySymbol(std::int32_t symbol);

    // ---- State, for the event loop and tests ----
    bool isHeld(std::int32_t code) const;
    const std::vector<HeldKey>& heldKeys() const { return held_; }
    bool shiftHeld() const;
    bool ctrlHeld() const;
    bool altHeld() const;
    bool capsLockOn() const { return isHeld(kCodeCapsLock); }
    // The lock states as the held-key list has them.
    LockState locks() const;
    // The lock toggles from the modifier state of the latest key event
    // (Scroll Lock from the held-key list, since the bits carry none).
    LockState platformLocks() const;
    int altCodeState() const { return altState_; }

    // The key-event queue (presses positive, releases negative) and the port
    // scan-code queue, oldest first; for the runtime's key-hit queries, which
    // the game does not use.
    struct KeyEvent {
        std::int32_t code;
        bool keypad;
    };
    std::vector<KeyEvent> keyEvents() const;
    std::vector<std::uint8_t> portScanCodes() const;

    // Writes the bytes at 0x417, 0x418 and 0x496 from the held-key list.
    void rebuildShiftState();

  private:
    void addHeld(std::int32_t code, std::int32_t symbol);
    void removeHeld(std::int32_t code);
    void toggleState(std::int32_t code);
    void recordEvent(std::int32_t code, bool keypad);
    void queuePortScan(std::uint8_t scan);
    void store(std::int32_t k, bool fromText);
    void pressLetter(std::int32_t lower, std::int32_t symbol);
    void enterLock(std::int32_t code, std::int32_t symbol);
    bool altGrHeld() const;

    std::vector<HeldKey> held_;
    int altState_ = 0; // 0 idle, 1 Alt down, 2 digits typed
    std::uint64_t altAccumulator_ = 0;
    std::uint32_t lastMod_ = 0;
    bool lockEntry_ = false; // entering a platform lock state, not a key press

    static constexpr std::size_t kEventQueueSize = 8192;
    std::vector<KeyEvent> events_;
    std::size_t eventStart_ = 0;
    std::size_t eventCount_ = 0;

    static constexpr std::size_t kPortQueueSize = 256;
    std::array<std::uint8_t, kPortQueueSize> port_{};
    std::size_t portStart_ = 0;
    std::size_t portCount_ = 0;
    int lastPortScan_ = -1; // a code equal to the last one queued is not queued again
};

// Keyboard::instance().
Keyboard& keyboard();

} // namespace host
