// The game's main routine, the first game code the game thread runs (the
// host has already set up floating point and the runtime): it registers every
// scene group, creates the variables, records the temporary base and plays
// from start-up (label 1) on, for ever.
#include "game/game.h"

#include "game/scene.h"
#include "game/scenes.h"

namespace game {

void gameMain() {
    registerStartup();
    registerMenus();
    registerQuitting();
    registerChapter1Opening();
    registerMineEntrance();
    registerDeeperMine();
    registerInventory();
    registerWordGame();
    registerForemansOffice();
    registerSpiderFight();
    registerChapter1Ending();
    registerUpperTunnels();
    registerFloodedStairs();
    registerLaboratory();
    registerChapter2Inventory();

    createVariables();
    recordTemporaryBase();
    runFrom(labels::startRun);
}

} // namespace game
