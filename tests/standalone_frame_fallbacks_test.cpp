// The frame's own screens where a complete game gives no key sequence to
// reach them: resume texts no table lists and the score screen at exactly
// 100 and 300 points. Only the frame's scene groups are registered here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/scene.h"
#include "game/state.h"
#include "tests/support/frame_harness.h"

namespace {

using harness::freshGame;
using harness::play;
using harness::rows;
namespace labels = game::labels;

const std::string kErrorScreen =
    rows({"Error part1$ not defined, quiting to main menu.", "", "Press ENTER to continue?"});

bool isMainMenu(const std::string& screen) {
    return screen.find("What is your choice??") != std::string::npos &&
           screen.find("  1- Chapter 1 - The Discovery") != std::string::npos;
}

TEST(InventoryResume, UnlistedTextEndsTheStoryWithAnErrorScreen) {
    // "538" is the spider fight's, which opens no inventory.
    for (const char* text : {"538", "0", "none", "1", ""}) {
        SCOPED_TRACE(text);
        freshGame();
        game::let(game::currentScene, text);
        game::let(game::knife, "1");
        harness::Run run = play(labels::inventory, "\n\n");
        ASSERT_EQ(run.screens.size(), 3u);
        EXPECT_EQ(run.screens[1], kErrorScreen);
        EXPECT_TRUE(isMainMenu(run.screens[2])) << run.screens[2];
        // A new game: the items are gone.
        EXPECT_EQ(game::knife.view(), "0");
        EXPECT_EQ(game::currentScene.view(), "0");
    }
}

TEST(QuitResume, UnlistedTextShowsTheErrorScreenAndKeepsTheStory) {
    for (const char* text : {"0", "1", "220", "2005", "", "103 "}) {
        SCOPED_TRACE(text);
        freshGame();
        game::let(game::currentScene, text);
        game::let(game::knife, "1");
        game::health = 50;
        harness::Run run = play(labels::quitStory, "2\n\n");
        ASSERT_EQ(run.screens.size(), 3u);
        EXPECT_EQ(run.screens[1], kErrorScreen);
        EXPECT_TRUE(isMainMenu(run.screens[2])) << run.screens[2];
        // No new game: items and health stay as they were.
        EXPECT_EQ(game::knife.view(), "1");
        EXPECT_EQ(game::health, 50.0f);
    }
}

std::string scoreScreen(const std::string& score, const std::string& rating) {
    return rows({"", "Your total score for this story is  " + score, "", rating, "", "",
                 "Press Enter to Continue.?"});
}

TEST(ScoreScreen, ExactlyOneHundredAndThreeHundredJoinTheUpperTiers) {
    struct Case {
        float score;
        const char* text;
        const char* rating;
    };
    for (const Case& c : {Case{99, "99", "You can do better than that!"},
                          Case{100, "100", "Nice work, but you can do better!"},
                          Case{299, "299", "Nice work, but you can do better!"},
                          Case{300, "300", "Excellent work, you are a Grade A explorer!"}}) {
        SCOPED_TRACE(c.text);
        freshGame();
        game::score = c.score;
        game::health = 0;
        harness::Run run = play(labels::quitStory, "\n");
        ASSERT_EQ(run.screens.size(), 2u);
        EXPECT_EQ(run.screens[0], scoreScreen(c.text, c.rating));
        EXPECT_TRUE(isMainMenu(run.screens[1])) << run.screens[1];
        EXPECT_EQ(game::score, 0.0f);
        EXPECT_EQ(game::health, 100.0f);
    }
}

TEST(ScoreScreen, EndedStorySkipsTheQuestionWhateverTheHealth) {
    freshGame();
    game::let(game::currentScene, "none");
    game::health = 100;
    game::score = 50;
    harness::Run run = play(labels::quitStory, "");
    ASSERT_EQ(run.screens.size(), 1u);
    EXPECT_EQ(run.screens[0], scoreScreen("50", "You can do better than that!"));
}

} // namespace
