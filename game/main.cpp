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

}  // namespace game
