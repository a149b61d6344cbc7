// The keyboard model: SDL key events in, (character, scan code) pairs in the
// low-memory ring out, plus the special keys, the held-key list, the
// shift-state bytes and the code page 437 table.
#include <gtest/gtest.h>

#include "host/host_core.h"
#include <unistd.h>

#include <cstdlib>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "host/cp437.h"
#include "host/keyboard.h"
#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/strings.h"

namespace {

using namespace host;

using Pair = std::pair<int, int>; // (character, scan code)

// One SDL event: down (with its Unicode value) or up.
struct Ev {
    bool down;
    KeyId sym;
    std::uint16_t u;
};
Ev down(int sym, std::uint16_t u = 0) {
    return {true, static_cast<KeyId>(sym), u};
}
Ev up(int sym) {
    return {false, static_cast<KeyId>(sym), 0};
}

// The pairs waiting in the ring, oldest first, without taking them.
std::vector<Pair> ringPairs() {
    std::vector<Pair> out;
    int head = rt::lowByte(rt::kKeyHead);
    int tail = rt::lowByte(rt::kKeyTail);
    while (head != tail) {
        out.emplace_back(rt::lowByte(0x400 + head), rt::lowByte(0x401 + head));
        head = head + 2 > rt::kRingLast ? rt::kRingFirst : head + 2;
    }
    return out;
}

class KeyboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rt::resetErrorsAndFlags();
        host::resetHostState();
        rt::initStringStore();
        rt::resetLowMemory();
    }
    void TearDown() override { rt::resetErrorsAndFlags(); }

    void play(const std::vector<Ev>& events) {
        for (const Ev& e : events) {
            if (e.down) {
                kb.keyDown(e.sym, e.u);
            } else {
                kb.keyUp(e.sym);
            }
        }
    }
    // A key typed and released.
    void tap(int sym, std::uint16_t u = 0) { play({down(sym, u), up(sym)}); }

    host::Keyboard kb;
};

struct Case {
    const char* name;
    host::LockState locks;
    std::vector<Ev> events;
    std::vector<Pair> stored;
};

std::vector<Ev> with(int modifier, std::vector<Ev> inner) {
    std::vector<Ev> out{down(modifier)};
    out.insert(out.end(), inner.begin(), inner.end());
    out.push_back(up(modifier));
    return out;
}
std::vector<Ev> tapped(int sym, std::uint16_t u = 0) {
    return {down(sym, u), up(sym)};
}
std::vector<Ev> concat(std::initializer_list<std::vector<Ev>> parts) {
    std::vector<Ev> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const host::LockState kNoLocks{};
const host::LockState kNumLock{false, false, true};
const host::LockState kCapsLock{false, true, false};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {"LettersAndEnter",
         kNoLocks,
         concat({tapped('a', 'a'), tapped('b', 'b'), tapped(kKeyReturn, 13)}),
         {{97, 0x1E}, {98, 0x30}, {13, 0x1C}}},
        {"UpArrow", kNoLocks, tapped(kKeyUp), {{0, 0x48}}},
        {"ShiftA", kNoLocks, with(kKeyLeftShift, tapped('a', 'A')), {{65, 0x1E}}},
        {"CtrlC", kNoLocks, with(kKeyLeftCtrl, tapped('c', 3)), {{3, 0x2E}}},
        {"CtrlCWithoutUnicode", kNoLocks, with(kKeyRightCtrl, tapped('c', 0)), {{3, 0x2E}}},
        {"AltX", kNoLocks, with(kKeyLeftAlt, tapped('x', 'x')), {{0, 0x2D}}},
        {"F1", kNoLocks, tapped(kKeyF1), {{0, 0x3B}}},
        {"F10", kNoLocks, tapped(kKeyF10), {{0, 0x44}}},
        {"F11", kNoLocks, tapped(kKeyF11), {{0, 0x85}}},
        {"F12", kNoLocks, tapped(kKeyF12), {{0, 0x86}}},
        {"ShiftF1", kNoLocks, with(kKeyLeftShift, tapped(kKeyF1)), {{0, 0x54}}},
        {"CtrlF12", kNoLocks, with(kKeyLeftCtrl, tapped(kKeyF12)), {{0, 0x8A}}},
        {"AltF4",
         kNoLocks,
         with(kKeyRightAlt, tapped(static_cast<KeyId>(kKeyF1 + 3))),
         {{0, 0x6B}}},
        {"Keypad7NumLockOn",
         kNumLock,
         tapped(static_cast<KeyId>(kKeyKeypad0 + 7), '7'),
         {{'7', 0x47}}},
        {"Keypad7NumLockOff", kNoLocks, tapped(static_cast<KeyId>(kKeyKeypad0 + 7)), {{0, 0x47}}},
        {"ShiftKeypad7NumLockOn",
         kNumLock,
         with(kKeyLeftShift, tapped(static_cast<KeyId>(kKeyKeypad0 + 7), '7')),
         {{0, 0x47}}},
        {"KeypadSlash", kNoLocks, tapped(kKeyKeypadDivide, '/'), {{'/', 0x35}}},
        {"KeypadEnter", kNumLock, tapped(kKeyKeypadEnter, 13), {{13, 0x1C}}},
        {"CtrlKeypadEnter",
         kNoLocks,
         with(kKeyLeftCtrl, tapped(kKeyKeypadEnter, 13)),
         {{10, 0x1C}}},
        {"CtrlHome", kNoLocks, with(kKeyLeftCtrl, tapped(kKeyHome)), {{0, 0x77}}},
        {"CursorKeys",
         kNoLocks,
         concat({tapped(kKeyHome), tapped(kKeyEnd), tapped(kKeyPageUp), tapped(kKeyPageDown),
                 tapped(kKeyLeft), tapped(kKeyRight), tapped(kKeyDown), tapped(kKeyDelete, 127)}),
         {{0, 0x47}, {0, 0x4F}, {0, 0x49}, {0, 0x51}, {0, 0x4B}, {0, 0x4D}, {0, 0x50}, {0, 0x53}}},
        {"CursorUp", kNoLocks, tapped(kKeyUp), {{0, 0x48}}},
        {"AltKeypad65",
         kNumLock,
         with(kKeyLeftAlt, concat({tapped(static_cast<KeyId>(kKeyKeypad0 + 6), '6'),
                                   tapped(static_cast<KeyId>(kKeyKeypad0 + 5), '5')})),
         {{65, 0x1E}}},
        {"AltKeypad321Wraps",
         kNumLock,
         with(kKeyRightAlt, concat({tapped(static_cast<KeyId>(kKeyKeypad0 + 3), '3'),
                                    tapped(static_cast<KeyId>(kKeyKeypad0 + 2), '2'),
                                    tapped(static_cast<KeyId>(kKeyKeypad0 + 1), '1')})),
         {{65, 0x1E}}},
        {"AltKeypadWithoutNumLock",
         kNoLocks,
         with(kKeyLeftAlt,
              concat({tapped(kKeyKeypad9), tapped(static_cast<KeyId>(kKeyKeypad0 + 7))})),
         {{'a', 0x1E}}},
        {"AltCodeBrokenByOtherKey",
         kNumLock,
         with(kKeyLeftAlt,
              concat({tapped(static_cast<KeyId>(kKeyKeypad0 + 6), '6'), tapped('q', 'q'),
                      tapped(static_cast<KeyId>(kKeyKeypad0 + 5), '5')})),
         {{0, 0x10}}},
        {"Ctrl2", kNoLocks, with(kKeyLeftCtrl, tapped('2', 0)), {{0, 3}}},
        {"Ctrl6", kNoLocks, with(kKeyLeftCtrl, tapped('6', 30)), {{30, 0x07}}},
        {"Ctrl1StoresNothing", kNoLocks, with(kKeyLeftCtrl, tapped('1', 0)), {}},
        {"CtrlMinus", kNoLocks, with(kKeyLeftCtrl, tapped('-', 0)), {{31, 0x0C}}},
        {"CtrlBracket", kNoLocks, with(kKeyLeftCtrl, tapped('[', 27)), {{27, 0x1A}}},
        {"CtrlBackslash", kNoLocks, with(kKeyLeftCtrl, tapped('\\', 28)), {{28, 0x2B}}},
        {"CtrlEnter", kNoLocks, with(kKeyLeftCtrl, tapped(kKeyReturn, 10)), {{10, 0x1C}}},
        {"CtrlSpace", kNoLocks, with(kKeyLeftCtrl, tapped(kKeySpace, 32)), {{32, 0x39}}},
        {"Backspace", kNoLocks, tapped(kKeyBackspace, 8), {{8, 0x0E}}},
        {"BackspaceReportedAs127", kNoLocks, tapped(kKeyBackspace, 127), {{8, 0x0E}}},
        {"CtrlBackspace", kNoLocks, with(kKeyLeftCtrl, tapped(kKeyBackspace, 127)), {{127, 0x0E}}},
        {"AltBackspace", kNoLocks, with(kKeyLeftAlt, tapped(kKeyBackspace, 8)), {{0, 0x0E}}},
        {"Escape", kNoLocks, tapped(kKeyEscape, 27), {{27, 0x01}}},
        {"AltEscapeStoresNothing", kNoLocks, with(kKeyLeftAlt, tapped(kKeyEscape, 27)), {}},
        {"Tab", kNoLocks, tapped(kKeyTab, 9), {{9, 0x0F}}},
        {"ShiftTab", kNoLocks, with(kKeyLeftShift, tapped(kKeyTab, 9)), {{0, 0x0F}}},
        {"AltTabStoresNothing", kNoLocks, with(kKeyLeftAlt, tapped(kKeyTab, 9)), {}},
        {"AltDigit", kNoLocks, with(kKeyLeftAlt, tapped('0', '0')), {{0, 0x81}}},
        {"AltEquals", kNoLocks, with(kKeyLeftAlt, tapped('=', '=')), {{0, 0x83}}},
        {"ShiftedSymbol", kNoLocks, with(kKeyLeftShift, tapped('2', '@')), {{'@', 0x03}}},
        {"CapsLockLetterWithoutUnicode", kCapsLock, tapped('a', 0), {{'A', 0x1E}}},
        {"CapsLockAndShiftCancel", kCapsLock, with(kKeyLeftShift, tapped('a', 0)), {{'a', 0x1E}}},
        {"CodePage437Character", kNoLocks, tapped('e', 0x00E9), {{0x82, 0}}},
        {"BoxDrawingCharacter", kNoLocks, tapped(0, 0x2502), {{0xB3, 0}}},
        {"FullWidthLetter", kNoLocks, tapped(0, 0xFF21), {{'A', 0x1E}}},
        {"IdeographicSpace", kNoLocks, tapped(0, 0x3000), {{32, 0x39}}},
        {"CharacterOutsideCodePage", kNoLocks, tapped(0, 0x4E2D), {}},
        {"AltGrCharacterUsesPlainState",
         kNoLocks,
         with(kKeyLeftCtrl, with(kKeyRightAlt, tapped('q', '@'))),
         {{'@', 0x03}}},
        // X11's AltGr: right Alt alone, with a character of another key.
        {"RightAltOtherKeysCharacterIsText",
         kNoLocks,
         with(kKeyRightAlt, tapped('q', '@')),
         {{'@', 0x03}}},
        {"RightAltOwnCharacterIsAlt", kNoLocks, with(kKeyRightAlt, tapped('q', 'q')), {{0, 0x10}}},
        {"RightAltShiftedOwnCharacterIsAlt",
         kNoLocks,
         with(kKeyLeftShift, with(kKeyRightAlt, tapped('8', '*'))),
         {{0, 0x7F}}},
        {"RightAltShiftedCharacterWithoutShiftIsText",
         kNoLocks,
         with(kKeyRightAlt, tapped('3', '#')),
         {{'#', 0x04}}},
        {"RightAltCapitalWithCapsLockIsAlt",
         kCapsLock,
         with(kKeyRightAlt, tapped('q', 'Q')),
         {{0, 0x10}}},
        {"LeftAltOtherKeysCharacterIsAlt",
         kNoLocks,
         with(kKeyLeftAlt, tapped('q', '@')),
         {{0, 0x79}}},
        {"UnknownKeyStoresNothing", kNoLocks, tapped(kKeyF13), {}},
        {"ModifiersAloneStoreNothing",
         kNoLocks,
         concat({tapped(kKeyLeftShift), tapped(kKeyRightCtrl), tapped(kKeyLeftAlt)}),
         {}},
    };
    return all;
}

TEST_F(KeyboardTest, SdlEventsStoreTheirTablePairs) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        rt::resetErrorsAndFlags();
        host::resetHostState();
        rt::resetLowMemory();
        kb.reset();
        kb.startUp(c.locks, host::HeldModifiers{});
        play(c.events);
        EXPECT_EQ(ringPairs(), c.stored);
        EXPECT_TRUE(kb.heldKeys().size() <= 3u); // only the lock states stay
        EXPECT_EQ(host::pendingFullScreenToggles(), 0);
        EXPECT_EQ((host::exitRequested() ? 1 : 0), 0);
    }
}

TEST_F(KeyboardTest, ReadKeyReturnsOneCharacterOrZeroAndScan) {
    tap('a', 'a');
    tap(kKeyUp);
    tap(kKeyReturn, 13);
    EXPECT_EQ(rt::readKey()->view(), "a");
    EXPECT_EQ(rt::readKey()->view(), std::string("\0\x48", 2));
    EXPECT_EQ(rt::readKey()->view(), "\r");
    EXPECT_EQ(rt::readKey()->length, 0);
    EXPECT_TRUE(rt::keyBufferEmpty());
}

TEST_F(KeyboardTest, ReadKeyIsEmptyWhileAnErrorIsPendingAndLeavesTheBuffer) {
    tap('a', 'a');
    rt::raiseError(5);
    EXPECT_EQ(rt::readKey()->length, 0);
    EXPECT_EQ(rt::keyBufferCount(), 1);
    rt::clearError();
    EXPECT_EQ(rt::readKey()->view(), "a");
}

TEST_F(KeyboardTest, SixteenKeysKeepTheFirstFifteen) {
    for (int i = 0; i < 16; ++i)
        tap('a' + i, static_cast<std::uint16_t>('a' + i));
    EXPECT_EQ(rt::keyBufferCount(), 15);
    std::vector<Pair> pairs = ringPairs();
    ASSERT_EQ(pairs.size(), 15u);
    EXPECT_EQ(pairs.front().first, 'a');
    EXPECT_EQ(pairs.back().first, 'a' + 14);
    EXPECT_FALSE(rt::storeKeyPair('z', 0));
    // Reading one frees one slot.
    EXPECT_EQ(rt::readKey()->view(), "a");
    EXPECT_TRUE(rt::storeKeyPair('z', 0));
    EXPECT_EQ(rt::keyBufferCount(), 15);
}

TEST_F(KeyboardTest, RingOffsetsWrapFromSixtyToThirty) {
    EXPECT_EQ(rt::lowByte(rt::kKeyHead), 30);
    EXPECT_EQ(rt::lowByte(rt::kKeyTail), 30);
    std::string got;
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(rt::storeKeyPair(static_cast<std::uint8_t>('A' + i % 26), 0));
        if (i % 3 == 0) got += rt::readKey()->view();
        int head = rt::lowByte(rt::kKeyHead);
        int tail = rt::lowByte(rt::kKeyTail);
        EXPECT_TRUE(head >= 30 && head <= 60 && head % 2 == 0) << head;
        EXPECT_TRUE(tail >= 30 && tail <= 60 && tail % 2 == 0) << tail;
        EXPECT_EQ(rt::lowByte(rt::kKeyHead + 1), 0);
        EXPECT_EQ(rt::lowByte(rt::kKeyTail + 1), 0);
        if (rt::keyBufferCount() == 15) {
            while (!rt::keyBufferEmpty())
                got += rt::readKey()->view();
        }
    }
    while (!rt::keyBufferEmpty())
        got += rt::readKey()->view();
    std::string want;
    for (int i = 0; i < 40; ++i)
        want += static_cast<char>('A' + i % 26);
    EXPECT_EQ(got, want);
}

TEST_F(KeyboardTest, DamagedRingOffsetsNeverLeaveTheRing) {
    rt::setLowByte(rt::kKeyHead, 255);
    rt::setLowByte(rt::kKeyTail, 7);
    EXPECT_TRUE(rt::keyBufferEmpty()); // both read as 30
    EXPECT_TRUE(rt::storeKeyPair('q', 0x10));
    EXPECT_EQ(rt::readKey()->view(), "q");
}

TEST_F(KeyboardTest, PauseWaitsForAKeyThatOnlyEndsIt) {
    tap(kKeyPause);
    EXPECT_EQ((host::gamePaused() ? 1 : 0), 1);
    EXPECT_EQ((rt::eventPending() ? 1 : 0), 1);
    tap('a', 'a');
    EXPECT_EQ((host::gamePaused() ? 1 : 0), 0);
    EXPECT_TRUE(ringPairs().empty());
    tap('b', 'b');
    EXPECT_EQ(ringPairs(), (std::vector<Pair>{{'b', 0x30}}));
}

TEST_F(KeyboardTest, CtrlNumLockPauses) {
    play(with(kKeyLeftCtrl, tapped(kKeyNumLock)));
    EXPECT_EQ((host::gamePaused() ? 1 : 0), 1);
    EXPECT_TRUE(ringPairs().empty());
}

TEST_F(KeyboardTest, BreakKeysSetTheExitRequest) {
    play(with(kKeyRightCtrl, tapped(kKeyScrollLock)));
    EXPECT_EQ((host::exitRequested() ? 1 : 0), 1);
    EXPECT_FALSE(kb.isHeld(host::kStateScrollLock)); // Ctrl+Scroll Lock does not toggle it
    rt::resetErrorsAndFlags();
    host::resetHostState();
    tap(kKeyBreak);
    EXPECT_EQ((host::exitRequested() ? 1 : 0), 1);
    rt::resetErrorsAndFlags();
    host::resetHostState();
    play(with(kKeyLeftCtrl, tapped(kKeyF15)));
    EXPECT_EQ((host::exitRequested() ? 1 : 0), 1);
    for (int ctrl : {kKeyLeftCtrl, kKeyRightCtrl}) { // Ctrl+Pause is Break, not Pause
        rt::resetErrorsAndFlags();
        host::resetHostState();
        play(with(ctrl, tapped(kKeyPause)));
        EXPECT_EQ((host::exitRequested() ? 1 : 0), 1);
        EXPECT_EQ((host::gamePaused() ? 1 : 0), 0);
    }
    EXPECT_TRUE(ringPairs().empty());
}

TEST_F(KeyboardTest, AltEnterTogglesFullScreenAndStoresNothing) {
    play(with(kKeyLeftAlt, tapped(kKeyReturn, 13)));
    EXPECT_EQ(host::pendingFullScreenToggles(), 1);
    EXPECT_TRUE(ringPairs().empty());
    play(with(kKeyRightAlt, tapped(kKeyReturn, 13)));
    EXPECT_EQ(host::pendingFullScreenToggles(), 2);
}

TEST_F(KeyboardTest, KeyUpReleasesWhatTheKeyPressed) {
    kb.keyDown(kKeyLeftShift, 0);
    kb.keyDown(static_cast<host::KeyId>('a'), 'A');
    EXPECT_TRUE(kb.isHeld('A'));
    EXPECT_TRUE(kb.isHeld(host::kCodeLeftShift));
    kb.keyUp(static_cast<host::KeyId>('a'));
    EXPECT_FALSE(kb.isHeld('A'));
    kb.keyUp(kKeyLeftShift);
    EXPECT_TRUE(kb.heldKeys().empty());
}

TEST_F(KeyboardTest, RepeatedKeyDownsStoreEachButHoldOnce) {
    kb.keyDown(static_cast<host::KeyId>('x'), 'x');
    kb.keyDown(static_cast<host::KeyId>('x'), 'x');
    kb.keyDown(static_cast<host::KeyId>('x'), 'x');
    EXPECT_EQ(kb.heldKeys().size(), 1u);
    EXPECT_EQ(ringPairs().size(), 3u);
    kb.keyUp(static_cast<host::KeyId>('x'));
    EXPECT_TRUE(kb.heldKeys().empty());
}

TEST_F(KeyboardTest, ShiftStateBytesFollowTheHeldKeys) {
    kb.keyDown(kKeyLeftShift, 0);
    EXPECT_EQ(rt::lowByte(0x417), 0x02);
    kb.keyDown(kKeyRightShift, 0);
    kb.keyDown(kKeyLeftCtrl, 0);
    EXPECT_EQ(rt::lowByte(0x417), 0x07);
    EXPECT_EQ(rt::lowByte(0x418), 0x01);
    kb.keyDown(kKeyRightAlt, 0);
    EXPECT_EQ(rt::lowByte(0x417), 0x0F);
    EXPECT_EQ(rt::lowByte(0x496), 0x12);
    kb.keyUp(kKeyLeftShift);
    kb.keyUp(kKeyRightShift);
    kb.keyUp(kKeyLeftCtrl);
    kb.keyUp(kKeyRightAlt);
    EXPECT_EQ(rt::lowByte(0x417), 0x00);
    EXPECT_EQ(rt::lowByte(0x418), 0x00);
    EXPECT_EQ(rt::lowByte(0x496), 0x10);

    kb.keyDown(kKeyScrollLock, 0); // toggles Scroll Lock on, and is held
    EXPECT_EQ(rt::lowByte(0x417), 0x10);
    EXPECT_EQ(rt::lowByte(0x418), 0x10);
    kb.keyUp(kKeyScrollLock);
    EXPECT_EQ(rt::lowByte(0x418), 0x00);
    EXPECT_TRUE(kb.isHeld(host::kStateScrollLock));
    tap(kKeyScrollLock);
    EXPECT_FALSE(kb.isHeld(host::kStateScrollLock));
    EXPECT_EQ(rt::lowByte(0x417), 0x00);
}

TEST_F(KeyboardTest, InsertTogglesInsertMode) {
    tap(kKeyInsert);
    EXPECT_TRUE(kb.isHeld(host::kStateInsert));
    EXPECT_EQ(rt::lowByte(0x417) & 0x80, 0x80);
    EXPECT_EQ(ringPairs(), (std::vector<Pair>{{0, 0x52}}));
    tap(kKeyInsert);
    EXPECT_FALSE(kb.isHeld(host::kStateInsert));
    EXPECT_EQ(rt::lowByte(0x417) & 0x80, 0);
    play(with(kKeyLeftShift, tapped(kKeyInsert))); // Shift+Insert leaves the mode
    EXPECT_FALSE(kb.isHeld(host::kStateInsert));
}

TEST_F(KeyboardTest, LockSyncFollowsThePlatformToggles) {
    kb.syncLocks({false, true, false});
    EXPECT_TRUE(kb.capsLockOn());
    EXPECT_EQ(rt::lowByte(0x417), 0x40);
    tap('q', 0);
    EXPECT_EQ(ringPairs(), (std::vector<Pair>{{'Q', 0x10}}));
    kb.syncLocks({true, true, true});
    EXPECT_TRUE(kb.isHeld(host::kStateScrollLock));
    EXPECT_TRUE(kb.isHeld(host::kCodeNumLock));
    EXPECT_EQ(rt::lowByte(0x417), 0x70);
    kb.syncLocks({false, false, false});
    EXPECT_TRUE(kb.heldKeys().empty());
    EXPECT_EQ(rt::lowByte(0x417), 0x00);
    EXPECT_EQ(ringPairs().size(), 1u); // lock changes store nothing
}

TEST_F(KeyboardTest, ScrollLockKeySurvivesTheTurnsLockSync) {
    // SDL 1.2 never reports Scroll Lock in its modifier state; the key
    // itself toggles the state, and the next turns' syncs must keep it.
    tap(kKeyScrollLock);
    EXPECT_TRUE(kb.isHeld(host::kStateScrollLock));
    kb.syncLocksFromMod(static_cast<std::uint32_t>(kModNone));
    kb.syncLocksFromMod(static_cast<std::uint32_t>(kModCapsLock));
    EXPECT_TRUE(kb.isHeld(host::kStateScrollLock));
    EXPECT_TRUE(kb.capsLockOn());
    EXPECT_EQ(rt::lowByte(0x417), 0x50);
    tap(kKeyScrollLock);
    kb.syncLocksFromMod(static_cast<std::uint32_t>(kModCapsLock));
    EXPECT_FALSE(kb.isHeld(host::kStateScrollLock));
    EXPECT_EQ(rt::lowByte(0x417), 0x40);
}

TEST_F(KeyboardTest, CapsLockKeyEventsAgreeWithTheSync) {
    // SDL reports Caps Lock going down when it turns on, up when it turns off.
    kb.keyDown(kKeyCapsLock, 0, kModCapsLock);
    EXPECT_TRUE(kb.capsLockOn());
    kb.syncLocks(kb.platformLocks());
    EXPECT_EQ(kb.heldKeys().size(), 1u);
    kb.keyUp(kKeyCapsLock, kModNone);
    EXPECT_FALSE(kb.capsLockOn());
    kb.syncLocks(kb.platformLocks());
    EXPECT_TRUE(kb.heldKeys().empty());
}

TEST_F(KeyboardTest, StartUpEntersLocksAndHeldModifiersInOrder) {
    host::LockState locks{true, true, true};
    host::HeldModifiers held;
    held.leftShift = true;
    held.rightAlt = true;
    kb.startUp(locks, held);
    std::vector<std::int32_t> codes;
    for (const host::HeldKey& h : kb.heldKeys())
        codes.push_back(h.code);
    EXPECT_EQ(codes, (std::vector<std::int32_t>{host::kStateScrollLock, host::kCodeLeftShift,
                                                host::kCodeRightAlt, host::kCodeCapsLock,
                                                host::kCodeNumLock}));
    EXPECT_EQ(rt::lowByte(0x417), 0x7A);
    EXPECT_EQ(rt::lowByte(0x496), 0x12);
    EXPECT_TRUE(ringPairs().empty());
    // The platform state agrees, so the first sync changes nothing.
    kb.syncLocks(kb.platformLocks());
    EXPECT_EQ(kb.heldKeys().size(), 5u);
}

TEST_F(KeyboardTest, StartUpFromSdlModifierBits) {
    kb.startUp(static_cast<std::uint32_t>(kModNumLock | kModLeftCtrl));
    EXPECT_TRUE(kb.isHeld(host::kCodeLeftCtrl));
    EXPECT_TRUE(kb.isHeld(host::kCodeNumLock));
    // Num Lock already on while Ctrl is held is a state, not Ctrl+Num Lock:
    // the game does not start paused.
    EXPECT_EQ((host::gamePaused() ? 1 : 0), 0);
    EXPECT_EQ((rt::eventPending() ? 1 : 0), 0);
    tap(static_cast<KeyId>(kKeyKeypad0 + 1), '1');
    EXPECT_EQ(ringPairs(), (std::vector<Pair>{{0, 0x75}})); // Ctrl + keypad 1
}

TEST_F(KeyboardTest, HeldScrollLockAtStartUpTogglesItsState) {
    host::HeldModifiers held;
    held.scrollLock = true;
    kb.startUp(host::LockState{}, held);
    EXPECT_TRUE(kb.isHeld(host::kCodeScrollLock));
    EXPECT_TRUE(kb.isHeld(host::kStateScrollLock));
    EXPECT_EQ(rt::lowByte(0x418) & 0x10, 0x10);
}

TEST_F(KeyboardTest, TypedTextGoesThroughTheCodePage) {
    kb.typeCharacter(0x263A); // ☺
    kb.typeCharacter(0x00A0); // no-break space
    kb.typeCharacter('z');
    EXPECT_EQ(ringPairs(), (std::vector<Pair>{{1, 0}, {255, 0}, {'z', 0x2C}}));
    EXPECT_TRUE(kb.heldKeys().empty());
}

TEST_F(KeyboardTest, CharacterCodes) {
    EXPECT_EQ(host::characterCode('A'), 'A');
    EXPECT_EQ(host::characterCode(127), 127);
    EXPECT_EQ(host::characterCode(0x00C7), 0x80);
    EXPECT_EQ(host::characterCode(0x2302), 0x7F);
    EXPECT_EQ(host::characterCode(0x25D9), 0x0A);
    EXPECT_EQ(host::characterCode(0xFF01), '!');
    EXPECT_EQ(host::characterCode(0xFF5E), '~');
    EXPECT_EQ(host::characterCode(0xFF5F), 0x40000000 + 0xFF5F);
    EXPECT_EQ(host::characterCode(0x3000), 32);
    EXPECT_EQ(host::characterCode(0x20AC), 0x40000000 + 0x20AC);
}

TEST_F(KeyboardTest, KeyEventAndPortQueuesRecordPressesAndReleases) {
    tap('a', 'a');
    auto events = kb.keyEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].code, 'a');
    EXPECT_EQ(events[1].code, -'a');
    EXPECT_EQ(kb.portScanCodes(), (std::vector<std::uint8_t>{0x1E, 0x9E}));
    tap('a', 'a'); // the same press again is queued, its code differing from the last
    EXPECT_EQ(kb.portScanCodes().size(), 4u);
    kb.keyDown(static_cast<host::KeyId>('b'), 'b');
    kb.keyDown(static_cast<host::KeyId>('b'), 'b'); // a repeat queues no second scan code
    EXPECT_EQ(kb.portScanCodes().size(), 5u);
}

TEST_F(KeyboardTest, KeyRepeatOnlyWithFocusAndActive) {
    EXPECT_TRUE(host::keyRepeatWanted(true, true));
    EXPECT_FALSE(host::keyRepeatWanted(true, false));
    EXPECT_FALSE(host::keyRepeatWanted(false, true));
    EXPECT_EQ(host::kKeyRepeatDelayMs, 500);
    EXPECT_EQ(host::kKeyRepeatIntervalMs, 30);
}

// ---- The translation table ----

TEST(KeyTable, RecordsWithoutScanCodeHaveNoEntry) {
    for (int k = 0; k < 256; ++k) {
        bool entry = k == 8 || k == 9 || k == 13 || k == 27 || (k >= 32 && k <= 126);
        EXPECT_EQ(host::keyRecord(k)[host::kFieldScan] != 0, entry) << k;
    }
    int extended = 0;
    for (int r = 256; r < 512; ++r)
        extended += host::keyRecord(r)[host::kFieldPlain] != 0;
    EXPECT_EQ(extended, 22); // F1..F12 and the ten cursor keys
    for (int r = 512; r < 528; ++r)
        EXPECT_NE(host::keyRecord(r)[host::kFieldPlain], 0) << r;
    EXPECT_EQ(host::keyRecord(528)[host::kFieldPlain], 0);
    EXPECT_EQ(host::keyRecord(-1)[host::kFieldPlain], 0);
}

TEST(KeyTable, SampleRecords) {
    using R = host::KeyRecord;
    EXPECT_EQ(host::keyRecord('a'), (R{'a', 0x1E, 'a', 'a', 1, 0x1E00, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord('Z'), (R{'Z', 0x2C, 'Z', 'Z', 26, 0x2C00, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord('@'), (R{'@', 0x03, '@', '@', 0x0300, 0x7900, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord(')'), (R{')', 0x0B, ')', ')', 0, 0x8100, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord('_'), (R{'_', 0x0C, '_', '_', 31, 0x8200, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord('|'), (R{'|', 0x2B, '|', '|', 28, 0x2B00, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord('~'), (R{'~', 0x29, '~', '~', 0, 0x2900, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord(9), (R{9, 0x0F, 9, 0x0F00, 0x9400, 0, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord(256 + 0x44),
              (R{0x4400, 0x44, 0x4400, 0x5D00, 0x6700, 0x7100, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord(256 + 0x86),
              (R{0x8600, 0x58, 0x8600, 0x8600, 0x8A00, 0x8C00, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord(256 + 0x53),
              (R{0x5300, 0x53, 0x5300, 0x5300, 0x9300, 0xA300, 0, 0, 0, 0}));
    EXPECT_EQ(host::keyRecord(512 + 5),
              (R{100261, 0x4C, 0x4C00, '5', 0x8F00, 0, '5', 0, 0, 0x4C00}));
    EXPECT_EQ(host::keyRecord(512 + 12),
              (R{100268, 0x37, '*', '*', 0x9600, 0x3700, '*', 0, 0, '*'}));
    EXPECT_EQ(host::keyRecord(527), (R{100271, 0x1C, 13, 13, 10, 0xA600, 13, 0, 0, 13}));
}

// ---- Code page 437 ----

TEST(CodePage437, PictureGlyphsBelowSpaceAndHouse) {
    const std::u32string glyphs = U"☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼";
    ASSERT_EQ(glyphs.size(), 31u);
    EXPECT_EQ(host::cp437ToUnicode[0], 0);
    for (int i = 1; i < 32; ++i)
        EXPECT_EQ(host::cp437ToUnicode[i], glyphs[i - 1]) << i;
    for (int i = 32; i < 127; ++i)
        EXPECT_EQ(host::cp437ToUnicode[i], i) << i;
    EXPECT_EQ(host::cp437ToUnicode[127], U'⌂');
}

// The upper half against the system's converter: the bytes 128..255 in a
// file, converted by iconv to UTF-32LE.
TEST(CodePage437, UpperHalfMatchesIconv) {
    char path[] = "/tmp/glimmer-cp437-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    unsigned char bytes[128];
    for (int i = 0; i < 128; ++i)
        bytes[i] = static_cast<unsigned char>(128 + i);
    ASSERT_EQ(write(fd, bytes, sizeof bytes), static_cast<ssize_t>(sizeof bytes));
    close(fd);
    std::string command = std::string("iconv -f CP437 -t UTF-32LE ") + path + " 2>/dev/null";
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    unsigned char out[512];
    size_t got = fread(out, 1, sizeof out, p);
    int status = pclose(p);
    unlink(path);
    if (status != 0 || got == 0) GTEST_SKIP() << "iconv with CP437 is not available";
    ASSERT_EQ(got, sizeof out);
    for (int i = 0; i < 128; ++i) {
        std::uint32_t u = out[4 * i] | out[4 * i + 1] << 8 | out[4 * i + 2] << 16 |
                          static_cast<std::uint32_t>(out[4 * i + 3]) << 24;
        EXPECT_EQ(host::cp437ToUnicode[128 + i], u) << "byte " << 128 + i;
    }
}

} // namespace
