// The Chapter 2 inventory's way back, where a complete game gives no key
// sequence for every case: the way back to a room, a resume text the
// table does not list (one left over from Chapter 1, "none", "0"), and the
// poison death. Only the frame's scene groups and the inventory itself are
// registered; every scene it leads to is stood in for by one that only
// reports that it was reached.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/scene.h"
#include "game/scenes.h"
#include "game/state.h"
#include "tests/support/frame_harness.h"

namespace {

using harness::play;
using harness::rows;
namespace labels = game::labels;

using harness::standIns;

void fresh() {
    static bool registered = false;
    harness::freshGame();
    if (!registered) {
        game::registerChapter2Inventory();
        standIns<2005, 2010, 2020, 2030, 2040, 2050, 2060, 2070, 2080, 2090, 2100, 2110, 2120, 2130,
                 610>();
        registered = true;
    }
}

const std::string kStars75(75, '*');

TEST(ChapterTwoInventoryResume, EnterGoesBackToTheRoom) {
    // Every row is checked against the rooms themselves in the resume-rooms
    // test; here the bare list and the way back from the shaft's bottom.
    fresh();
    game::let(game::currentScene, "2000");
    harness::Run run = play(labels::chapter2Inventory, "\n");
    ASSERT_TRUE(run.reached);
    EXPECT_EQ(run.reachedLabel, 2005);
    // Nothing carried after a new game: the bare list and "? ".
    ASSERT_EQ(run.screens.size(), 1u);
    EXPECT_EQ(run.screens[0], rows({kStars75, kStars75, "", "?"}));
}

TEST(ChapterTwoInventoryResume, AnUnlistedTextShowsTheErrorAndStartsANewGame) {
    for (const char* text : {"490", "293", "538", "none", "0", "2005", "2135", ""}) {
        SCOPED_TRACE(text);
        fresh();
        game::let(game::currentScene, text);
        game::let(game::knife, "1");
        game::let(game::scubaGear, "1");
        game::let(game::notePromotion, "1");
        game::health = 50;
        harness::Run run = play(labels::chapter2Inventory, "\n\n");
        EXPECT_FALSE(run.reached);
        ASSERT_EQ(run.screens.size(), 3u);
        EXPECT_EQ(run.screens[1],
                  rows({"Error Part1$ not defined", "", "Press ENTER to continue?"}));
        // The new game's main menu: items gone, health back, the note kept.
        EXPECT_NE(run.screens[2].find("  1- Chapter 1 - The Discovery"), std::string::npos);
        EXPECT_EQ(game::knife.view(), "0");
        EXPECT_EQ(game::scubaGear.view(), "0");
        EXPECT_EQ(game::currentScene.view(), "0");
        EXPECT_EQ(game::health, 100.0f);
        EXPECT_EQ(game::notePromotion.view(), "1");
    }
}

TEST(ChapterTwoInventoryResume, TheEffectsStillHappenBeforeTheError) {
    fresh();
    game::let(game::currentScene, "490");
    game::let(game::redMushroom, "1");
    game::health = 50;
    harness::Run run = play(labels::chapter2Inventory, "3\n\n");
    ASSERT_EQ(run.screens.size(), 3u);
    EXPECT_EQ(game::health, 125.0f);
    EXPECT_EQ(
        run.screens[1],
        rows({"You decide to eat the Glowing Red Mushroom.  It tastes terrible but you feel",
              "better than ever!  You now have 125 health!", "", "Press Enter to continue?"}));
    EXPECT_EQ(run.screens[2], rows({"Error Part1$ not defined", "", "Press ENTER to continue?"}));
}

TEST(ChapterTwoInventory, PoisonLeavingNoHealthOpensThePoisonDeathWhateverTheResumeText) {
    for (const char* text : {"2070", "490"})
        harness::expectPoisoning(fresh, labels::chapter2Inventory, {text, 25, 610, 0});
}

TEST(ChapterTwoInventory, TwoWithoutAMushroomAtNoHealthStillEndsInThePoisonDeath) {
    // Only "2" leads there: the other answers go back to the scene.
    fresh();
    game::let(game::currentScene, "2010");
    game::health = 0;
    harness::Run two = play(labels::chapter2Inventory, "2\n");
    ASSERT_TRUE(two.reached);
    EXPECT_EQ(two.reachedLabel, 610);
    harness::Run other = play(labels::chapter2Inventory, "3\n");
    ASSERT_TRUE(other.reached);
    EXPECT_EQ(other.reachedLabel, 2010);
}

TEST(ChapterTwoInventory, ListsEveryItemInItsOrder) {
    fresh();
    game::let(game::currentScene, "2020");
    for (game::Str* flag :
         {&game::flashlight, &game::bottleYellowFormula, &game::bottleRedFormula,
          &game::bottleGreenFormula, &game::greenMushroomMix, &game::fireExtinguisher,
          &game::scubaGear, &game::bronzeDagger, &game::knife, &game::jarRedFormula,
          &game::jarYellowFormula, &game::jarGreenFormula})
        game::let(*flag, "1");
    game::let(game::water, "2");
    game::let(game::glassJar, "2");
    harness::Run run = play(labels::chapter2Inventory, "\n");
    ASSERT_EQ(run.screens.size(), 1u);
    std::string want =
        rows({kStars75, "L.E.D. Flashlight", "Empty Bottle", "Bottle of Yellow Formula",
              "Bottle of Red Formula", "Bottle of Green Formula", "Glowing Green Mushroom Mix",
              "Fire Extinguisher", "Scuba Gear", "Bronze Dagger", "Pocket Knife", "Empty Glass Jar",
              "Glass Jar of Red Formula", "Glass Jar of Yellow Formula",
              "Glass Jar of Green Formula", kStars75, "", "?"});
    EXPECT_EQ(run.screens[0], want);
    // The formula items are only shown; nothing here uses them.
    EXPECT_EQ(run.reachedLabel, 2020);
}

} // namespace
