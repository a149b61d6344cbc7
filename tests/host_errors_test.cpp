// Runtime errors, end program, pausing and closing, played end to end: small
// test games (tests/hostcore/test_games.cpp) run through the replay driver
// with the real host core, keyboard model and runtime.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_games.h"

namespace {

using testgames::expectCleanExit;
using testgames::play;

TEST(RuntimeErrors, DialogShowsCaptionLineAndMessageAndYesContinues) {
    replay::Result r = play("errors", "{Yes}{Yes}{Yes}{Yes}ok\nq");
    expectCleanExit(r);
    ASSERT_EQ(r.dialogs.size(), 4u);
    // Error 0 is reported as error 5.
    EXPECT_EQ(r.dialogs[0].caption, "Unhandled Error #5");
    EXPECT_EQ(r.dialogs[0].lines,
              (std::vector<std::string>{"Line:120", "Illegal function call", "Continue?"}));
    EXPECT_EQ(r.dialogs[0].buttons, (std::vector<std::string>{"Yes", "No"}));
    // Two errors in one statement: only the first is shown.
    EXPECT_EQ(r.dialogs[1].caption, "Unhandled Error #6");
    EXPECT_EQ(r.dialogs[1].lines, (std::vector<std::string>{"Line:140", "Overflow", "Continue?"}));
    // A negative number is reported as error 5.
    EXPECT_EQ(r.dialogs[2].caption, "Unhandled Error #5");
    EXPECT_EQ(r.dialogs[2].lines[0], "Line:150");
    // A number without a message.
    EXPECT_EQ(r.dialogs[3].caption, "Unhandled Error #99");
    EXPECT_EQ(r.dialogs[3].lines,
              (std::vector<std::string>{"Line:160", "Unprintable error", "Continue?"}));

    // Yes goes on with the next statement; the failed statement printed
    // nothing.
    ASSERT_GE(r.screens.size(), 2u);
    const replay::Screen& s = r.screens[0];
    EXPECT_EQ(s.kind, "input");
    EXPECT_EQ(s.row(1), "before the errors");
    EXPECT_EQ(s.row(2), "after error zero");
    EXPECT_EQ(s.row(3), "after all errors");
    EXPECT_EQ(s.row(4), "Done?");
    EXPECT_FALSE(s.contains("not printed"));
    EXPECT_EQ(r.last().kind, "end");
}

TEST(RuntimeErrors, CriticalNumberShowsOnlyOkAndEnds) {
    replay::Result r = play("critical301", "{Yes}{No}{OK}");
    expectCleanExit(r);
    ASSERT_EQ(r.dialogs.size(), 1u);
    EXPECT_EQ(r.dialogs[0].caption, "Critical Error #301");
    EXPECT_EQ(r.dialogs[0].lines, (std::vector<std::string>{"Line:77", "Invalid size"}));
    EXPECT_EQ(r.dialogs[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_TRUE(r.screens.empty());
}

TEST(RuntimeErrors, RaisedCriticalErrorEndsAfterItsBox) {
    replay::Result r = play("critical11", "{OK}");
    expectCleanExit(r);
    ASSERT_EQ(r.dialogs.size(), 1u);
    EXPECT_EQ(r.dialogs[0].caption, "Critical Error");
    EXPECT_EQ(r.dialogs[0].lines, (std::vector<std::string>{"Division by zero"}));
    EXPECT_EQ(r.dialogs[0].buttons, (std::vector<std::string>{"OK"}));
}

TEST(RuntimeErrors, FloatingPointSignalShowsDivisionByZero) {
    replay::Result r = play("signal", "{OK}");
    expectCleanExit(r);
    ASSERT_EQ(r.dialogs.size(), 1u);
    EXPECT_EQ(r.dialogs[0].caption, "Critical Error");
    EXPECT_EQ(r.dialogs[0].text(), "Division by zero");
}

TEST(RuntimeErrors, ScriptEndingInTheDialogEndsTheReplay) {
    replay::Result r = play("errors", "");
    EXPECT_TRUE(r.scriptEnd);
    EXPECT_FALSE(r.exited);
    EXPECT_EQ(r.processStatus, 0);
    ASSERT_EQ(r.dialogs.size(), 1u);
    ASSERT_EQ(r.screens.size(), 1u);
    EXPECT_EQ(r.screens[0].kind, "script-end");
}

TEST(EndProgram, PromptOnTheLastRowAndAnyKeyEnds) {
    replay::Result r = play("prompt", "Ann\nBob\nz");
    expectCleanExit(r);
    ASSERT_EQ(r.screens.size(), 3u);
    EXPECT_EQ(r.screens[0].kind, "input");
    EXPECT_EQ(r.screens[0].row(1), "Hello from the test game");
    EXPECT_EQ(r.screens[0].row(2), "Name?");
    EXPECT_EQ(r.screens[0].cursorRow, 2);
    EXPECT_EQ(r.screens[0].cursorColumn, 7);
    EXPECT_EQ(r.screens[1].kind, "input");
    EXPECT_EQ(r.screens[1].row(3), "You typed [Ann]");
    EXPECT_EQ(r.screens[1].row(4), "Again?");
    const replay::Screen& end = r.screens[2];
    EXPECT_EQ(end.kind, "end");
    EXPECT_EQ(end.row(5), "Then [Bob]");
    EXPECT_EQ(end.row(25), "Press any key to continue");
    EXPECT_EQ(end.cursorRow, 25);
    EXPECT_EQ(end.cursorColumn, 26);
}

TEST(EndProgram, EmptiesTheBufferBeforeItWaits) {
    // Two keys wait in the buffer when end program starts: they are thrown
    // away, so the program still waits for a key of its own.
    replay::Result r = play("drain", "");
    EXPECT_TRUE(r.scriptEnd) << r.output;
    EXPECT_FALSE(r.exited);
    ASSERT_EQ(r.screens.size(), 2u);
    EXPECT_EQ(r.screens[0].kind, "end");
    EXPECT_EQ(r.screens[1].kind, "script-end");
    EXPECT_EQ(r.screens[0].row(25), "Press any key to continue");

    replay::Result ended = play("drain", "k");
    expectCleanExit(ended);
    ASSERT_EQ(ended.screens.size(), 1u);
}

TEST(EndProgram, ReplacesTheLastRowAndKeepsTheOthers) {
    replay::Result r = play("lastrow", " ", {"--attributes"});
    expectCleanExit(r);
    ASSERT_EQ(r.screens.size(), 1u);
    const replay::Screen& s = r.screens[0];
    for (int row = 1; row <= 24; ++row)
        EXPECT_EQ(s.row(row), "row " + std::to_string(row));
    EXPECT_EQ(s.row(25), "Press any key to continue");
    ASSERT_EQ(s.attributes.size(), 25u);
    // The other rows keep their colours; the last row is blanked in the
    // current colours (green on black) before the prompt.
    EXPECT_EQ(s.attribute(1, 1), 0x1E);
    EXPECT_EQ(s.attribute(25, 1), 0x02);
    EXPECT_EQ(s.attribute(25, 30), 0x02);
    EXPECT_EQ(s.attribute(25, 80), 0x02);
}

using Rows = std::vector<std::string>;

TEST(Pausing, AnyKeyEndsThePauseAndIsNotTyped) {
    replay::Result r = play("pause", "xy\nq");
    expectCleanExit(r);
    ASSERT_EQ(r.screens.size(), 2u);
    EXPECT_EQ(r.screens[0].kind, "input");
    EXPECT_EQ(r.screens[0].nonEmptyRows(),
              (Rows{"before the pause", "after the pause", "Answer?"}));
    // x ended the pause; only y reached the line input.
    EXPECT_EQ(r.screens[1].nonEmptyRows(), (Rows{"before the pause", "after the pause", "Answer? y",
                                                 "got [y]", "Press any key to continue"}));
}

TEST(Pausing, ScriptEndingWhilePausedShowsTheScreen) {
    replay::Result r = play("pause", "");
    EXPECT_TRUE(r.scriptEnd);
    ASSERT_EQ(r.screens.size(), 1u);
    EXPECT_EQ(r.screens[0].kind, "script-end");
    EXPECT_EQ(r.screens[0].text(), "before the pause\n" + std::string(24, '\n'));
}

TEST(Pausing, PauseKeyDuringLineInputIsEndedByTheNextKey) {
    // {Pause} then x: x only ends the pause, so the line is "y".
    replay::Result r = play("prompt", "{Pause}xy\nb\nq");
    expectCleanExit(r);
    ASSERT_GE(r.screens.size(), 2u);
    EXPECT_EQ(r.screens[1].row(3), "You typed [y]");
}

// Runs that end with status 0: the dialogs and screens each shows on the way
// (an empty last kind: no screen at all, so no end program prompt either).
struct CleanEnd {
    const char* what;
    const char* game;
    const char* script;
    std::size_t dialogs;
    std::size_t screens;
    const char* lastKind;
};
constexpr CleanEnd kCleanEnds[] = {
    {"No in the error dialog ends without the prompt", "errors", "{No}", 1, 0, ""},
    // Typed keys and an OK the dialog does not offer are swallowed by it.
    {"keys while the dialog is up do not answer it", "errors", "abc{OK}\n{No}", 1, 0, ""},
    {"a stop request during the buffer drain does not wait", "drainstop", "", 0, 0, ""},
    {"a game entry that returns ends the program", "returns", "", 0, 0, ""},
    {"closing while paused", "pause", "{Close}", 0, 0, ""},
    {"closing in line input", "prompt", "An{Close}", 0, 1, "input"},
    {"closing in end program's wait", "prompt", "a\nb\n{Close}", 0, 3, "end"},
    {"closing the error dialog", "errors", "{Close}", 1, 0, ""},
    {"closing the critical dialog", "critical301", "{Close}", 1, 0, ""},
    {"the break key ends like end program", "prompt", "ab{Break}", 0, 1, "input"},
};

TEST(Ending, EachWayOfEndingExitsWithZero) {
    for (const CleanEnd& c : kCleanEnds) {
        SCOPED_TRACE(c.what);
        replay::Result r = play(c.game, c.script);
        expectCleanExit(r);
        EXPECT_EQ(r.dialogs.size(), c.dialogs);
        ASSERT_EQ(r.screens.size(), c.screens);
        if (c.screens == 0)
            EXPECT_EQ(r.output.find("Press any key"), std::string::npos);
        else
            EXPECT_EQ(r.last().kind, c.lastKind);
    }
}

TEST(StartUp, CommandLineIsTheArgumentsJoinedBySpaces) {
    replay::Result r = play("cmdline", "q", {"--arg", "alpha", "--arg", "beta gamma"});
    expectCleanExit(r);
    ASSERT_EQ(r.screens.size(), 1u);
    EXPECT_EQ(r.screens[0].row(1), "[alpha beta gamma]");
    EXPECT_EQ(r.screens[0].row(2), "[alpha beta gamma]");

    replay::Result none = play("cmdline", "q");
    ASSERT_EQ(none.screens.size(), 1u);
    EXPECT_EQ(none.screens[0].row(1), "[]");
    EXPECT_EQ(none.screens[0].row(2), "[]");
}

TEST(StartUp, ChainTagIsCutFromTheCommandLine) {
    replay::Result r =
        play("cmdline", "q", {"--arg", "first", "--arg", "(unique-tag:=/@*$+-)chain123.tmp"});
    expectCleanExit(r);
    ASSERT_EQ(r.screens.size(), 1u);
    EXPECT_EQ(r.screens[0].row(1), "[first]");
}

TEST(StartUp, WorkingDirectoryBecomesTheProgramsFolder) {
    std::string program = GLIMMER_TEST_GAMES;
    std::string folder = program.substr(0, program.rfind('/'));
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir("/"), 0);
    replay::Result r = play("folder", "q");
    ASSERT_EQ(::chdir(previous), 0);
    expectCleanExit(r);
    ASSERT_EQ(r.screens.size(), 1u);
    // The path may wrap onto the next row when it is long.
    std::string shown = r.screens[0].row(1) + r.screens[0].row(2);
    EXPECT_EQ(shown, "cwd=" + folder);
}

} // namespace
