// The word game of the developer menu, played through the replay driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/game_walk.h"
#include "tests/support/replay.h"

#ifdef GLIMMER_REPLAY

using frame::expectMainMenu;
using frame::expectRows;
using frame::expectRowsAt;
using frame::screen;

namespace {

// The developer menu's entry 5000, then the five words, the pause and the
// story's closing prompt.
replay::Result play(const std::vector<std::string>& words) {
    std::string keys = std::string(frame::kOpenDeveloperMenu) + "5000\n";
    for (const std::string& w : words)
        keys += w + "\n";
    return replay::runWithAttributes(keys + "\n\n");
}

constexpr std::size_t kFirstPrompt = frame::kDeveloperMenuScreen + 1;

TEST(WordGame, EchoesEachEntryBetweenEmptyLines) {
    replay::Result r = play({"lamp", "Napoleon", "run", "Paris", "joy"});
    const replay::Screen& asked = screen(r, kFirstPrompt + 5);
    expectRows(asked, {"Enter the name of an object? lamp",
                       "",
                       "lamp",
                       "",
                       "Enter the name of a famous person? Napoleon",
                       "",
                       "Napoleon",
                       "",
                       "Enter the name of an action, such as a verb.? run",
                       "",
                       "run",
                       "",
                       "Enter the name of a place.? Paris",
                       "",
                       "Paris",
                       "",
                       "Enter an emotion or feeling.? joy",
                       "",
                       "joy",
                       "",
                       "Ok done press ENTER to continue.?"});
    EXPECT_EQ(asked.attribute(1, 1), 0x0D);
    EXPECT_EQ(asked.attribute(21, 1), 0x0D);
}

TEST(WordGame, TellsTheStoryWithFifteenInsertionsAndIngAttached) {
    replay::Result r = play({"lamp", "Napoleon", "run", "Paris", "joy"});
    const replay::Screen& story = screen(r, kFirstPrompt + 6);
    expectRows(story, {
                          "One grey morning I set out on a long walk with Napoleon.",
                          "By the road we found a dusty old lamp, and Napoleon picked it up.",
                          "We agreed at once that the lamp must be shown to our friend.",
                          "So we carried it all the way to Paris, with Napoleon leading.",
                          "Halfway there we stopped to run, and Napoleon rested on a park bench.",
                          "When at last we reached Paris, we held up the lamp.",
                          "Our friend was filled with joy and told Napoleon to keep the lamp.",
                          "Then Napoleon waved goodbye and we turned for home at sunset.",
                          "All the way home we could not stop runing, and we never went back.",
                          "",
                          "",
                          "?",
                      });
    EXPECT_EQ(story.cursorRow, 12);
    EXPECT_EQ(story.cursorColumn, 3);
    EXPECT_EQ(story.attribute(1, 1), 0x0D);
}

TEST(WordGame, KeepsEntriesExactlyAsTyped) {
    replay::Result r = play({"x", " Ada ", "Bake", "y", "z"});
    const replay::Screen& story = screen(r, kFirstPrompt + 6);
    EXPECT_EQ(story.row(1), "One grey morning I set out on a long walk with  Ada .");
    EXPECT_EQ(story.row(9), "All the way home we could not stop Bakeing, and we never went back.");
}

TEST(WordGame, EmptyEntriesLeaveEmptyEchoesAndGaps) {
    replay::Result r = play({"", "", "", "", ""});
    const replay::Screen& asked = screen(r, kFirstPrompt + 5);
    expectRowsAt(
        asked,
        {{1, "Enter the name of an object?"}, {3, ""}, {5, "Enter the name of a famous person?"}});
    expectRowsAt(screen(r, kFirstPrompt + 6),
                 {{1, "One grey morning I set out on a long walk with ."},
                  {7, "Our friend was filled with  and told  to keep the ."},
                  {9, "All the way home we could not stop ing, and we never went back."}});
}

TEST(WordGame, LongEntryPushesTheRestOfItsLineOntoTheNextRow) {
    const std::string person(60, 'P');
    replay::Result r = play({"lamp", person, "run", "Paris", "joy"});
    const replay::Screen& story = screen(r, kFirstPrompt + 6);
    EXPECT_EQ(story.row(1), "One grey morning I set out on a long walk with");
    EXPECT_EQ(story.row(2), person + ".");
    EXPECT_EQ(story.row(3), "By the road we found a dusty old lamp, and");
    EXPECT_EQ(story.row(4), person + " picked it up.");
}

TEST(WordGame, EndsAtTheMainMenuInDeveloperMode) {
    replay::Result r = play({"a", "b", "c", "d", "e"});
    // Entry 10 is hidden again: the developer menu's entry was "5000".
    expectMainMenu(screen(r, kFirstPrompt + 7), {});
}

} // namespace

#endif // GLIMMER_REPLAY
