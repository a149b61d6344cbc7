// The main menu, the password screen, the hidden words, the developer menu
// and quitting from the main menu, played through the replay driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/game_walk.h"
#include "tests/support/replay.h"

#ifdef GLIMMER_REPLAY

using frame::expectMainMenu;
using frame::expectRows;
using frame::screen;

namespace {

// Attribute bytes: foreground in bits 0-3, blink in bit 7.
constexpr int kMagenta = 0x05, kGreen = 0x02, kCyan = 0x03, kGrey = 0x08, kWhite = 0x07;
constexpr int kBlinkingGreen = 0x82;

TEST(MainMenu, FreshRunShowsEveryRowWithThePromptOnRowTwentyTwo) {
    replay::Result r = replay::run("");
    ASSERT_GE(r.screens.size(), 1u) << r.output << r.errors;
    EXPECT_EQ(r.screens[0].kind, "input");
    expectMainMenu(r.screens[0]);
}

TEST(MainMenu, RowsHaveTheirColoursAndTheTitleTailRunsOntoTheNextRow) {
    replay::Result r = replay::runWithAttributes("");
    const replay::Screen& s = screen(r, 1);
    ASSERT_FALSE(s.attributes.empty());
    for (int c = 1; c <= 76; ++c)
        EXPECT_EQ(s.attribute(1, c), kMagenta) << "column " << c;
    // The first clear screen ran in the start-up colour.
    EXPECT_EQ(s.attribute(1, 77), kWhite);
    // 97 characters of title: a full row, then 17 blanks in the title colour.
    for (int c = 1; c <= 80; ++c)
        EXPECT_EQ(s.attribute(2, c), kGreen) << "column " << c;
    for (int c = 1; c <= 17; ++c)
        EXPECT_EQ(s.attribute(3, c), kGreen) << "column " << c;
    EXPECT_EQ(s.attribute(3, 18), kWhite);
    EXPECT_EQ(s.attribute(6, 3), kCyan);
    // Locked chapters are grey, up to the end of their text.
    for (int row : {8, 10, 12}) {
        EXPECT_EQ(s.attribute(row, 1), kGrey) << "row " << row;
        EXPECT_EQ(s.attribute(row, 25), kGrey) << "row " << row;
        EXPECT_EQ(s.attribute(row, 26), kWhite) << "row " << row;
    }
    for (int row : {14, 16, 18})
        EXPECT_EQ(s.attribute(row, 3), kWhite) << "row " << row;
    EXPECT_EQ(s.attribute(20, 1), kMagenta);
    EXPECT_EQ(s.attribute(20, 76), kMagenta);
    EXPECT_EQ(s.attribute(22, 1), kCyan);
    EXPECT_EQ(s.attribute(22, 22), kCyan);
}

TEST(MainMenu, UnlockedChapterTwoIsNamedInTheMenuColour) {
    replay::Result r = replay::runWithAttributes("5\nM3146\n\n");
    const replay::Screen& s = screen(r, 4);
    expectMainMenu(s, {.chapter2 = true});
    EXPECT_EQ(s.attribute(8, 3), kCyan);
    EXPECT_EQ(s.attribute(8, 38), kCyan);
    EXPECT_EQ(s.attribute(10, 3), kGrey);
}

TEST(MainMenu, UnmatchedEntriesDrawTheMenuAgain) {
    // "2" while locked, "3", "4", empty, a choice with a blank before it,
    // lower-case words, "10" while entry 10 is hidden.
    replay::Result r = replay::run("2\n3\n4\n\n 1\nFZORP\n10\n");
    ASSERT_EQ(r.screens.size(), 9u) << r.output;
    for (std::size_t n = 1; n <= 8; ++n)
        expectMainMenu(screen(r, n));
}

TEST(MainMenu, FzorpSwitchesDeveloperModeOnWithABlinkingMessage) {
    replay::Result r = replay::runWithAttributes("fzorp\n\n");
    const replay::Screen& s = screen(r, 2);
    expectRows(s, {"Fzorp mode enabled!", "Press ENTER to continue?"});
    EXPECT_EQ(s.cursorRow, 2);
    EXPECT_EQ(s.cursorColumn, 26);
    EXPECT_EQ(s.attribute(1, 1), kBlinkingGreen);
    EXPECT_EQ(s.attribute(2, 1), kBlinkingGreen);
    // Developer mode alone does not show entry 10.
    expectMainMenu(screen(r, 3));
}

TEST(MainMenu, FzorpTypedAgainOnlyRedrawsTheMenu) {
    replay::Result r = replay::run("fzorp\n\nfzorp\n");
    ASSERT_EQ(r.screens.size(), 5u) << r.output;
    expectMainMenu(screen(r, 4));
}

TEST(MainMenu, BlimxShowsEntryTenTwoRowsLongerInDeveloperModeOnly) {
    // blimx before developer mode does nothing, not even later.
    replay::Result r = replay::runWithAttributes("blimx\nfzorp\n\n10\nblimx\n");
    expectMainMenu(screen(r, 2));
    expectMainMenu(screen(r, 4));
    expectMainMenu(screen(r, 5));
    const replay::Screen& s = screen(r, 6);
    expectMainMenu(s, {.entry10 = true});
    for (int c = 1; c <= 11; ++c)
        EXPECT_EQ(s.attribute(20, c), kBlinkingGreen) << "column " << c;
    EXPECT_EQ(s.attribute(22, 1), kMagenta);
    EXPECT_EQ(s.attribute(24, 1), kCyan);
}

TEST(MainMenu, EntryTenOpensTheDeveloperMenu) {
    replay::Result r = replay::run(frame::kOpenDeveloperMenu);
    const replay::Screen& s = screen(r, frame::kDeveloperMenuScreen);
    expectRows(s, frame::developerMenuRows());
    EXPECT_EQ(s.cursorRow, 10);
    EXPECT_EQ(s.cursorColumn, 4);
}

TEST(PasswordScreen, AsksOnItsOwnRowAfterTheWarning) {
    replay::Result r = replay::run("5\n");
    const replay::Screen& s = screen(r, 2);
    expectRows(s, {"", "Please Enter your password, keep in mind it IS case sensative", "", " ?"});
    EXPECT_EQ(s.cursorRow, 4);
    EXPECT_EQ(s.cursorColumn, 4);
}

TEST(PasswordScreen, ShowsItsHeaderInDeveloperMode) {
    replay::Result r = replay::run("fzorp\n\n5\n");
    expectRows(
        screen(r, 4),
        {"", "Line 30", "Please Enter your password, keep in mind it IS case sensative", "", " ?"});
}

struct PasswordCase {
    const char* word;
    bool dearHelen, lockOut, foremansDiary;
};

class EveryPassword : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(EveryPassword, UnlocksChapterTwoAndRestoresItsNotes) {
    const PasswordCase& p = GetParam();
    replay::Result r = replay::run(std::string("5\n") + p.word + "\n\n6\n");
    expectRows(screen(r, 3), {"You have unlocked Chapter 2!", "", "Press ENTER to continue?"});
    expectMainMenu(screen(r, 4), {.chapter2 = true});
    expectRows(screen(r, 5), frame::notesRows(p.dearHelen, p.lockOut, p.foremansDiary));
}

INSTANTIATE_TEST_SUITE_P(Passwords, EveryPassword,
                         ::testing::Values(PasswordCase{"K2071", true, false, false},
                                           PasswordCase{"M3146", false, false, false},
                                           PasswordCase{"P5208", false, true, false},
                                           PasswordCase{"R6473", false, false, true},
                                           PasswordCase{"T7325", true, true, false},
                                           PasswordCase{"V8419", true, true, true},
                                           PasswordCase{"W9562", true, false, true},
                                           PasswordCase{"X1684", false, true, true}));

class InvalidPassword : public ::testing::TestWithParam<const char*> {};

TEST_P(InvalidPassword, IsRefusedAndChangesNothing) {
    replay::Result r = replay::run(std::string("5\n") + GetParam() + "\n\n6\n");
    expectRows(screen(r, 3), {"That is an invalid password!", "", "Press ENTER to continue?"});
    expectMainMenu(screen(r, 4));
    expectRows(screen(r, 5), frame::notesRows(false, false, false));
}

INSTANTIATE_TEST_SUITE_P(Passwords, InvalidPassword,
                         ::testing::Values("k2071", "v8419", "A1234", "", "K2071 ", "K207",
                                           "fzorp"));

TEST(Quit, ShowsTheCreditsThenEndsAfterAKey) {
    replay::Result r = replay::run("9\nx");
    const replay::Screen* end = r.lastOf("end");
    ASSERT_NE(end, nullptr) << r.output;
    std::vector<std::string> rows(replay::kRows);
    rows[0] = "Thanks for playing.";
    rows[3] = "Programmed by Ellis Varn";
    rows[24] = "Press any key to continue";
    expectRows(*end, rows);
    EXPECT_EQ(end->cursorRow, 25);
    EXPECT_EQ(end->cursorColumn, 26);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.processStatus, 0);
}

TEST(Quit, ShowsItsHeaderInDeveloperMode) {
    replay::Result r = replay::run("fzorp\n\n9\nx");
    const replay::Screen* end = r.lastOf("end");
    ASSERT_NE(end, nullptr) << r.output;
    EXPECT_EQ(end->row(1), "Line 70");
    EXPECT_EQ(end->row(2), "");
    EXPECT_EQ(end->row(3), "Thanks for playing.");
    EXPECT_EQ(end->row(6), "Programmed by Ellis Varn");
    EXPECT_EQ(end->row(25), "Press any key to continue");
    EXPECT_EQ(r.exitStatus, 0);
}

TEST(Quit, WaitsForTheKeyAfterThePrompt) {
    replay::Result r = replay::run("9\n");
    EXPECT_NE(r.lastOf("end"), nullptr) << r.output;
    EXPECT_FALSE(r.exited);
    EXPECT_TRUE(r.scriptEnd);
}

// Opens the developer menu, types entry and then the rest.
std::string developer(const std::string& entry, const std::string& rest = "") {
    return std::string(frame::kOpenDeveloperMenu) + entry + "\n" + rest;
}

TEST(DeveloperMenu, ShowsItselfAgainAfterFlagEntriesAndUnknownOnes) {
    for (const char* entry : {"4", "spear", "lighter", "knife", "ymush", "water", "smoke", "key1",
                              "led", "gummie", "1", "2", "2110", "", "fzorp", "10"}) {
        replay::Result r = replay::run(developer(entry));
        SCOPED_TRACE(entry);
        expectRows(screen(r, frame::kDeveloperMenuScreen + 1), frame::developerMenuRows());
    }
}

TEST(DeveloperMenu, AllNotesEntryCollectsTheThreeChapterOneNotes) {
    // 4, then the end-of-demo jump back to the main menu, then the viewer.
    replay::Result r = replay::run(developer("4", "2000\n\n6\n"));
    expectRows(screen(r, frame::kDeveloperMenuScreen + 4), frame::notesRows(true, true, true));
}

TEST(DeveloperMenu, ItsEntryHidesMainMenuEntryTen) {
    replay::Result r = replay::run(developer("2000", "\n"));
    expectMainMenu(screen(r, frame::kDeveloperMenuScreen + 2), {.chapter2 = true});
}

TEST(DeveloperMenu, EntryThreeStartsANewGameAtTheMainMenu) {
    replay::Result r = replay::run(developer("3"));
    expectMainMenu(screen(r, frame::kDeveloperMenuScreen + 1));
}

TEST(DeveloperMenu, EntryOneUnlocksChapterTwo) {
    replay::Result r = replay::run(developer("1", "3\n"));
    expectMainMenu(screen(r, frame::kDeveloperMenuScreen + 2), {.chapter2 = true});
}

TEST(DeveloperMenu, EntryTwoThousandShowsTheEndOfTheDemo) {
    replay::Result r = replay::run(developer("2000", "\n"));
    const replay::Screen& s = screen(r, frame::kDeveloperMenuScreen + 1);
    EXPECT_EQ(s.row(1), "");
    EXPECT_EQ(s.row(2).rfind("Keep an eye on ", 0), 0u) << s.row(2);
    EXPECT_EQ(s.row(3), "game.");
    EXPECT_EQ(s.row(5), "Press ENTER to continue?");
}

TEST(DeveloperMenu, EntryFiveThousandStartsTheWordGame) {
    replay::Result r = replay::run(developer("5000"));
    expectRows(screen(r, frame::kDeveloperMenuScreen + 1), {"Enter the name of an object?"});
}

} // namespace

#endif // GLIMMER_REPLAY
