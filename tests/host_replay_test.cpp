// The replay driver: script parsing, and its output format end to end
// through small test games (tests/hostcore/test_games.cpp).
#include <gtest/gtest.h>

#include <SDL/SDL_keysym.h>

#include <string>
#include <vector>

#include "tests/support/test_games.h"
#include "tools/replay/replay_driver.h"

namespace {

using replay::Step;

using testgames::expectCleanExit;
using testgames::play;

std::vector<std::uint32_t> characters(const replay::ParseResult& p) {
    std::vector<std::uint32_t> out;
    for (const Step& s : p.steps)
        out.push_back(s.kind == Step::Kind::Character ? s.unicode : 0);
    return out;
}

TEST(ReplayScript, CharactersNewlinesAndDoubledBraces) {
    replay::ParseResult p = replay::parseScript("a{{b}\r\nc\rd\n");
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.steps.size(), 9u);
    EXPECT_EQ(characters(p),
              (std::vector<std::uint32_t>{'a', '{', 'b', '}', 0, 'c', '\r', 'd', 0}));
    // The carriage return before the newline is dropped; the newline is Enter.
    EXPECT_EQ(p.steps[4].kind, Step::Kind::Key);
    EXPECT_EQ(p.steps[4].symbol, SDLK_RETURN);
    EXPECT_EQ(p.steps[4].unicode, 13u);
    // A lone carriage return stays a character.
    EXPECT_EQ(p.steps[6].kind, Step::Kind::Character);
    EXPECT_EQ(p.steps[7].line, 2);
}

TEST(ReplayScript, NamedKeysAndButtons) {
    replay::ParseResult p =
        replay::parseScript("{Enter}{Up}{F12}{Del}{Pause}{Break}{Alt+Enter}{Close}{Yes}{No}{OK}");
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.steps.size(), 11u);
    EXPECT_EQ(p.steps[0].symbol, SDLK_RETURN);
    EXPECT_EQ(p.steps[1].symbol, SDLK_UP);
    EXPECT_EQ(p.steps[1].unicode, 0u);
    EXPECT_EQ(p.steps[2].symbol, SDLK_F12);
    EXPECT_EQ(p.steps[3].symbol, SDLK_DELETE);
    EXPECT_EQ(p.steps[4].symbol, SDLK_PAUSE);
    EXPECT_EQ(p.steps[5].symbol, SDLK_BREAK);
    EXPECT_EQ(p.steps[6].kind, Step::Kind::AltEnter);
    EXPECT_EQ(p.steps[7].kind, Step::Kind::Close);
    EXPECT_EQ(p.steps[8].kind, Step::Kind::Yes);
    EXPECT_EQ(p.steps[9].kind, Step::Kind::No);
    EXPECT_EQ(p.steps[10].kind, Step::Kind::OK);
}

TEST(ReplayScript, UnknownOrUnclosedTokensAreErrorsWithTheirLine) {
    replay::ParseResult p = replay::parseScript("ab\n\ncd{Return}x");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, "unknown key {Return} on line 3");
    EXPECT_EQ(replay::parseScript("{enter}").error, "unknown key {enter} on line 1");
    EXPECT_EQ(replay::parseScript("x\n{Ent\ner}").error, "unknown key {Ent on line 2");
    EXPECT_EQ(replay::parseScript("{}").error, "unknown key {} on line 1");
}

TEST(ReplayScript, Utf8CharactersAreDecodedAndBadBytesReplaced) {
    replay::ParseResult p = replay::parseScript("\xC3\xA9\xE2\x98\xBA\xFF\xC3");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(characters(p), (std::vector<std::uint32_t>{0xE9, 0x263A, 0xFFFD, 0xFFFD}));
}

TEST(ReplayDriver, UnknownKeyStopsBeforeAnythingRuns) {
    replay::Result r = play("prompt", "Ann\n{Bogus}\n");
    EXPECT_EQ(r.processStatus, 2);
    EXPECT_EQ(r.errors, "glimmerdeep-replay: unknown key {Bogus} on line 2\n");
    EXPECT_TRUE(r.output.empty());
}

TEST(ReplayDriver, ScreenHeaderAndRowsFormat) {
    replay::Result r = play("prompt", "Ann\r\n");
    EXPECT_TRUE(r.scriptEnd);
    EXPECT_EQ(r.processStatus, 0);
    // Exactly: header, 25 rows per screen; the last line is "=== script end".
    std::string expectedStart = "=== screen 1 input cursor 2,7\nHello from the test game\nName?\n";
    EXPECT_EQ(r.output.substr(0, expectedStart.size()), expectedStart);
    ASSERT_EQ(r.screens.size(), 3u);
    EXPECT_EQ(r.screens[1].number, 2);
    EXPECT_EQ(r.screens[1].kind, "input");
    EXPECT_EQ(r.screens[1].row(3), "You typed [Ann]"); // the CR was dropped
    // The script ran out at the second prompt: a script-end screen follows.
    EXPECT_EQ(r.screens[2].number, 3);
    EXPECT_EQ(r.screens[2].kind, "script-end");
    EXPECT_EQ(r.screens[2].text(), r.screens[1].text());
    EXPECT_EQ(r.output.substr(r.output.size() - 15), "=== script end\n");
    int lines = 0;
    for (char c : r.output)
        lines += c == '\n';
    EXPECT_EQ(lines, 3 * 26 + 1);
}

TEST(ReplayDriver, ShiftedCharactersAndBracesReachTheGame) {
    replay::Result r = play("prompt", "A{{b}C!~\nz\n ");
    ASSERT_GE(r.screens.size(), 2u);
    EXPECT_EQ(r.screens[1].row(3), "You typed [A{b}C!~]");
}

TEST(ReplayDriver, GlyphsAsUnicodeWithBlanksForZeroAnd255) {
    replay::Result r = play("glyphs", "q", {"--attributes"});
    expectCleanExit(r);
    ASSERT_EQ(r.screens.size(), 1u);
    const replay::Screen& s = r.screens[0];
    EXPECT_EQ(s.row(1), " ☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼");
    EXPECT_EQ(s.row(2), " !\"#$%&'()*+,-./0123456789:;<=>?");
    EXPECT_EQ(s.row(4), "`abcdefghijklmnopqrstuvwxyz{|}~⌂");
    EXPECT_EQ(s.row(5), "ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒ");
    // 255 is a blank, and trailing blanks are removed.
    EXPECT_EQ(s.row(8), "αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■");
    // Attributes: lower-case hex, two digits per cell.
    ASSERT_EQ(s.attributes.size(), 25u);
    EXPECT_EQ(s.attributes[0].substr(0, 8), "00010203");
    EXPECT_EQ(s.attributes[7].substr(60, 4), "feff");
    EXPECT_EQ(s.attribute(8, 32), 0xFF);
    EXPECT_EQ(s.attributes[7].substr(64), std::string(96, '0'));
    EXPECT_EQ(s.cursorRow, 25);
}

TEST(ReplayDriver, ManyPromptsReplayQuickly) {
    std::string script;
    for (int i = 0; i < 400; ++i)
        script += std::to_string(i % 10) + "\n";
    script += "q";
    replay::Result r = play("many", script);
    expectCleanExit(r);
    ASSERT_EQ(r.screens.size(), 401u);
    EXPECT_EQ(r.screens[400].kind, "end");
    EXPECT_EQ(r.screens[400].row(23), "[9]");
    EXPECT_EQ(r.screens[400].row(22), "Choice? 9");
}

TEST(ReplayDriver, BadOptionsAndSecondScriptAreUsageErrors) {
    replay::Result bad = replay::runWith(GLIMMER_TEST_GAMES, {"prompt", "--bogus"}, "");
    EXPECT_EQ(bad.processStatus, 2);
    EXPECT_TRUE(bad.output.empty());
    replay::Result two = replay::runWith(GLIMMER_TEST_GAMES, {"prompt", "/nonexistent/keys"}, "");
    EXPECT_EQ(two.processStatus, 2);
    EXPECT_TRUE(two.output.empty());
}

} // namespace

#ifdef GLIMMER_REPLAY
namespace {

// The real game through glimmerdeep-replay: quitting from the main menu ends
// with end program's prompt, and the next key ends the program.
TEST(ReplayDriver, RealGameQuitsThroughEndProgram) {
    replay::Result r = replay::run("9\nx");
    expectCleanExit(r);
    ASSERT_GE(r.screens.size(), 2u);
    EXPECT_EQ(r.screens.front().kind, "input");
    EXPECT_EQ(r.last().kind, "end");
    EXPECT_EQ(r.last().row(25), "Press any key to continue");
}

} // namespace
#endif
