// Every room comes back after the quit confirmation's "No" and after its
// inventory, checked on the game itself rather than on a copy of its resume
// tables: each scene is drawn from a fresh game, and where it stores a
// resume text, quitting with "No" (and, where the room offers it, the
// inventory's Enter) must draw the same room again, with no error screen.
// A row missing from a table, or one that leads to the wrong room, fails.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "game/scene.h"
#include "game/scenes.h"
#include "game/state.h"
#include "tests/support/frame_harness.h"

namespace {

using harness::play;
namespace labels = game::labels;

void fresh() {
    static bool registered = false;
    harness::freshGame();
    if (!registered) {
        game::registerChapter1Opening();
        game::registerMineEntrance();
        game::registerDeeperMine();
        game::registerForemansOffice();
        game::registerSpiderFight();
        game::registerChapter1Ending();
        game::registerUpperTunnels();
        game::registerFloodedStairs();
        game::registerLaboratory();
        game::registerChapter2Inventory();
        registered = true;
    }
}

bool offersInventory(const std::string& screen) {
    return screen.find("Check Inventory") != std::string::npos ||
           screen.find("Check inventory") != std::string::npos;
}

// A room draws its choices, Quit or the inventory among them (the hardware
// store offers no Quit).
bool isRoom(const std::string& screen) {
    return screen.find("Quit") != std::string::npos || offersInventory(screen);
}

TEST(ResumeRooms, QuitNoAndTheInventoryBringBackEveryRoom) {
    fresh();
    std::set<std::string> resumed;
    auto draw = [](game::Label label, const char* keys) {
        fresh();
        game::let(game::currentScene, "unset");
        game::air = 100;                      // the flooded level drowns a player without air
        game::let(game::officeUnlocked, "1"); // the office door turns a player back
        return play(label, keys).screens;
    };
    for (game::Label label : game::sceneLabels()) {
        SCOPED_TRACE(label);
        std::vector<std::string> screens = draw(label, "");
        const std::string text(game::currentScene.view());
        // Scenes that store no resume text, a new game's "0", and the texts
        // that mean the story has ended or is ending ("none", the shaft's "1").
        if (screens.empty() || text == "unset" || text == "0" || text == "none" || text == "1") {
            continue;
        }
        // A scene that stores the text and pauses before its room (the
        // fight's approach) is checked on the screen after the pause; one
        // that leads nowhere the player can quit from (a death) is not.
        std::string room = screens.front();
        if (!isRoom(room)) {
            screens = draw(label, "\n");
            if (screens.size() != 2 || !isRoom(screens[1]) || game::currentScene.view() != text ||
                game::health <= 0) {
                continue;
            }
            room = screens[1];
        }

        harness::Run quit = play(labels::confirmQuit, "2\n");
        ASSERT_EQ(quit.screens.size(), 2u);
        EXPECT_EQ(quit.screens[1].find("Error"), std::string::npos) << quit.screens[1];
        EXPECT_EQ(game::currentScene.view(), text);
        EXPECT_EQ(quit.screens[1], room);

        if (offersInventory(room)) {
            game::Label inventory = label >= 2000 ? labels::chapter2Inventory : labels::inventory;
            harness::Run back = play(inventory, "\n");
            ASSERT_EQ(back.screens.size(), 2u);
            EXPECT_EQ(back.screens[1], room);
        }
        resumed.insert(text);
    }
    // Every resume text the quit confirmation knows is stored by some scene,
    // but "2080": the flooded hall's forward to 2090 stores none.
    std::string all;
    for (const std::string& t : resumed)
        all += t + " ";
    std::printf("%zu resume texts checked: %s\n", resumed.size(), all.c_str());
    EXPECT_EQ(resumed.size(), 39u);
}

} // namespace
