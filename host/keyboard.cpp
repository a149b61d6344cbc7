// The PC-style keyboard model (see keyboard.h for the key codes).
//
// A key-down event goes through three stages. The key-down translation
// looks at the key identity and Unicode value and picks a key code: keypad keys
// by symbol, control characters typed with Ctrl back to their letter keys,
// other text through code page 437, function and cursor keys to their
// extended codes. The key press then runs the special-key rules (Break,
// Pause, Alt+Enter) and finally looks the code up in the key translation
// table, under the state the held modifiers give (plain, Shift, Ctrl, Alt,
// Num Lock, Num Lock + Shift), and stores the resulting (character, scan
// code) pair in the keyboard ring. Key-up events release what the key
// pressed, found by its identity, and complete an Alt-code when Alt goes up.
#include "host/keyboard.h"

#include <algorithm>

#include "host/cp437.h"
#include "host/host_core.h"
#include "runtime/keyboard_buffer.h"

namespace host {
namespace {

using Table = std::array<KeyRecord, kKeyRecords>;

KeyRecord record(std::int32_t identity, std::int32_t scan, std::int32_t plain, std::int32_t shift,
                 std::int32_t ctrl, std::int32_t alt, std::int32_t numLock = 0,
                 std::int32_t numLockShift = 0) {
    return {identity, scan, plain, shift, ctrl, alt, numLock, 0, 0, numLockShift};
}

Table buildTable() {
    Table t{};

    // Letters: both cases share their key's scan code.
    constexpr std::uint8_t letterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                             0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                             0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (int i = 0; i < 26; ++i) {
        int scan = letterScan[i];
        for (int c : {'a' + i, 'A' + i})
            t[c] = record(c, scan, c, c, i + 1, scan * 256);
    }

    // The digit row with its shifted symbols, in key order 1..9, 0.
    constexpr char digits[] = "1234567890";
    constexpr char shifted[] = "!@#$%^&*()";
    for (int i = 0; i < 10; ++i) {
        int scan = 0x02 + i;
        int alt = 0x7800 + i * 0x100;
        for (int c : {int(digits[i]), int(shifted[i])}) {
            int ctrl = 0;
            if (c == '2' || c == '@') ctrl = 0x0300;
            if (c == '6' || c == '^') ctrl = 30;
            t[c] = record(c, scan, c, c, ctrl, alt);
        }
    }

    struct Pair {
        char a, b;
        int scan, ctrl, alt;
    };
    constexpr Pair pairs[] = {
        {'-', '_', 0x0C, 31, 0x8200}, {'=', '+', 0x0D, 0, 0x8300},   {'[', '{', 0x1A, 27, 0x1A00},
        {']', '}', 0x1B, 29, 0x1B00}, {'\\', '|', 0x2B, 28, 0x2B00}, {';', ':', 0x27, 0, 0x2700},
        {'\'', '"', 0x28, 0, 0x2800}, {',', '<', 0x33, 0, 0x3300},   {'.', '>', 0x34, 0, 0x3400},
        {'/', '?', 0x35, 0, 0x3500},  {'`', '~', 0x29, 0, 0x2900},
    };
    for (const Pair& p : pairs) {
        for (int c : {int(p.a), int(p.b)})
            t[c] = record(c, p.scan, c, c, p.ctrl, p.alt);
    }

    t[8] = record(8, 0x0E, 8, 8, 127, 0x0E00);
    t[9] = record(9, 0x0F, 9, 0x0F00, 0x9400, 0);
    t[13] = record(13, 0x1C, 13, 13, 10, 0);
    t[27] = record(27, 0x01, 27, 27, 27, 0);
    t[32] = record(32, 0x39, 32, 32, 32, 0);

    // Extended keys, indexed by 256 + the high byte of their code.
    for (int i = 0; i < 10; ++i) {
        int scan = 0x3B + i;
        t[256 + scan] = record(scan * 256, scan, scan * 256, 0x5400 + i * 0x100, 0x5E00 + i * 0x100,
                               0x6800 + i * 0x100);
    }
    t[256 + 0x85] = record(0x8500, 0x57, 0x8500, 0x8500, 0x8900, 0x8B00);
    t[256 + 0x86] = record(0x8600, 0x58, 0x8600, 0x8600, 0x8A00, 0x8C00);
    struct Cursor {
        int scan, ctrl, alt;
    };
    constexpr Cursor cursor[] = {
        {0x47, 0x7700, 0x9700}, // Home
        {0x48, 0x8D00, 0x9800}, // Up
        {0x49, 0x8400, 0x9900}, // Page Up
        {0x4B, 0x7300, 0x9B00}, // Left
        {0x4D, 0x7400, 0x9D00}, // Right
        {0x4F, 0x7500, 0x9F00}, // End
        {0x50, 0x9100, 0xA000}, // Down
        {0x51, 0x7600, 0xA100}, // Page Down
        {0x52, 0x9200, 0xA200}, // Insert
        {0x53, 0x9300, 0xA300}, // Delete
    };
    for (const Cursor& c : cursor) {
        t[256 + c.scan] = record(c.scan * 256, c.scan, c.scan * 256, c.scan * 256, c.ctrl, c.alt);
    }

    // Keypad: digits 0..9 and '.' act as cursor keys unless Num Lock (or
    // Shift) makes them characters.
    struct Keypad {
        int scan, plain, shift, ctrl, alt, numLock, numLockShift;
    };
    constexpr Keypad keypad[16] = {
        {0x52, 0x5200, '0', 0x9200, 0, '0', 0x5200}, // 0
        {0x4F, 0x4F00, '1', 0x7500, 0, '1', 0x4F00}, // 1
        {0x50, 0x5000, '2', 0x9100, 0, '2', 0x5000}, // 2
        {0x51, 0x5100, '3', 0x7600, 0, '3', 0x5100}, // 3
        {0x4B, 0x4B00, '4', 0x7300, 0, '4', 0x4B00}, // 4
        {0x4C, 0x4C00, '5', 0x8F00, 0, '5', 0x4C00}, // 5
        {0x4D, 0x4D00, '6', 0x7400, 0, '6', 0x4D00}, // 6
        {0x47, 0x4700, '7', 0x7700, 0, '7', 0x4700}, // 7
        {0x48, 0x4800, '8', 0x8D00, 0, '8', 0x4800}, // 8
        {0x49, 0x4900, '9', 0x8400, 0, '9', 0x4900}, // 9
        {0x53, 0x5300, '.', 0x9300, 0, '.', 0x5300}, // .
        {0x35, '/', '/', 0x9500, 0xA400, '/', '/'},  // /
        {0x37, '*', '*', 0x9600, 0x3700, '*', '*'},  // *
        {0x4A, '-', '-', 0x8E00, 0x4A00, '-', '-'},  // -
        {0x4E, '+', '+', 0x9000, 0x4E00, '+', '+'},  // +
        {0x1C, 13, 13, 10, 0xA600, 13, 13},          // Enter
    };
    for (int i = 0; i < 16; ++i) {
        const Keypad& k = keypad[i];
        t[kKeypadRecord + i] = record(kCodeKeypadFirst + i, k.scan, k.plain, k.shift, k.ctrl, k.alt,
                                      k.numLock, k.numLockShift);
    }
    return t;
}

const Table& table() {
    static const Table t = buildTable();
    return t;
}

// The value column for a state: 0 plain, 1 Shift, 2 Ctrl, 3 Alt, 4 Num Lock,
// 7 Num Lock + Shift.
int column(int state) {
    return kFieldPlain + state;
}

bool isModifier(std::int32_t k) {
    return k >= kCodeNumLock && k <= kCodeLeftAlt;
}
bool isKeypadCode(std::int32_t k) {
    return (k >= kCodeKeypadFirst && k <= kCodeKeypadLast) ||
           (k >= kCodeKeypadBare && k <= kCodeKeypadBare + 10);
}

std::uint8_t modifierScan(std::int32_t k) {
    switch (k) {
    case kCodeLeftShift:
        return 42;
    case kCodeRightShift:
        return 54;
    case kCodeLeftCtrl:
    case kCodeRightCtrl:
        return 29;
    case kCodeLeftAlt:
    case kCodeRightAlt:
        return 56;
    case kCodeNumLock:
        return 69;
    case kCodeCapsLock:
        return 58;
    case kCodeScrollLock:
        return 70;
    default:
        return 0;
    }
}

// The table record a key code is stored through, or -1.
int recordFor(std::int32_t k) {
    if (k >= 0 && k <= 255) return k;
    if (k >= kCodeKeypadFirst && k <= kCodeKeypadLast)
        return kKeypadRecord + (k - kCodeKeypadFirst);
    if (k >= kCodeKeypadBare && k <= kCodeKeypadBare + 10)
        return kKeypadRecord + (k - kCodeKeypadBare);
    if (k > 255 && k <= 0xFFFF) return 256 + k / 256;
    return -1;
}

void storePair(std::int32_t v, std::int32_t scan) {
    if (v == 0) return;
    if (v >= 256) {
        rt::storeKeyPair(0, static_cast<std::uint8_t>(v / 256));
    } else {
        rt::storeKeyPair(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(scan));
    }
}

// Whether character k is one the key with that symbol carries itself: the
// symbol's own character, a letter's capital (Shift or Caps Lock), or, with
// Shift held, the character Shift gives on the same PC key ('8' and '*',
// same scan code). Without Shift only the first two count: the French 3 key
// arrives as symbol '3' with '#' from AltGr, although '#' is Shift+3 on the
// PC's own layout.
bool keysOwnCharacter(std::int32_t k, std::int32_t symbol, bool shift) {
    if (k == symbol) return true;
    if (symbol >= 'a' && symbol <= 'z' && k == symbol - 32) return true;
    if (!shift || symbol <= 0 || symbol > 127 || k <= 0 || k > 127) return false;
    std::int32_t scan = table()[symbol][kFieldScan];
    return scan != 0 && table()[k][kFieldScan] == scan;
}

// AltGr as X11 reports it: right Alt alone (no left Alt, no Ctrl) with a
// character that the key does not carry itself, such as '@' from AltGr+Q on
// a German layout (right Alt+Q there arrives with Unicode 64, on a US layout
// with 113). A character the key carries plainly or with Shift is Alt+key.
bool altGrTyped(const Keyboard& kb, std::int32_t k, std::int32_t symbol) {
    return kb.isHeld(kCodeRightAlt) && !kb.isHeld(kCodeLeftAlt) && !kb.ctrlHeld() &&
           !keysOwnCharacter(k, symbol, kb.shiftHeld());
}

// The extended code (scan code times 256, character 0) of a navigation key,
// or 0 for any other symbol.
std::int32_t navigationCode(std::int32_t symbol) {
    struct Navigation {
        std::int32_t symbol;
        std::int32_t code;
    };
    constexpr Navigation keys[] = {
        {kKeyHome, 0x4700},   {kKeyUp, 0x4800},     {kKeyPageUp, 0x4900}, {kKeyLeft, 0x4B00},
        {kKeyRight, 0x4D00},  {kKeyEnd, 0x4F00},    {kKeyDown, 0x5000},   {kKeyPageDown, 0x5100},
        {kKeyInsert, 0x5200}, {kKeyDelete, 0x5300},
    };
    for (const Navigation& k : keys)
        if (k.symbol == symbol) return k.code;
    return 0;
}

} // namespace

const KeyRecord& keyRecord(int index) {
    static const KeyRecord empty{};
    if (index < 0 || index >= kKeyRecords) return empty;
    return table()[index];
}

std::int32_t characterCode(std::uint32_t u) {
    if (u <= 127) return static_cast<std::int32_t>(u);
    for (int i = 0; i < 256; ++i) {
        if (cp437ToUnicode[i] == u) return i;
    }
    if (u >= 0xFF01 && u <= 0xFF5E) return static_cast<std::int32_t>(u - 0xFEE0);
    if (u == 0x3000) return 32;
    return kCodeUnicode + static_cast<std::int32_t>(u & 0x3FFFFFFF);
}

LockState locksFromMod(std::uint32_t mod, bool scrollLockOn) {
    LockState s;
    s.scrollLock = scrollLockOn;
    s.capsLock = (mod & kModCapsLock) != 0;
    s.numLock = (mod & kModNumLock) != 0;
    return s;
}

HeldModifiers heldFromMod(std::uint32_t mod) {
    HeldModifiers h;
    h.leftShift = (mod & kModLeftShift) != 0;
    h.rightShift = (mod & kModRightShift) != 0;
    h.leftCtrl = (mod & kModLeftCtrl) != 0;
    h.rightCtrl = (mod & kModRightCtrl) != 0;
    h.leftAlt = (mod & kModLeftAlt) != 0;
    h.rightAlt = (mod & kModRightAlt) != 0;
    return h;
}

Keyboard::Keyboard() : events_(kEventQueueSize) {}

void Keyboard::reset() {
    held_.clear();
    altState_ = 0;
    altAccumulator_ = 0;
    lastMod_ = 0;
    lockEntry_ = false;
    eventStart_ = eventCount_ = 0;
    portStart_ = portCount_ = 0;
    lastPortScan_ = -1;
}

// ---- Held-key list ----

bool Keyboard::isHeld(std::int32_t code) const {
    return std::any_of(held_.begin(), held_.end(),
                       [code](const HeldKey& h) { return h.code == code; });
}

void Keyboard::addHeld(std::int32_t code, std::int32_t symbol) {
    if (!isHeld(code)) held_.push_back({code, symbol});
}

void Keyboard::removeHeld(std::int32_t code) {
    auto it = std::find_if(held_.begin(), held_.end(),
                           [code](const HeldKey& h) { return h.code == code; });
    if (it != held_.end()) held_.erase(it);
}

void Keyboard::toggleState(std::int32_t code) {
    if (isHeld(code)) {
        removeHeld(code);
    } else {
        held_.push_back({code, -1});
    }
}

bool Keyboard::shiftHeld() const {
    return isHeld(kCodeLeftShift) || isHeld(kCodeRightShift);
}
bool Keyboard::ctrlHeld() const {
    return isHeld(kCodeLeftCtrl) || isHeld(kCodeRightCtrl);
}
bool Keyboard::altHeld() const {
    return isHeld(kCodeLeftAlt) || isHeld(kCodeRightAlt);
}

bool Keyboard::altGrHeld() const {
    return isHeld(kCodeLeftCtrl) && isHeld(kCodeRightAlt) && !isHeld(kCodeLeftAlt) &&
           !isHeld(kCodeRightCtrl);
}

LockState Keyboard::locks() const {
    LockState s;
    s.scrollLock = isHeld(kStateScrollLock);
    s.capsLock = isHeld(kCodeCapsLock);
    s.numLock = isHeld(kCodeNumLock);
    return s;
}

LockState Keyboard::platformLocks() const {
    return locksFromMod(lastMod_, isHeld(kStateScrollLock));
}

void Keyboard::rebuildShiftState() {
    auto bit = [this](std::int32_t code, int n) {
        return static_cast<std::uint8_t>(isHeld(code) ? 1u << n : 0u);
    };
    std::uint8_t b417 = bit(kCodeRightShift, 0) | bit(kCodeLeftShift, 1) |
                        static_cast<std::uint8_t>(ctrlHeld() ? 4 : 0) |
                        static_cast<std::uint8_t>(altHeld() ? 8 : 0) | bit(kStateScrollLock, 4) |
                        bit(kCodeNumLock, 5) | bit(kCodeCapsLock, 6) | bit(kStateInsert, 7);
    std::uint8_t b418 = bit(kCodeLeftCtrl, 0) | bit(kCodeLeftAlt, 1) | bit(kCodeSysReq, 2) |
                        bit(kCodePause, 3) | bit(kCodeScrollLock, 4) | bit(kCodeInsert, 7);
    std::uint8_t b496 = bit(kCodeRightCtrl, 0) | bit(kCodeRightAlt, 1) | 0x10;
    rt::setLowByte(0x417, b417);
    rt::setLowByte(0x418, b418);
    rt::setLowByte(0x496, b496);
}

// ---- Queues ----

void Keyboard::recordEvent(std::int32_t code, bool keypad) {
    std::size_t slot = (eventStart_ + eventCount_) % kEventQueueSize;
    events_[slot] = {code, keypad};
    if (eventCount_ < kEventQueueSize) {
        ++eventCount_;
    } else {
        eventStart_ = (eventStart_ + 1) % kEventQueueSize; // the oldest is overwritten
    }
}

void Keyboard::queuePortScan(std::uint8_t scan) {
    if (scan == lastPortScan_) return;
    lastPortScan_ = scan;
    if (portCount_ == kPortQueueSize) { // full: drop the oldest
        portStart_ = (portStart_ + 1) % kPortQueueSize;
        --portCount_;
    }
    port_[(portStart_ + portCount_) % kPortQueueSize] = scan;
    ++portCount_;
}

std::vector<Keyboard::KeyEvent> Keyboard::keyEvents() const {
    std::vector<KeyEvent> out;
    out.reserve(eventCount_);
    for (std::size_t i = 0; i < eventCount_; ++i)
        out.push_back(events_[(eventStart_ + i) % kEventQueueSize]);
    return out;
}

std::vector<std::uint8_t> Keyboard::portScanCodes() const {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < portCount_; ++i)
        out.push_back(port_[(portStart_ + i) % kPortQueueSize]);
    return out;
}

// ---- Key press and release ----

void Keyboard::keyPress(std::int32_t k, std::int32_t symbol, bool fromText) {
    if (k == 0) k = kCodeZero;
    bool wasHeld = isHeld(k);
    addHeld(k, symbol);

    // Entering a platform lock state (start-up, lock sync) is not a key
    // stroke: it neither breaks nor pauses nor ends a pause.
    if (!lockEntry_) {
        // Break: the Break key, or Ctrl with Scroll Lock, F15 or Pause (the
        // PC's Ctrl+Pause is Break; SDL reports no Break key of its own).
        bool breakWithCtrl = k == kCodeScrollLock || k == kCodeF15 || k == kCodePause;
        if (k == kCodeBreak || (breakWithCtrl && ctrlHeld())) {
            requestExit();
            return;
        }
        if (k == kCodePause || (k == kCodeNumLock && ctrlHeld())) {
            pauseGame();
            return;
        }
        if (gamePaused()) {
            endPause();
            return; // the key only ends the pause
        }
    }
    if (altHeld() && k == 13) {
        countFullScreenToggle();
        return;
    }
    if (altState_ != 2) recordEvent(k, isKeypadCode(k)); // no key traps are defined

    if (isModifier(k)) {
        queuePortScan(modifierScan(k));
        if (k == kCodeScrollLock && !ctrlHeld() && !wasHeld) toggleState(kStateScrollLock);
        rebuildShiftState();
        return;
    }
    int r = recordFor(k);
    if (r < 0) return; // codes above 0xFFFF store nothing
    const KeyRecord& rec = table()[r];

    if (r < 256) {
        std::int32_t scan = rec[kFieldScan];
        if (scan == 0) {
            rt::storeKeyPair(static_cast<std::uint8_t>(k), 0);
            return;
        }
        queuePortScan(static_cast<std::uint8_t>(scan));
        int state = 0;
        if (shiftHeld()) state = 1;
        if (ctrlHeld()) state = 2;
        if (altHeld()) state = 3;
        // A character typed through AltGr is text, as if no modifier were
        // held; the platforms report AltGr as left Ctrl + right Alt, or as
        // right Alt alone.
        if (fromText && (altGrHeld() || altGrTyped(*this, k, symbol))) state = 0;
        storePair(rec[column(state)], scan);
        return;
    }

    if (rec[kFieldPlain] == 0) {
        rt::storeKeyPair(0, static_cast<std::uint8_t>(k / 256));
        return;
    }
    queuePortScan(static_cast<std::uint8_t>(rec[kFieldScan]));
    bool numeric = k >= kCodeKeypadFirst && k <= kCodeKeypadFirst + 10;
    bool shift = shiftHeld();
    int state = 0;
    if (numeric) state = 4;
    if (shift) state = numeric ? 7 : 1;
    if (ctrlHeld()) state = 2;
    if (altHeld()) state = 3;
    if (k == kCodeInsert && !shift && !ctrlHeld() && !altHeld() && !wasHeld) {
        toggleState(kStateInsert);
    }
    if (k == kCodeInsert) rebuildShiftState();
    storePair(rec[column(state)], rec[kFieldScan]);
}

void Keyboard::keyRelease(std::int32_t k) {
    if (k == 0) k = kCodeZero;
    removeHeld(k);
    if (altState_ != 2) recordEvent(-k, isKeypadCode(k));
    std::int32_t scan = 0;
    if (isModifier(k)) {
        scan = modifierScan(k);
    } else if (int r = recordFor(k); r >= 0) {
        scan = table()[r][kFieldScan];
    }
    if (scan != 0) queuePortScan(static_cast<std::uint8_t>(scan + 128));
    if (isModifier(k) || k == kCodeInsert) rebuildShiftState();
}

void Keyboard::characterPress(std::uint32_t u, std::int32_t symbol) {
    keyPress(characterCode(u), symbol, true);
}

void Keyboard::characterRelease(std::uint32_t u) {
    keyRelease(characterCode(u));
}

void Keyboard::typeCharacter(std::uint32_t u) {
    characterPress(u, 0);
    characterRelease(u);
}

void Keyboard::releaseBySymbol(std::int32_t symbol) {
    for (const HeldKey& h : held_) {
        if (h.symbol == symbol && h.code != kStateScrollLock && h.code != kStateInsert) {
            keyRelease(h.code);
            return;
        }
    }
}

void Keyboard::pressLetter(std::int32_t lower, std::int32_t symbol) {
    bool upper = ((capsLockOn() ? 1 : 0) + (shiftHeld() ? 1 : 0)) % 2 == 1;
    keyPress(upper ? lower - 32 : lower, symbol);
}

// ---- Key events ----

void Keyboard::keyDown(KeyId key, std::uint16_t unicode, std::uint32_t mod) {
    lastMod_ = static_cast<std::uint32_t>(mod);
    std::int32_t sym = static_cast<std::int32_t>(key);
    std::uint32_t u = unicode;

    // Alt-code entry: Alt down, keypad digits, Alt up (see keyUp).
    bool isAlt = key == kKeyLeftAlt || key == kKeyRightAlt;
    if (isAlt) {
        if (!altHeld()) {
            altState_ = 1;
            altAccumulator_ = 0;
        }
    } else if (altState_ != 0) {
        if (key >= kKeyKeypad0 && key <= kKeyKeypad9) {
            altState_ = 2;
            altAccumulator_ = altAccumulator_ * 10 + static_cast<std::uint64_t>(sym - kKeyKeypad0);
        } else {
            altState_ = 0;
        }
    }

    if (u == 127 && sym == kKeyBackspace) u = 8;
    if (u == 127 && sym == kKeyDelete) u = 0;

    if (u != 0) {
        if (sym >= kKeyKeypad0 && sym <= kKeyKeypadEnter) {
            keyPress(kSymbolBase + sym, sym);
            return;
        }
        if (ctrlHeld()) {
            struct CtrlPair {
                std::uint32_t u;
                std::int32_t sym;
            };
            constexpr CtrlPair pairs[] = {{10, 13},  {27, 27},   {32, 32}, {30, '6'},
                                          {27, '['}, {28, '\\'}, {29, ']'}};
            for (const CtrlPair& p : pairs) {
                if (p.u == u && p.sym == sym) {
                    keyPress(sym, sym);
                    return;
                }
            }
            // A control character typed with Ctrl goes back to its letter key,
            // whose Ctrl value gives it again. Backspace, Tab and Enter report
            // their own control characters (8, 9, 13): they stay themselves so
            // that their own Ctrl values (127, Ctrl+Tab, 10) apply rather than
            // those of H, I and M.
            if (u >= 1 && u <= 26 && sym != kKeyBackspace && sym != kKeyTab && sym != kKeyReturn) {
                pressLetter(static_cast<std::int32_t>(u) + 96, sym);
                return;
            }
        }
        characterPress(u, sym);
        if (sym == 0) characterRelease(u); // text from the input method
        return;
    }
    if (sym == 0) return;

    if (sym >= kKeyKeypad0 && sym <= kKeyKeypadPeriod) {
        keyPress(sym + (kCodeKeypadBare - kKeyKeypad0), sym);
    } else if (sym >= kKeyKeypadDivide && sym <= kKeyKeypadEnter) {
        keyPress(kSymbolBase + sym, sym);
    } else if (sym >= kKeyF1 && sym <= kKeyF10) {
        keyPress((sym - 223) * 256, sym);
    } else if (sym == kKeyF11 || sym == kKeyF12) {
        keyPress((sym - 159) * 256, sym);
    } else if (const std::int32_t code = navigationCode(sym); code != 0) {
        keyPress(code, sym);
    } else if (ctrlHeld() &&
               ((sym >= 32 && sym <= 96) || sym == 8 || sym == 9 || sym == 13 || sym == 27)) {
        keyPress(sym, sym);
    } else if (sym >= 'a' && sym <= 'z') {
        pressLetter(sym, sym);
    } else if (sym < 32 || sym > 127) {
        keyPress(kSymbolBase + sym, sym);
    }
}

void Keyboard::keyUp(KeyId key, std::uint32_t mod) {
    lastMod_ = static_cast<std::uint32_t>(mod);
    std::int32_t completed = -1;
    if (altState_ != 0 && (key == kKeyLeftAlt || key == kKeyRightAlt)) {
        if (altState_ == 2) completed = static_cast<std::int32_t>(altAccumulator_ % 256);
        altState_ = 0;
    }
    releaseBySymbol(static_cast<std::int32_t>(key));
    if (completed >= 0) {
        keyPress(completed, 0, true);
        keyRelease(completed);
    }
}

// ---- Lock keys ----

void Keyboard::enterLock(std::int32_t code, std::int32_t symbol) {
    lockEntry_ = true;
    keyPress(code, symbol);
    lockEntry_ = false;
}

void Keyboard::syncLocks(LockState platform) {
    if (platform.scrollLock != isHeld(kStateScrollLock)) toggleState(kStateScrollLock);
    if (platform.capsLock != isHeld(kCodeCapsLock)) {
        if (platform.capsLock) {
            enterLock(kCodeCapsLock, kKeyCapsLock);
        } else {
            keyRelease(kCodeCapsLock);
        }
    }
    if (platform.numLock != isHeld(kCodeNumLock)) {
        if (platform.numLock) {
            enterLock(kCodeNumLock, kKeyNumLock);
        } else {
            keyRelease(kCodeNumLock);
        }
    }
    rebuildShiftState();
}

void Keyboard::startUp(LockState locks, HeldModifiers held) {
    if (locks.scrollLock) addHeld(kStateScrollLock, -1);
    if (held.scrollLock) enterLock(kCodeScrollLock, kKeyScrollLock);
    if (held.leftShift) enterLock(kCodeLeftShift, kKeyLeftShift);
    if (held.rightShift) enterLock(kCodeRightShift, kKeyRightShift);
    if (held.leftCtrl) enterLock(kCodeLeftCtrl, kKeyLeftCtrl);
    if (held.rightCtrl) enterLock(kCodeRightCtrl, kKeyRightCtrl);
    if (held.leftAlt) enterLock(kCodeLeftAlt, kKeyLeftAlt);
    if (held.rightAlt) enterLock(kCodeRightAlt, kKeyRightAlt);
    if (locks.capsLock) enterLock(kCodeCapsLock, kKeyCapsLock);
    if (locks.numLock) enterLock(kCodeNumLock, kKeyNumLock);
    lastMod_ = (locks.capsLock ? static_cast<std::uint32_t>(kModCapsLock) : 0u) |
               (locks.numLock ? static_cast<std::uint32_t>(kModNumLock) : 0u);
    rebuildShiftState();
}

void Keyboard::startUp(std::uint32_t mod, bool scrollLockOn) {
    startUp(locksFromMod(mod, scrollLockOn), heldFromMod(mod));
    lastMod_ = mod;
}

Keyboard& Keyboard::instance() {
    static Keyboard model;
    return model;
}

Keyboard& keyboard() {
    return Keyboard::instance();
}

} // namespace host
