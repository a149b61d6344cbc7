// Where the frame's screens lead: the inventory's way back (its rows are
// checked against the rooms themselves in the resume-rooms test), the notes
// viewer's note scenes, the developer menu's jumps and the poison death. Every story scene they
// name is stood in for by a scene that only reports that it was reached.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/scene.h"
#include "game/state.h"
#include "tests/support/frame_harness.h"

namespace {

using harness::freshGame;
using harness::play;
namespace labels = game::labels;

using harness::standIns;

// Every label a frame screen jumps to outside the frame itself.
void registerStandIns() {
    standIns<100, 103, 140, 160, 180, 203, 210, 215, 235, 258, 273, 283, 290, 405, 420, 430, 440,
             450, 480, 490, 500, 505, 510, 520, 530, 538, 565, 570, 610, 265, 465, 498>();
    standIns<2005, 2010, 2020, 2030, 2040, 2050, 2060, 2070, 2080, 2090, 2100, 2110, 2115, 2119,
             2120, 2130, 2058>();
}

void fresh() {
    static bool registered = false;
    freshGame();
    if (!registered) {
        registerStandIns();
        registered = true;
    }
}

TEST(InventoryResume, ChapterTwoTextsAreNotChapterOnes) {
    for (const char* text : {"538", "2000", "2010", "2130"}) {
        SCOPED_TRACE(text);
        fresh();
        game::let(game::currentScene, text);
        harness::Run run = play(labels::inventory, "\n");
        EXPECT_FALSE(run.reached);
        ASSERT_EQ(run.screens.size(), 2u);
        EXPECT_EQ(run.screens[1].substr(0, 48),
                  "Error part1$ not defined, quiting to main menu.\n");
    }
}

TEST(Inventory, PoisonOpensThePoisonDeathAtTwentyFiveHealthAndGoesBackAboveIt) {
    // "293" is the cave-in's resume text, whose screen is label 290.
    for (const harness::Poisoning& p :
         {harness::Poisoning{"103", 25, 610, 0}, harness::Poisoning{"293", 50, 290, 25}})
        harness::expectPoisoning(fresh, labels::inventory, p);
}

TEST(NotesViewer, OpensEachCollectedNoteInItsScene) {
    const std::vector<std::pair<game::Str*, game::Label>> notes{{&game::noteDearHelen, 265},
                                                                {&game::noteLockOut, 465},
                                                                {&game::noteForemansDiary, 498},
                                                                {&game::notePromotion, 2058},
                                                                {&game::noteFive, 2119}};
    for (std::size_t i = 0; i < notes.size(); ++i) {
        SCOPED_TRACE(i + 1);
        fresh();
        game::let(game::inStory, "1");
        game::let(*notes[i].first, "1");
        harness::Run run = play(labels::notesViewer, std::to_string(i + 1) + "\n");
        ASSERT_TRUE(run.reached);
        EXPECT_EQ(run.reachedLabel, notes[i].second);
        // The viewer marks that no story is being played.
        EXPECT_EQ(game::inStory.view(), "0");
    }
}

TEST(NotesViewer, LockedNotesDoNotOpen) {
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        fresh();
        harness::Run run = play(labels::notesViewer, std::to_string(n) + "\n");
        EXPECT_FALSE(run.reached);
        ASSERT_EQ(run.screens.size(), 2u);
        EXPECT_NE(run.screens[1].find("What is your choice??"), std::string::npos);
    }
}

TEST(DeveloperMenu, JumpsIntoTheirScenes) {
    const std::vector<std::pair<const char*, game::Label>> jumps{
        {"520", 520},   {"570", 570},   {"235", 235}, {"420", 420},
        {"2100", 2100}, {"2070", 2070}, {"530", 530}, {"2115", 2115}};
    for (const auto& [entry, label] : jumps) {
        SCOPED_TRACE(entry);
        fresh();
        game::let(game::developerMode, "1");
        harness::Run run = play(labels::developerMenu, std::string(entry) + "\n");
        ASSERT_TRUE(run.reached);
        EXPECT_EQ(run.reachedLabel, label);
        // A jump does not mark a story in progress; the Chapter 2 jumps
        // unlock Chapter 2.
        EXPECT_EQ(game::inStory.view(), "0");
        EXPECT_EQ(game::chapter2Unlocked.view(), label >= 2000 && label != 2115 ? "1" : "0");
    }
}

TEST(DeveloperMenu, ShowingItHandsOutEightItems) {
    fresh();
    game::let(game::developerMode, "1");
    play(labels::developerMenu, "");
    for (const game::Str* item :
         {&game::flashlight, &game::knife, &game::rustyKey, &game::yellowMushroom, &game::metalRod,
          &game::smokeBomb, &game::lighter, &game::water}) {
        EXPECT_EQ(item->view(), "1");
    }
    EXPECT_EQ(game::gummieBears.view(), "0");
    EXPECT_EQ(game::redMushroom.view(), "0");
}

TEST(DeveloperMenu, ItemWordsAndChapterTwoItems) {
    fresh();
    game::let(game::developerMode, "1");
    play(labels::developerMenu, "gummie\nspear\n2\n");
    EXPECT_EQ(game::gummieBears.view(), "1");
    EXPECT_EQ(game::spear.view(), "1");
    for (const game::Str* item : {&game::fireExtinguisher, &game::glassJar, &game::redMushroom,
                                  &game::scubaGear, &game::bronzeDagger}) {
        EXPECT_EQ(item->view(), "1");
    }
    EXPECT_EQ(game::fireOut.view(), "0");
}

TEST(MainMenu, ChapterOneStartsAtLabelOneHundred) {
    fresh();
    harness::Run run = play(labels::mainMenu, "1\n");
    ASSERT_TRUE(run.reached);
    EXPECT_EQ(run.reachedLabel, 100);
}

TEST(MainMenu, DrawingItWithChapterTwoUnlockedZeroesTheScore) {
    fresh();
    game::score = 40;
    play(labels::mainMenu, "");
    EXPECT_EQ(game::score, 40.0f);
    game::let(game::chapter2Unlocked, "1");
    play(labels::mainMenu, "");
    EXPECT_EQ(game::score, 0.0f);
}

TEST(StartUp, SetsTheRunAndNewGameVariables) {
    fresh();
    game::let(game::pryTried, "1");
    game::money = 3;
    play(labels::startRun, "");
    for (const game::Str* v :
         {&game::noteDearHelen, &game::developerMode, &game::noteLockOut, &game::noteForemansDiary,
          &game::notePromotion, &game::noteFive, &game::chapter2Unlocked, &game::chapter3Unlocked,
          &game::chapter4Unlocked, &game::currentScene, &game::inStory, &game::water,
          &game::fireExtinguisher, &game::scubaGear}) {
        EXPECT_EQ(v->view(), "0");
    }
    EXPECT_EQ(game::stairsFlooded.view(), "1");
    EXPECT_EQ(game::health, 100.0f);
    EXPECT_EQ(game::score, 0.0f);
    // resetAll emptied what no start value sets.
    EXPECT_EQ(game::pryTried.view(), "");
    EXPECT_EQ(game::menuTenEnabled.view(), "");
    EXPECT_EQ(game::money, 0.0f);
}

TEST(NewGame, KeepsNotesUnlocksAndTheUnresetGroup) {
    fresh();
    game::let(game::noteLockOut, "1");
    game::let(game::chapter2Unlocked, "1");
    game::let(game::developerMode, "1");
    game::let(game::pryTried, "1");
    game::let(game::flag290, "1");
    game::money = 2;
    game::let(game::knife, "1");
    game::let(game::travelDirection, "3");
    play(labels::newGame, "");
    EXPECT_EQ(game::noteLockOut.view(), "1");
    EXPECT_EQ(game::chapter2Unlocked.view(), "1");
    EXPECT_EQ(game::developerMode.view(), "1");
    EXPECT_EQ(game::pryTried.view(), "1");
    EXPECT_EQ(game::flag290.view(), "1");
    EXPECT_EQ(game::travelDirection.view(), "3");
    EXPECT_EQ(game::money, 2.0f);
    EXPECT_EQ(game::knife.view(), "0");
}

} // namespace
