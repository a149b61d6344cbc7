// Line input, driven through the keyboard ring: a scripted port hands the
// editor one key pair each time it polls, so no second thread is needed.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/lineinput.h"
#include "runtime/pages.h"
#include "runtime/port.h"
#include "runtime/screen.h"
#include "runtime/strings.h"
#include "tests/support/screen.h"

namespace {

// A key pair or a check to run when the editor next polls.
struct Step {
    std::uint8_t character = 0;
    std::uint8_t scan = 0;
    std::function<void()> check;
};

class ScriptPort final : public rt::Port {
  public:
    std::deque<Step> steps;
    int keyPolls = 0;
    int framesShown = 0;
    bool ranOut = false;
    std::uint64_t now = 0;

    void sleep(std::uint32_t ms, rt::Wait why) override {
        now += ms;
        if (why == rt::Wait::KeyPoll) {
            ++keyPolls;
            if (!rt::keyBufferEmpty()) return;
            if (steps.empty()) { // nothing more to type: end like a closed window
                ranOut = true;
                rt::requestStop();
                return;
            }
            Step s = steps.front();
            steps.pop_front();
            if (s.check) {
                s.check();
            } else {
                rt::storeKeyPair(s.character, s.scan);
            }
        }
    }
    // The display loop: one frame shown, then back to explicit.
    void awaitHost(std::uint64_t) override {
        if (rt::displayMode() == rt::DisplayMode::OneFrameAsked) {
            rt::frameShown();
            ++framesShown;
        }
    }
    std::uint64_t ticks() override { return now; }
    [[noreturn]] void critical(std::string_view caption, std::string_view text) override {
        ADD_FAILURE() << caption << ": " << text;
        std::abort();
    }
};

constexpr std::uint8_t kEnter = 13;
constexpr std::uint8_t kBackspace = 8;
constexpr std::uint8_t kTab = 9;

int beeps = 0;
void countBeep(double, double) {
    ++beeps;
}

class LineInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        screentest::freshRuntime();
        rt::clearScreen(0, 0, 0);
        rt::setPort(&port);
        rt::setBeepHandler(&countBeep);
        beeps = 0;
    }
    void TearDown() override {
        rt::setPort(nullptr);
        rt::setBeepHandler(nullptr);
        rt::resetErrorsAndFlags();
    }

    // ---- The script ----
    // A tab goes in as the Tab key, every other character with one scan code.
    void type(const std::string& text) {
        for (unsigned char c : text)
            port.steps.push_back({c, static_cast<std::uint8_t>(c == kTab ? 0 : 0x1E), {}});
    }
    void key(std::uint8_t character, std::uint8_t scan = 0) {
        port.steps.push_back({character, scan, {}});
    }
    void extended(std::uint8_t scan) { key(0, scan); }
    void then(std::function<void()> check) { port.steps.push_back({0, 0, std::move(check)}); }

    // ---- Running input ----
    void prompt(const char* text) {
        rt::RuntimeString* s = rt::literal(text);
        rt::print(s, 0);
        rt::freeString(s);
    }
    std::string inputString(std::uint32_t kind = rt::kKindString) {
        rt::RuntimeString* v = rt::newString(0, false);
        variable = v;
        rt::setInputVariable(1, kind, v);
        rt::input(1, 1);
        return std::string(v->view());
    }
    float inputSingle() {
        float v = -1.0f;
        rt::setInputVariable(1, rt::kKindSingle, &v);
        rt::input(1, 1);
        return v;
    }

    // ---- The screen ----
    rt::ScreenPage& screen() { return *rt::pageByHandle(0); }
    // The cursor's row and column.
    using Cursor = std::pair<int, int>;
    Cursor cursor() { return {screen().row(), screen().column()}; }
    std::string row(int r) {
        std::string s;
        for (int c = 1; c <= 80; ++c)
            s += static_cast<char>(rt::cellCharacter(screen().cell(r, c)));
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        return s;
    }
    std::vector<std::uint16_t> cells() {
        std::vector<std::uint16_t> v;
        for (int r = 1; r <= 25; ++r)
            for (int c = 1; c <= 80; ++c)
                v.push_back(screen().cell(r, c));
        return v;
    }
    std::string stringValue() { return std::string(variable->view()); }

    ScriptPort port;
    rt::RuntimeString* variable = nullptr;
};

TEST_F(LineInputTest, EnterOnAnEmptyLineGivesAnEmptyStringAndANewRow) {
    prompt("What is your choice? ");
    key(kEnter);
    EXPECT_EQ(inputString(), "");
    EXPECT_EQ(cursor(), (Cursor{2, 1}));
    EXPECT_EQ(row(1), "What is your choice?");
    EXPECT_FALSE(port.ranOut);
}

TEST_F(LineInputTest, EnterOnAnEmptyLineGivesZeroForANumber) {
    key(kEnter);
    EXPECT_EQ(inputSingle(), 0.0f);
    EXPECT_EQ(screen().row(), 2);
}

TEST_F(LineInputTest, TypedTextIsEchoedAndStored) {
    prompt("? ");
    type("3");
    then([&] { EXPECT_EQ(stringValue(), "3"); }); // assigned after every keystroke
    key(kEnter);
    EXPECT_EQ(inputString(), "3");
    EXPECT_EQ(row(1), "? 3");
}

// One field typed after a prompt and ended with Enter: what the variable
// holds (a number variable: the value that text reads as) and what row 1
// shows.
struct TypedField {
    const char* name;
    const char* prompt;
    const char* typed;
    std::uint32_t kind;
    const char* value;
    const char* shown;
};

class LineInputFieldTest : public LineInputTest,
                           public ::testing::WithParamInterface<TypedField> {};

TEST_P(LineInputFieldTest, IsStoredAndEchoed) {
    const TypedField& f = GetParam();
    prompt(f.prompt);
    type(f.typed);
    key(kEnter);
    if (f.kind == rt::kKindSingle)
        EXPECT_EQ(inputSingle(), std::stof(f.value));
    else
        EXPECT_EQ(inputString(f.kind), f.value);
    EXPECT_EQ(row(1), f.shown);
}

constexpr std::uint32_t kString = rt::kKindString;
const TypedField kTypedFields[] = {
    {"ACommaIsErasedTheMomentItIsTyped", "? ", "a,b", kString, "ab", "? ab"},
    {"AQuotedFieldKeepsItsComma", "? ", "\"a,b\"", kString, "a,b", "? \"a,b\""},
    {"OnlyACommaMayFollowAClosingQuote", "", "\"a\"bc", kString, "a", "\"a\""},
    {"AQuoteInsideAFieldIsAnOrdinaryCharacter", "", "a\"b", kString, "a\"b", "a\"b"},
    {"LeadingSpacesStay", "", " 1", kString, " 1", " 1"},
    {"WholeLineModeKeepsQuotesAndCommas", "", "a,\"b\",c", kString | rt::kKindWholeLine,
     "a,\"b\",c", "a,\"b\",c"},
    {"TabAfterThreeCharactersInsertsFiveSpaces", "", "abc\td", kString, "abc     d", "abc     d"},
    {"TabAtAStopInsertsEightSpaces", "", "abcdefgh\t", kString, "abcdefgh        ", "abcdefgh"},
    {"LettersAtANumberInputAreErasedAndDigitsConvert", "Press ENTER to continue? ", "x4y2.z5",
     rt::kKindSingle, "42.5", "Press ENTER to continue? 42.5"},
    {"AnIncompleteNumberConvertsUpToWhereItStops", "", "7e", rt::kKindSingle, "7", "7e"},
    {"TabSpacesAreErasedAtANumberInput", "", "1\t2", rt::kKindSingle, "12", "12"},
};
INSTANTIATE_TEST_SUITE_P(Fields, LineInputFieldTest, ::testing::ValuesIn(kTypedFields),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineInputTest, TwoVariablesSplitAtTheComma) {
    rt::RuntimeString* name = rt::newString(0, false);
    float number = -1;
    rt::setInputVariable(1, rt::kKindString, name);
    rt::setInputVariable(2, rt::kKindSingle, &number);
    type("abc,1x2,"); // x is not a number; a third field has no variable
    key(kEnter);
    rt::input(2, 1);
    EXPECT_EQ(name->view(), "abc");
    EXPECT_EQ(number, 12.0f);
    EXPECT_EQ(row(1), "abc,12");
}

TEST_F(LineInputTest, AFixedLengthTargetRefusesALongerField) {
    rt::RuntimeString* fixed = rt::newFixedString(3);
    rt::setInputVariable(1, rt::kKindString, fixed);
    type("abcd");
    key(kEnter);
    rt::input(1, 1);
    EXPECT_EQ(fixed->view(), "abc");
    EXPECT_EQ(row(1), "abc");
}

TEST_F(LineInputTest, AFixedLengthTargetIsClearedToSpaces) {
    rt::RuntimeString* fixed = rt::newFixedString(3);
    rt::RuntimeString* x = rt::literal("xyz");
    rt::assign(fixed, x);
    rt::setInputVariable(1, rt::kKindString, fixed);
    type("a");
    key(kEnter);
    rt::input(1, 1);
    EXPECT_EQ(fixed->view(), "a  ");
}

// Backspace on an empty line does nothing; after text it erases the last
// character.
TEST_F(LineInputTest, BackspaceErasesTheLastCharacterIfAny) {
    prompt("? ");
    std::vector<std::uint16_t> before = cells();
    key(kBackspace);
    key(kBackspace);
    then([&] {
        EXPECT_EQ(cells(), before);
        EXPECT_EQ(cursor(), (Cursor{1, 3}));
    });
    type("abc");
    key(kBackspace);
    then([&] {
        EXPECT_EQ(row(1), "? ab");
        EXPECT_EQ(cursor(), (Cursor{1, 5}));
        EXPECT_EQ(stringValue(), "ab");
    });
    type("d");
    key(kEnter);
    EXPECT_EQ(inputString(), "abd");
}

// The echo wraps past the last column and scrolls the print area; Backspace
// brings back the screen exactly as it was plus the current text.
TEST_F(LineInputTest, BackspaceAfterTheEchoWrappedAndScrolledRestoresTheScreen) {
    for (int r = 1; r <= 23; ++r) {
        rt::setTextColour(1 + r % 15, r % 8, 0, 3);
        prompt(("row " + std::to_string(r)).c_str());
        rt::print(rt::emptyString(), 1);
    }
    rt::setTextColour(14, 1, 0, 3);
    prompt(std::string(78, '.').c_str()); // the prompt ends in column 78
    ASSERT_EQ(cursor(), (Cursor{24, 79}));
    const std::vector<std::uint16_t> before = cells();
    const std::uint8_t attribute = rt::currentAttribute(screen());
    auto at = [](int r, int c) { return static_cast<std::size_t>((r - 1) * 80 + (c - 1)); };

    type("abc");
    then([&] { // 'c' went to a new row: rows 1..24 scrolled up by one
        EXPECT_EQ(row(1), "row 2");
        EXPECT_EQ(row(23), std::string(78, '.') + "ab");
        EXPECT_EQ(row(24), "c");
        EXPECT_EQ(cursor(), (Cursor{24, 2}));
    });
    key(kBackspace);
    then([&] {
        std::vector<std::uint16_t> want = before;
        want[at(24, 79)] = rt::makeCell('a', attribute);
        want[at(24, 80)] = rt::makeCell('b', attribute);
        EXPECT_EQ(cells(), want);
        EXPECT_EQ(cursor(), (Cursor{24, 80}));
        EXPECT_EQ(screen().pendingWrap.load(), 1);
    });
    key(kBackspace);
    key(kBackspace);
    then([&] {
        EXPECT_EQ(cells(), before);
        EXPECT_EQ(cursor(), (Cursor{24, 79}));
        EXPECT_EQ(screen().pendingWrap.load(), 0);
        EXPECT_EQ(rt::getWritePage(), -rt::resolvePage(0)); // the screen is written again
    });
    type("xy");
    key(kEnter);
    EXPECT_EQ(inputString(), "xy");
    EXPECT_EQ(row(24), ""); // the line end after "xy" at column 80 moved down once
    EXPECT_EQ(cursor(), (Cursor{24, 1}));
    EXPECT_EQ(row(23), std::string(78, '.') + "xy");
}

TEST_F(LineInputTest, TheLineHoldsAtMost255CharactersAndBackspaceStillWorks) {
    type(std::string(300, 'x'));
    then([&] {
        EXPECT_EQ(stringValue(), std::string(255, 'x'));
        EXPECT_EQ(row(4), std::string(15, 'x'));
        EXPECT_EQ(screen().column(), 16);
    });
    key(kBackspace);
    type("yz");
    key(kEnter);
    EXPECT_EQ(inputString(), std::string(254, 'x') + "y");
    EXPECT_EQ(row(4), std::string(14, 'x') + "y");
    EXPECT_EQ(row(5), "");
}

TEST_F(LineInputTest, TabSpacesStopAtTheLineLimit) {
    type(std::string(250, 'x'));
    key(kTab); // 6 spaces to the next stop, only 5 fit
    type("z");
    key(kEnter);
    EXPECT_EQ(inputString(), std::string(250, 'x') + std::string(5, ' '));
}

TEST_F(LineInputTest, EscapeInsertsCharacter27) {
    key(27, 0x01);
    key(kEnter);
    EXPECT_EQ(inputString(), "\x1B");
    EXPECT_EQ(rt::cellCharacter(screen().cell(1, 1)), 27);
}

// Arrows, Home, End, Delete and F1, the control codes that move the cursor
// and character 7 (which sounds) type nothing.
TEST_F(LineInputTest, CursorKeysControlCodesAndTheBellTypeNothing) {
    type("a");
    for (std::uint8_t scan : {0x48, 0x50, 0x4B, 0x4D, 0x47, 0x4F, 0x53, 0x3B})
        extended(scan);
    for (std::uint8_t c : {10, 11, 12, 28, 29, 30, 31, 7})
        key(c);
    type("b");
    key(kEnter);
    EXPECT_EQ(inputString(), "ab");
    EXPECT_EQ(row(1), "ab");
    EXPECT_EQ(beeps, 1);
}

TEST_F(LineInputTest, AStopRequestWhileWaitingReturnsAtOnce) {
    prompt("? ");
    type("ab");
    then([] { rt::requestStop(); });
    type("cd");
    key(kEnter);
    EXPECT_EQ(inputString(), "ab");
    EXPECT_EQ(port.steps.size(), 3u);    // nothing more was read
    EXPECT_EQ(cursor(), (Cursor{1, 5})); // no line end
    EXPECT_EQ(screen().cursorVisible.load(), 1);
}

TEST_F(LineInputTest, TheCursorIsShownWhileTypingAndRestoredAfter) {
    ASSERT_EQ(screen().cursorVisible.load(), 0);
    then([&] { EXPECT_EQ(screen().cursorVisible.load(), 1); });
    key(kEnter);
    inputString();
    EXPECT_EQ(screen().cursorVisible.load(), 0);
}

TEST_F(LineInputTest, InputKeepsTheDisplayRefreshingAndHandsBackAFrame) {
    rt::setDisplayMode(rt::DisplayMode::Explicit);
    then([&] { EXPECT_EQ(static_cast<int>(rt::displayMode()), 1); });
    key(kEnter);
    inputString();
    EXPECT_EQ(static_cast<int>(rt::displayMode()), 0);
    EXPECT_EQ(port.framesShown, 1);
}

TEST_F(LineInputTest, AnAutomaticDisplayStaysOn) {
    key(kEnter);
    inputString();
    EXPECT_EQ(static_cast<int>(rt::displayMode()), 1);
    EXPECT_EQ(port.framesShown, 0);
}

TEST_F(LineInputTest, TheFrameHandshakeEndsOnAStopRequest) {
    // At shut-down the display loop no longer runs: the wait must not hang.
    class NoDisplay final : public rt::Port {
      public:
        void sleep(std::uint32_t, rt::Wait why) override {
            if (why == rt::Wait::KeyPoll && !fed) {
                rt::storeKeyPair(13, 0x1C);
                fed = true;
            }
        }
        void awaitHost(std::uint64_t) override {
            if (++plainWaits == 50) rt::requestStop();
        }
        std::uint64_t ticks() override { return 0; }
        [[noreturn]] void critical(std::string_view, std::string_view) override { std::abort(); }
        bool fed = false;
        int plainWaits = 0;
    } noDisplay;
    rt::setPort(&noDisplay);
    rt::setDisplayMode(rt::DisplayMode::Explicit);
    inputString();
    EXPECT_EQ(noDisplay.plainWaits, 50);
    EXPECT_EQ(static_cast<int>(rt::displayMode()), -1);
}

TEST_F(LineInputTest, TemporariesAndSnapshotsAreGivenBack) {
    const std::uint32_t base = rt::temporaryNextIndex();
    const std::int32_t page = rt::getWritePage();
    type("abc");
    key(kBackspace);
    key(kEnter);
    inputString();
    EXPECT_EQ(rt::temporaryNextIndex(), base);
    EXPECT_EQ(rt::getWritePage(), page);
    // Both snapshot records are free again: the next snapshot reuses one.
    const std::int32_t a = rt::snapshotWritePage();
    const std::int32_t b = rt::snapshotWritePage();
    EXPECT_GE(std::max(-a, -b), 2);
    EXPECT_LE(std::max(-a, -b), 3);
}

TEST_F(LineInputTest, AnErrorPendingReturnsAtOnce) {
    rt::RuntimeString* v = rt::newString(0, false);
    rt::RuntimeString* x = rt::literal("keep");
    rt::assign(v, x);
    rt::raiseError(5);
    type("a");
    rt::setInputVariable(1, rt::kKindString, v);
    rt::input(1, 1);
    EXPECT_EQ(v->view(), "keep");
    EXPECT_EQ(port.keyPolls, 0);
}

// ---- The single-precision field check ----

struct Field {
    std::string text;
    bool acceptable;
    float value;
};

std::string zeros(int n) {
    return std::string(static_cast<std::size_t>(n), '0');
}

// Each text: whether the check accepts it, and the value (0 when refused).
void expectFields(const std::vector<Field>& fields) {
    for (const Field& f : fields) {
        SCOPED_TRACE("field \"" + f.text + "\"");
        float v = -1.0f;
        rt::FieldCheck got =
            rt::checkSingleField(f.text.data(), static_cast<std::int32_t>(f.text.size()), &v);
        EXPECT_EQ(got == rt::FieldCheck::Acceptable, f.acceptable);
        EXPECT_EQ(v, f.acceptable ? f.value : 0.0f);
    }
}

TEST(SingleField, DecimalShapes) {
    expectFields({
        {"", true, 0},       {"-", true, 0},         {".", true, 0},
        {"-.", true, 0},     {"0", true, 0},         {"-0", true, 0},
        {"0.", true, 0},     {"0.5", true, 0.5f},    {"-0.25", true, -0.25f},
        {".5", true, 0.5f},  {"5", true, 5},         {"123", true, 123},
        {"-42", true, -42},  {"01", false, 0},       {"00", false, 0},
        {"-01", false, 0},   {"1.", true, 1},        {"1.5", true, 1.5f},
        {"1e", true, 1},     {"1E", true, 1},        {"1e+", true, 1},
        {"1e-", true, 1},    {"1.5e+3", true, 1500}, {"1.5E-3", true, 1.5e-3f},
        {"2e3", true, 2000}, {"e", false, 0},        {"E5", false, 0},
        {"-e", false, 0},    {"1.e5", false, 0},     {"0e1", false, 0},
        {"0.0e1", false, 0}, {".0e1", false, 0},     {"-.e", false, 0},
        {".1e1", true, 1},   {"0.01e2", true, 1},    {"1e0", true, 1},
        {"1e-0", true, 1},   {"1e00", false, 0},     {"1e05", false, 0},
        {"1e+05", false, 0}, {"1e10", true, 1e10f},  {"1d5", false, 0},
        {"1D5", false, 0},   {"1 ", false, 0},       {" 1", false, 0},
        {"+1", false, 0},    {"1-", false, 0},       {"1e5e", false, 0},
        {"1..2", false, 0},  {"--1", false, 0},      {"1e+-2", false, 0},
        {"1,5", false, 0},   {"x", false, 0},        {"1.5.", false, 0},
    });
}

TEST(SingleField, BasedIntegers) {
    const std::vector<Field> shapes = {
        {"&", true, 0},    {"&H", true, 0},     {"&h", true, 0},     {"&O", true, 0},
        {"&o", true, 0},   {"&HFF", true, 255}, {"&hff", true, 255}, {"&hAbC", true, 2748},
        {"&HG", false, 0}, {"&X", false, 0},    {"&1", false, 0},    {"&O17", true, 15},
        {"&o8", false, 0}, {"&H-1", false, 0},  {"&O 1", false, 0},
    };
    expectFields(shapes);
    expectFields({
        {"&H" + std::string(16, 'F'), true, 18446744073709551615.0f},
        {"&H" + std::string(17, 'F'), false, 0},
        {"&H" + std::string(16, '0') + "1", false, 0}, // 19 characters
        {"&O1" + std::string(21, '7'), true, 18446744073709551615.0f},
        {"&O2" + std::string(21, '0'), false, 0},
        {"&O0" + std::string(21, '7'), true, 9223372036854775807.0f},
        {"&O" + std::string(21, '7'), true, 9223372036854775807.0f},
        {"&O" + std::string(23, '0'), false, 0},
    });
}

TEST(SingleField, RangeAtTheTop) {
    expectFields({
        {"1e38", true, 1e38f},
        {"1e39", false, 0},
        {"9e38", false, 0},
        {"3.402823e38", true, 3.402823e38f},
        {"3.402824e38", false, 0},
        {"3402823e32", true, 3.402823e38f},
        {"3402824e32", false, 0},
        {"34028234e31", true, 3.4028234e38f},
        {"0.3402823e39", true, 3.402823e38f},
        {"0.3402824e39", false, 0},
        // Texts that pass the seven-digit rule yet lie beyond the largest single:
        // refused, since they would convert to infinity.
        {"3402823.9e32", false, 0},
        {"34028236e31", false, 0},
        {"340282356779733661637539395458142568447", true, FLT_MAX},
        {"340282356779733661637539395458142568448", false, 0},
        {"1e99999999999999999999", false, 0},
    });
}

TEST(SingleField, RangeAtTheBottom) {
    const float smallest = std::nextafter(0.0f, 1.0f);
    expectFields({
        {"1.401298e-45", true, smallest},
        {"1.401297e-45", false, 0},
        {"14.01298e-46", true, smallest},
        {"0.1401298e-44", true, smallest},
        {"1e-45", false, 0},
        {"1e-44", true, 1e-44f},
        {"1e-46", false, 0},
        {"1e-99999999999999999999", false, 0},
        {"." + zeros(43) + "1", true, 1e-44f},
        {"." + zeros(44) + "1", false, 0},
        {"0." + zeros(43), true, 0},
        {"0." + zeros(44), false, 0},
    });
}

TEST(SingleField, AtMostEightDigitsWithAFraction) {
    expectFields({
        {"1.2345678", true, 1.2345678f},
        {"1.23456789", false, 0},
        {"12345678.9", false, 0},
        {"1234567.8", true, 1234567.8f},
        {"123456789", true, 123456789.0f}, // no fraction: no limit
        {".12345678", true, 0.12345678f},
        {".123456789", false, 0},
        {".00012345678", true, 0.00012345678f},
        {".000123456789", false, 0},
        {"1.0", true, 1.0f},
        {"1" + zeros(60) + "e-60", true, 1.0f},
    });
}

TEST(SingleField, NullAndNegativeLengthAreEmpty) {
    float v = 5;
    EXPECT_EQ(rt::checkSingleField(nullptr, 4, &v), rt::FieldCheck::Acceptable);
    EXPECT_EQ(v, 0.0f);
    v = 5;
    EXPECT_EQ(rt::checkSingleField("12", -1, &v), rt::FieldCheck::Acceptable);
    EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(rt::checkSingleField("12", 2, nullptr), rt::FieldCheck::Acceptable);
}

} // namespace
