// Quitting a story, the quit confirmation and the score screen with its
// ratings, played through the replay driver (and the rating rule directly).
#include <gtest/gtest.h>

#include <string>

#include "game/quitting.h"
#include "tests/support/game_walk.h"
#include "tests/support/replay.h"

namespace {

TEST(ScoreRating, HasThreeTiersWithOneHundredAndThreeHundredInTheUpperOnes) {
    EXPECT_STREQ(game::scoreRating(0), "You can do better than that!");
    EXPECT_STREQ(game::scoreRating(95), "You can do better than that!");
    EXPECT_STREQ(game::scoreRating(99.5f), "You can do better than that!");
    EXPECT_STREQ(game::scoreRating(100), "Nice work, but you can do better!");
    EXPECT_STREQ(game::scoreRating(150), "Nice work, but you can do better!");
    EXPECT_STREQ(game::scoreRating(299.5f), "Nice work, but you can do better!");
    EXPECT_STREQ(game::scoreRating(300), "Excellent work, you are a Grade A explorer!");
    EXPECT_STREQ(game::scoreRating(305), "Excellent work, you are a Grade A explorer!");
}

#ifdef GLIMMER_REPLAY

using frame::expectMainMenu;
using frame::expectRows;
using frame::screen;

const std::vector<std::string> kConfirmRows{
    "Are you sure you want to quit, all progress will be lost.",
    "",
    "1- Yes            2- No",
    "",
    "?",
};

std::vector<std::string> scoreRows(const std::string& score, const std::string& rating) {
    return {"",
            "Your total score for this story is  " + score,
            "",
            rating,
            "",
            "",
            "Press Enter to Continue.?"};
}

// From the living room (scene 103): "7- Quit".
TEST(ConfirmQuit, NoGoesBackToTheSceneUnchanged) {
    replay::Result r = replay::run("1\n7\n2\n");
    const replay::Screen& confirm = screen(r, 3);
    expectRows(confirm, kConfirmRows);
    EXPECT_EQ(confirm.cursorRow, 5);
    EXPECT_EQ(confirm.cursorColumn, 3);
    EXPECT_EQ(screen(r, 4).text(), screen(r, 2).text());
}

TEST(ConfirmQuit, OtherAnswersAskAgain) {
    replay::Result r = replay::run("1\n7\n3\n\n12\nYes\n 1\n2\n");
    for (std::size_t n = 3; n <= 8; ++n)
        expectRows(screen(r, n), kConfirmRows);
    EXPECT_EQ(screen(r, 9).text(), screen(r, 2).text());
}

TEST(ConfirmQuit, YesShowsTheScoreScreenAndThenANewGame) {
    replay::Result r = replay::run("1\n7\n1\n\n");
    const replay::Screen& s = screen(r, 4);
    expectRows(s, scoreRows("0", "You can do better than that!"));
    EXPECT_EQ(s.cursorRow, 7);
    EXPECT_EQ(s.cursorColumn, 27);
    expectMainMenu(screen(r, 5));
}

std::string developer(const std::string& entries) {
    return std::string(frame::kOpenDeveloperMenu) + entries;
}

// From the mine's entrance hall (scene 235, reached through the developer
// menu): each try north through the flood costs 25 health.
TEST(QuitStory, DeathGoesStraightToTheScoreScreen) {
    replay::Result r = replay::run(developer("235\n1\n\n1\n\n1\n\n1\n\n"));
    ASSERT_GE(r.screens.size(), 14u) << r.output;
    expectRows(screen(r, 14), scoreRows("0", "You can do better than that!"));
}

TEST(ScoreScreen, NextStoryStartsWithFullHealthNoScoreAndNoItems) {
    // A wound (75 health), then quit from the entrance hall; then Chapter 1
    // from the main menu and its inventory.
    replay::Result r = replay::run(developer("235\n1\n\n5\n1\n\n1\n5\n"));
    std::size_t n = frame::kDeveloperMenuScreen;
    EXPECT_TRUE(screen(r, n + 2).contains("Health 75")) << screen(r, n + 2).text();
    expectRows(screen(r, n + 5), scoreRows("0", "You can do better than that!"));
    const replay::Screen& livingRoom = screen(r, n + 7);
    EXPECT_TRUE(livingRoom.contains(std::string(49, ' ') + "Health  100")) << livingRoom.text();
    EXPECT_TRUE(livingRoom.contains(std::string(49, ' ') + "Score   0")) << livingRoom.text();
    // The developer menu's items went with the story.
    expectRows(screen(r, n + 8), {"Line 600", "", frame::kStars74, frame::kStars74, "",
                                  "Press Enter to continue", "?"});
}

// Scores built in Chapter 1. The apartment and the way into the mine give
// 45 (newspaper, pocket knife, water, entering with the flashlight); in the
// mine, gathering lumber at the dead end gives 15, building a raft at the
// workbench 25, the bunk-room note 15 (once), the raft crossing 25 + 25 and
// the metal rod beyond it 10. The developer menu's jump into the mine
// starts from 0, but it hands out the rod.
const std::string kApartmentToMine = "1\n"                   // main menu -> 103
                                     "1\n\n\n"               // newspaper
                                     "6\n2\n\n3\n\n1\n"      // bedroom light, knife
                                     "2\n2\n4\n\n1\n\n1\n"   // refrigerator water
                                     "4\n2\n2\n\n6\n1\n\n";  // store flashlight, gate
const std::string kToDeadEnd = "3\n2\n";                     // 235 -> 273 -> 290
const std::string kGather = "2\n\n";                         // at 290
const std::string kBuildAndBack = "1\n3\n2\n2\n\n1\n1\n2\n"; // 290 -> raft -> 290
const std::string kCrossFromDeadEnd = "1\n1\n1\n\n";         // 290 -> 273 -> 235 -> 405
const std::string kRod = "2\n\n";                            // at 405
const std::string kNoteFromHall = "2\n1\n\n\n3\n";           // 235 -> note -> 235
const std::string kQuitDeadEnd = "4\n1\n";
const std::string kQuitFarSide = "4\n1\n"; // with the rod taken

std::string cycles(int n) {
    std::string keys;
    for (int i = 0; i < n; ++i)
        keys += kGather + kBuildAndBack;
    return keys;
}

struct RatingCase {
    const char* name;
    std::string keys;
    const char* score;
    const char* rating;
    bool chapter2 = false; // unlocked by the developer menu's "1"
};

class ScoreRatings : public ::testing::TestWithParam<RatingCase> {};

TEST_P(ScoreRatings, ShowTheRatingOfTheFinalScore) {
    const RatingCase& c = GetParam();
    replay::Result r = replay::run(c.keys);
    const replay::Screen* s = nullptr;
    for (const replay::Screen& candidate : r.screens) {
        if (candidate.contains("Your total score for this story is")) s = &candidate;
    }
    ASSERT_NE(s, nullptr) << r.output;
    expectRows(*s, scoreRows(c.score, c.rating));
    // Then a new game at the main menu.
    expectMainMenu(r.last(), {.chapter2 = c.chapter2});
}

// In the developer-menu route "1" first marks a story in progress, so the
// bunk-room note returns to the bunk room instead of the notes viewer.
INSTANTIATE_TEST_SUITE_P(
    Scores, ScoreRatings,
    ::testing::Values(
        RatingCase{"Score95",
                   developer("235\n" + kToDeadEnd + cycles(2) + kGather + kQuitDeadEnd + "\n"),
                   "95", "You can do better than that!"},
        RatingCase{"Score100",
                   kApartmentToMine + kToDeadEnd + cycles(1) + kGather + kQuitDeadEnd + "\n", "100",
                   "Nice work, but you can do better!"},
        RatingCase{"Score150",
                   developer("1\n235\n" + kNoteFromHall + kToDeadEnd + cycles(3) + kGather +
                             kQuitDeadEnd + "\n"),
                   "150", "Nice work, but you can do better!", true},
        RatingCase{"Score300",
                   kApartmentToMine + kToDeadEnd + cycles(6) + kGather + kQuitDeadEnd + "\n", "300",
                   "Excellent work, you are a Grade A explorer!"},
        RatingCase{"Score305",
                   kApartmentToMine + kToDeadEnd + cycles(5) + kCrossFromDeadEnd + kRod +
                       kQuitFarSide + "\n",
                   "305", "Excellent work, you are a Grade A explorer!"}),
    [](const ::testing::TestParamInfo<RatingCase>& info) { return std::string(info.param.name); });

#endif // GLIMMER_REPLAY

} // namespace
