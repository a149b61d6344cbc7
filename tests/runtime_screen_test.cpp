// The print engine, scripted: each test prints pieces the way the game does
// and checks the exact cells, attributes and cursor that result.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include "runtime/port.h"
#include "tests/support/screen.h"

using namespace screentest;

namespace {

std::vector<std::pair<double, double>> beeps;
void recordBeep(double frequency, double length) {
    beeps.emplace_back(frequency, length);
}

class PrintEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        freshRuntime();
        beeps.clear();
        rt::setBeepHandler(&recordBeep);
        rt::setPrintControlCodesAsGlyphs(false);
    }
    void TearDown() override {
        rt::setBeepHandler(nullptr);
        rt::setPrintControlCodesAsGlyphs(false);
        rt::resetErrorsAndFlags();
    }
    static void cls() { rt::clearScreen(0, 0, 0); }
    static void colour(int foreground) { rt::setTextColour(foreground, 0, 0, 1); }
};

// Fills rows 1..25 with a letter and an attribute of their own, so that moved
// and untouched rows can be told apart.
void paintRows() {
    for (int r = 1; r <= 25; ++r) {
        for (int c = 1; c <= 80; ++c) {
            page().setCell(r, c,
                           rt::makeCell(static_cast<std::uint8_t>('a' + (r - 1) % 26),
                                        static_cast<std::uint8_t>(r)));
        }
    }
}

std::string paintedRow(int r) {
    return repeat(static_cast<char>('a' + (r - 1) % 26), 80);
}

} // namespace

TEST_F(PrintEngine, EightyCharactersWithoutLineEndLeaveThePendingWrapAndOneLineEndMovesOneRow) {
    cls();
    put(letters(80));
    EXPECT_EQ(row(1), letters(80));
    EXPECT_EQ(cursor(), (Cursor{80, 1, 1}));

    put(""); // an empty piece keeps the deferred break
    EXPECT_EQ(cursor(), (Cursor{80, 1, 1}));

    lineEnd();
    EXPECT_EQ(cursor(), (Cursor{1, 2, 0}));
    put("next");
    EXPECT_EQ(row(2), "next");
    EXPECT_EQ(row(3), "");
}

TEST_F(PrintEngine, EightyCharactersWithLineEndMoveDownOneRowNotTwo) {
    cls();
    rt::print(text(letters(80)), 1);
    EXPECT_EQ(cursor(), (Cursor{1, 2, 0}));
    put("x");
    EXPECT_EQ(row(1), letters(80));
    EXPECT_EQ(row(2), "x");
}

TEST_F(PrintEngine, PendingWrapMakesFitDoNothingAndBreaksBeforeTheNextNonEmptyPiece) {
    cls();
    put(letters(80));
    rt::makeFit(text("abc"));
    EXPECT_EQ(cursor(), (Cursor{80, 1, 1}));

    piece("abc");
    EXPECT_EQ(row(1), letters(80));
    EXPECT_EQ(row(2), "abc");
    EXPECT_EQ(cursor(), (Cursor{4, 2, 0}));
}

TEST_F(PrintEngine, NinetySevenCharacterPiecePutsItsLastSeventeenOnTheNextRow) {
    cls();
    const std::string s = letters(97);
    put(s);
    EXPECT_EQ(row(1), s.substr(0, 80));
    EXPECT_EQ(row(2), s.substr(80));
    EXPECT_EQ(cursor(), (Cursor{18, 2, 0}));

    cls();
    piece(s); // at column 1 make fit never breaks; print wraps the piece
    lineEnd();
    EXPECT_EQ(row(1), s.substr(0, 80));
    EXPECT_EQ(row(2), s.substr(80));
    EXPECT_EQ(cursor(), (Cursor{1, 3, 0}));
}

TEST_F(PrintEngine, MakeFitBreaksOnlyWhenThePieceWouldPassTheLastColumn) {
    const std::string twenty = repeat('x', 20);

    cls();
    moveTo(61, 1);
    piece(twenty); // 61 + 20 - 1 = 80: fits
    EXPECT_EQ(row(1), repeat(' ', 60) + twenty);
    EXPECT_EQ(row(2), "");
    EXPECT_EQ(cursor(), (Cursor{80, 1, 1}));

    cls();
    rt::print(text(""), 0); // clear keeps the flag; an empty print without line end too
    lineEnd();
    cls();
    moveTo(62, 1);
    piece(twenty); // 62 + 20 - 1 = 81: starts a new row
    EXPECT_EQ(row(1), "");
    EXPECT_EQ(row(2), twenty);
    EXPECT_EQ(cursor(), (Cursor{21, 2, 0}));
}

TEST_F(PrintEngine, MakeFitCountsControlCodesAndIgnoresColumnOne) {
    cls();
    moveTo(78, 3);
    rt::makeFit(text("ab\x07")); // three bytes: 78 + 3 - 1 = 80
    EXPECT_EQ(cursor(), (Cursor{78, 3, 0}));
    rt::makeFit(text("abc\x07"));
    EXPECT_EQ(cursor(), (Cursor{1, 4, 0}));
    rt::makeFit(text(letters(200)));
    EXPECT_EQ(cursor(), (Cursor{1, 4, 0}));
}

TEST_F(PrintEngine, NextPrintZoneMovesToFourteenColumnZonesAndFillsTheLastOne) {
    struct Case {
        int from;
        Cursor to;
    };
    const Case cases[] = {
        {1, {15, 1, 0}},  {7, {15, 1, 0}},  {14, {15, 1, 0}}, {15, {29, 1, 0}},
        {29, {43, 1, 0}}, {43, {57, 1, 0}}, {57, {80, 1, 0}}, {60, {80, 1, 0}},
        {70, {80, 1, 0}}, {71, {80, 1, 0}}, {79, {80, 1, 0}}, {80, {80, 1, 1}},
    };
    for (const Case& c : cases) {
        colour(7);
        cls();
        colour(4);
        lineEnd(); // clears a pending wrap left by the previous case
        moveTo(c.from, 1);
        rt::nextPrintZone();
        EXPECT_EQ(cursor(), c.to) << "from column " << c.from;
        // The spaces are written in the current colours.
        const int last = c.to.pendingWrap != 0 ? 80 : c.to.column - 1;
        for (int col = c.from; col <= last; ++col) {
            EXPECT_EQ(page().cell(1, col), rt::makeCell(' ', 0x04)) << c.from << " " << col;
        }
        if (c.to.pendingWrap == 0) {
            EXPECT_EQ(attr(1, c.to.column), 0x07) << c.from;
        }
    }
}

TEST_F(PrintEngine, NextPrintZoneAfterTheLastColumnStartsTheNextRow) {
    cls();
    put(letters(80));
    rt::nextPrintZone();
    EXPECT_EQ(cursor(), (Cursor{1, 2, 0}));
    EXPECT_EQ(row(2), "");

    // From column 80 the zone leaves a pending wrap, and the next piece breaks.
    cls();
    lineEnd();
    cls();
    moveTo(80, 1);
    rt::nextPrintZone();
    piece("x");
    EXPECT_EQ(row(2), "x");
    EXPECT_EQ(cursor(), (Cursor{2, 2, 0}));
}

TEST_F(PrintEngine, ATableRowWithZones) {
    cls();
    piece("Item");
    rt::nextPrintZone();
    piece("Qty");
    rt::nextPrintZone();
    piece("Price");
    lineEnd();
    EXPECT_EQ(row(1), "Item          Qty           Price");
    EXPECT_EQ(cursor(), (Cursor{1, 2, 0}));
}

TEST_F(PrintEngine, PrintingPastTheEndOfRow24ScrollsRowsOneTo24AndLeavesRow25) {
    cls();
    paintRows();
    rt::setTextColour(14, 1, 0, 3); // attribute 0x1E
    moveTo(75, 24);
    put("0123456789");

    for (int r = 1; r <= 22; ++r) {
        EXPECT_EQ(row(r), paintedRow(r + 1)) << "row " << r;
        EXPECT_TRUE(rowAttributesAre(r, static_cast<std::uint8_t>(r + 1))) << "row " << r;
    }
    EXPECT_EQ(row(23), paintedRow(24).substr(0, 74) + "012345");
    for (int c = 1; c <= 74; ++c)
        EXPECT_EQ(attr(23, c), 24);
    for (int c = 75; c <= 80; ++c)
        EXPECT_EQ(attr(23, c), 0x1E);
    // The new bottom row is blank in the current colours.
    EXPECT_EQ(row(24), "6789");
    EXPECT_TRUE(rowAttributesAre(24, 0x1E));
    EXPECT_EQ(cursor(), (Cursor{5, 24, 0}));
    // Row 25 lies outside the print area and never moves.
    EXPECT_EQ(row(25), paintedRow(25));
    EXPECT_TRUE(rowAttributesAre(25, 25));
}

TEST_F(PrintEngine, LineEndsOnRow24ScrollAndRowsScrolledOffAreGone) {
    cls();
    for (int i = 1; i <= 30; ++i) {
        piece("line " + std::to_string(i));
        lineEnd();
    }
    // Lines 1..7 scrolled off; 8..30 fill rows 1..23 and the cursor sits on
    // the blank row 24.
    EXPECT_EQ(row(1), "line 8");
    EXPECT_EQ(row(23), "line 30");
    EXPECT_EQ(row(24), "");
    EXPECT_EQ(row(25), "");
    EXPECT_EQ(cursor(), (Cursor{1, 24, 0}));

    rt::newLine(); // the internal line end used by line input
    EXPECT_EQ(row(1), "line 9");
    EXPECT_EQ(cursor(), (Cursor{1, 24, 0}));
}

TEST_F(PrintEngine, TabsMoveToTheNextColumnOfTheFormEightKPlusOne) {
    struct Case {
        int from;
        int to;
    };
    for (const Case c : {Case{1, 9}, Case{8, 9}, Case{9, 17}, Case{2, 9}, Case{16, 17},
                         Case{17, 25}, Case{73, 80}}) {
        colour(7);
        cls();
        colour(4);
        moveTo(c.from, 2);
        put("\t");
        if (c.to == 80) {
            EXPECT_EQ(cursor(), (Cursor{80, 2, 1})) << "from " << c.from;
        } else {
            EXPECT_EQ(cursor(), (Cursor{c.to, 2, 0})) << "from " << c.from;
        }
        EXPECT_EQ(row(2), "");
        const int last = c.to == 80 ? 80 : c.to - 1;
        for (int col = c.from; col <= last; ++col)
            EXPECT_EQ(attr(2, col), 0x04);
        if (c.to < 80) {
            EXPECT_EQ(attr(2, c.to), 0x07);
        }
    }
}

TEST_F(PrintEngine, TabsInsideAPieceAndAtTheEndOfARow) {
    cls();
    put("ab\tc\t\td");
    EXPECT_EQ(row(1), "ab      c               d");
    EXPECT_EQ(cursor(), (Cursor{26, 1, 0}));

    // A tab from column 75 with a line end fills the row and moves down once.
    cls();
    moveTo(75, 1);
    rt::print(text("\t"), 1);
    EXPECT_EQ(cursor(), (Cursor{1, 2, 0}));

    // A tab at column 80 followed by more text breaks the row.
    cls();
    moveTo(80, 1);
    put("\tX");
    EXPECT_EQ(row(2), "X");
    EXPECT_EQ(cursor(), (Cursor{2, 2, 0}));
}

TEST_F(PrintEngine, CursorControlCodesMoveWithinThePrintArea) {
    struct Case {
        const char* code;
        int column, row;
        int toColumn, toRow;
    };
    const Case cases[] = {
        // 28 right: wraps to the next row, never past the bottom of the area.
        {"\x1c", 10, 5, 11, 5},
        {"\x1c", 80, 5, 1, 6},
        {"\x1c", 80, 23, 1, 24},
        {"\x1c", 79, 24, 80, 24},
        {"\x1c", 80, 24, 80, 24},
        {"\x1c", 5, 25, 6, 25},
        {"\x1c", 80, 25, 80, 25},
        // 29 left: wraps to the end of the row above, never above the area.
        {"\x1d", 10, 5, 9, 5},
        {"\x1d", 1, 5, 80, 4},
        {"\x1d", 1, 24, 80, 23},
        {"\x1d", 5, 1, 4, 1},
        {"\x1d", 1, 1, 1, 1},
        {"\x1d", 5, 25, 4, 25},
        {"\x1d", 1, 25, 1, 25},
        // 30 up and 31 down stay inside rows 1..24.
        {"\x1e", 3, 5, 3, 4},
        {"\x1e", 3, 1, 3, 1},
        {"\x1e", 3, 24, 3, 23},
        {"\x1e", 3, 25, 3, 25},
        {"\x1f", 3, 5, 3, 6},
        {"\x1f", 3, 1, 3, 2},
        {"\x1f", 3, 24, 3, 24},
        {"\x1f", 3, 25, 3, 25},
        // 11: home to the top of the print area.
        {"\x0b", 30, 12, 1, 1},
        {"\x0b", 30, 25, 1, 1},
    };
    for (const Case& c : cases) {
        cls();
        moveTo(c.column, c.row);
        put(c.code);
        EXPECT_EQ(cursor(), (Cursor{c.toColumn, c.toRow, 0}))
            << "code " << static_cast<int>(c.code[0]) << " from " << c.column << "," << c.row;
        for (int r = 1; r <= 25; ++r)
            EXPECT_EQ(row(r), "") << "row " << r;
    }
}

TEST_F(PrintEngine, LineFeedReturnFormFeedAndBellAreObeyed) {
    cls();
    put("a\nb\rc");
    EXPECT_EQ(row(1), "a");
    EXPECT_EQ(row(2), "b");
    EXPECT_EQ(row(3), "c");
    EXPECT_EQ(cursor(), (Cursor{2, 3, 0}));

    put("xyz\x0cq"); // form feed clears the screen, then q at the top
    EXPECT_EQ(row(1), "q");
    EXPECT_EQ(row(2), "");
    EXPECT_EQ(row(3), "");
    EXPECT_EQ(cursor(), (Cursor{2, 1, 0}));

    put("\x07r");
    ASSERT_EQ(beeps.size(), 1u);
    EXPECT_DOUBLE_EQ(beeps[0].first, 783.99);
    EXPECT_DOUBLE_EQ(beeps[0].second, 0.2);
    EXPECT_EQ(row(1), "qr");
    EXPECT_EQ(cursor(), (Cursor{3, 1, 0}));
}

TEST_F(PrintEngine, OtherCodesAreWrittenAsGlyphs) {
    cls();
    colour(2);
    put(std::string("\x00\x01\x08\x0e\x1b\xff", 6));
    const std::uint8_t expected[] = {0, 1, 8, 14, 27, 255};
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(page().cell(1, c), rt::makeCell(expected[c - 1], 0x02)) << c;
    }
    EXPECT_EQ(cursor(), (Cursor{7, 1, 0}));
}

TEST_F(PrintEngine, TheGlyphSwitchPrintsControlCodesAsCharacters) {
    cls();
    rt::setPrintControlCodesAsGlyphs(true);
    put("\x1c\x07\t\n\x0c");
    rt::setPrintControlCodesAsGlyphs(false);
    EXPECT_TRUE(beeps.empty());
    EXPECT_EQ(row(1), "\x1c\x07\t\n\x0c");
    EXPECT_EQ(cursor(), (Cursor{6, 1, 0}));
}

namespace {
class SleepRecorder final : public rt::Port {
  public:
    void sleep(std::uint32_t ms, rt::Wait why) override { sleeps.emplace_back(ms, why); }
    std::uint64_t ticks() override { return 0; }
    [[noreturn]] void critical(std::string_view, std::string_view) override { std::abort(); }
    std::vector<std::pair<std::uint32_t, rt::Wait>> sleeps;
};
} // namespace

TEST_F(PrintEngine, TheDefaultBellPausesAQuarterSecondThroughThePort) {
    SleepRecorder port;
    rt::setPort(&port);
    rt::setBeepHandler(nullptr);
    cls();
    put("\x07");
    rt::setPort(nullptr);
    ASSERT_EQ(port.sleeps.size(), 1u);
    EXPECT_EQ(port.sleeps[0].first, 250u);
    EXPECT_EQ(port.sleeps[0].second, rt::Wait::Plain);
    EXPECT_EQ(cursor(), (Cursor{1, 1, 0}));
}

TEST_F(PrintEngine, PendingWrapSurvivesClearScreen) {
    cls();
    put(letters(80));
    cls();
    EXPECT_EQ(cursor(), (Cursor{1, 1, 1}));
    piece("x");
    EXPECT_EQ(row(1), "");
    EXPECT_EQ(row(2), "x");
    EXPECT_EQ(cursor(), (Cursor{2, 2, 0}));
}

TEST_F(PrintEngine, ColourEighteenIsGreenWithTheBlinkBit) {
    cls();
    colour(18);
    put("g");
    EXPECT_EQ(page().foreground, 18);
    EXPECT_EQ(page().cell(1, 1), rt::makeCell('g', 0x82));
    EXPECT_EQ(rt::errorPending(), 0u);

    colour(31);
    put("w");
    EXPECT_EQ(attr(1, 2), 0x8F);
}

TEST_F(PrintEngine, OutOfRangeColoursRaiseErrorFiveAndChangeNothing) {
    struct Case {
        int foreground, background;
        std::uint32_t mask;
    };
    for (const Case c : {Case{32, 0, 1}, Case{-1, 0, 1}, Case{7, 16, 2}, Case{7, -3, 2},
                         Case{40, 3, 3}, Case{3, 99, 3}}) {
        freshRuntime();
        rt::setTextColour(12, 5, 0, 3);
        rt::setTextColour(c.foreground, c.background, 0, c.mask);
        EXPECT_EQ(rt::errorPending(), 5u) << c.foreground << "," << c.background;
        EXPECT_EQ((rt::eventPending() ? 1 : 0), 1);
        EXPECT_EQ(page().foreground, 12);
        EXPECT_EQ(page().background, 5);
    }
}

TEST_F(PrintEngine, BackgroundIsKeptModuloEightAndTheBorderIsIgnored) {
    rt::setTextColour(0, 9, 0, 2);
    EXPECT_EQ(page().background, 1);
    EXPECT_EQ(page().foreground, 7);
    rt::setTextColour(99, 99, 99, 4); // border only: accepted, nothing changes
    rt::setTextColour(99, 99, 99, 0);
    EXPECT_EQ(rt::errorPending(), 0u);
    EXPECT_EQ(page().foreground, 7);
    EXPECT_EQ(page().background, 1);
    put("b");
    EXPECT_EQ(attr(1, 1), 0x17);
}

TEST_F(PrintEngine, ClearScreenFillsThePrintAreaAndRow25WithTheCurrentAttribute) {
    // Before the first clear every cell is zero: character 0 on black.
    EXPECT_EQ(row(1), repeat('~', 80));
    EXPECT_TRUE(rowAttributesAre(25, 0));

    paintRows();
    moveTo(33, 17);
    rt::setTextColour(20, 2, 0, 3); // blinking red on green: 0xA4
    cls();
    for (int r = 1; r <= 25; ++r) {
        EXPECT_EQ(row(r), "") << r;
        EXPECT_TRUE(rowAttributesAre(r, 0xA4)) << r;
    }
    EXPECT_EQ(cursor(), (Cursor{1, 1, 0}));
}

TEST_F(PrintEngine, ClearScreenKeepsRowsOutsideANarrowerPrintAreaExceptTheLast) {
    page().printTop = 3;
    page().printBottom = 20;
    paintRows();
    cls();
    for (int r : {1, 2, 21, 22, 23, 24})
        EXPECT_EQ(row(r), paintedRow(r)) << r;
    for (int r = 3; r <= 20; ++r)
        EXPECT_EQ(row(r), "") << r;
    EXPECT_EQ(row(25), "");
    EXPECT_EQ(cursor(), (Cursor{1, 3, 0}));
}

TEST_F(PrintEngine, ClearScreenArguments) {
    paintRows();
    rt::clearScreen(2, 0, 1); // the print area only
    EXPECT_EQ(row(24), "");
    EXPECT_EQ(row(25), paintedRow(25));

    rt::clearScreen(0, 4, 3); // whole screen on red
    EXPECT_TRUE(rowAttributesAre(1, 0x47));
    EXPECT_TRUE(rowAttributesAre(25, 0x47));
    EXPECT_EQ(page().background, 0); // the fill colour is not kept

    paintRows();
    rt::clearScreen(0, 16, 2);
    EXPECT_EQ(rt::errorPending(), 5u);
    EXPECT_EQ(row(1), paintedRow(1));
    rt::clearError();
    rt::clearScreen(3, 0, 1);
    EXPECT_EQ(rt::errorPending(), 5u);
    EXPECT_EQ(row(1), paintedRow(1));
}

TEST_F(PrintEngine, PrintColourAndClearDoNothingWhileAnErrorIsPending) {
    cls();
    put("before");
    rt::raiseError(5);
    const Cursor was = cursor();

    put("after");
    lineEnd();
    rt::print(text(letters(100)), 1);
    colour(2);
    rt::setTextColour(3, 4, 0, 3);
    cls();
    rt::clearScreen(0, 5, 3);

    EXPECT_EQ(row(1), "before");
    EXPECT_EQ(cursor(), was);
    EXPECT_EQ(page().foreground, 7);
    EXPECT_EQ(page().background, 0);
    EXPECT_EQ(rt::errorPending(), 5u);
}

TEST_F(PrintEngine, MakeFitAndNextPrintZoneStillWorkWhileAnErrorIsPending) {
    cls();
    rt::raiseError(5);
    moveTo(7, 1);
    rt::nextPrintZone(); // must end even though print itself is switched off
    EXPECT_EQ(cursor(), (Cursor{15, 1, 0}));
    moveTo(70, 1);
    rt::makeFit(text(letters(20)));
    EXPECT_EQ(cursor(), (Cursor{1, 2, 0}));
}

// The renderer reads the display page on the main thread while the game
// thread prints: the cells and cursor are atomics, so this stays race free
// (run under ThreadSanitizer too).
TEST(ScreenSharing, TheRendererReadsTheDisplayPageWhileTheGamePrints) {
    freshRuntime();
    DisplayReader renderer;
    // Print until the renderer has seen a few frames (bounded).
    int i = 0;
    for (; i < 400 || (renderer.frames() < 5 && i < 1000000); ++i) {
        if (i % 50 == 0) rt::clearScreen(0, 0, 0);
        rt::setTextColour(i % 32, 0, 0, 1);
        piece("A line of the story, number " + std::to_string(i));
        rt::nextPrintZone();
        lineEnd();
        rt::releaseTemporaries(1, 0);
    }
    renderer.stop();
    EXPECT_GE(renderer.frames(), 5);
    // The last line sits just above the cursor row: row 23 once the screen
    // has filled since the last clear.
    const int last = i - 1;
    const int sinceClear = last % 50;
    const int lastRow = sinceClear < 23 ? sinceClear + 1 : 23;
    EXPECT_EQ(row(lastRow), "A line of the story, number " + std::to_string(last));
    EXPECT_EQ(cursor(), (Cursor{1, lastRow + 1, 0}));
    EXPECT_EQ(row(24), "");
    EXPECT_EQ(row(25), "");
}
