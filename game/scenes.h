// Each scene group registers its labels through one function.
#pragma once

namespace game {

void registerStartup();         // labels 1, 2, 5
void registerMenus();           // main menu, passwords, developer menu, quit
void registerQuitting();        // quitStory, confirmQuit, the score screen
void registerChapter1Opening(); // apartment, hardware store, mine gate
void registerMineEntrance();    // mine entrance, flooded hall, bunk room, raft
void registerDeeperMine();      // trash room, lunch room, office hallway
void registerInventory();       // inventory, notes viewer, end of demo
void registerWordGame();
void registerForemansOffice(); // office, greenhouse, spider corridor
void registerSpiderFight();
void registerChapter1Ending(); // the elevator shaft and poison death
void registerUpperTunnels();   // Chapter 2
void registerFloodedStairs();
void registerLaboratory();
void registerChapter2Inventory();

} // namespace game
