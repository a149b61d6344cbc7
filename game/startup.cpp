// Start-up and the new game.
//
// Label 1 empties every variable, label 2 gives the run variables (notes,
// chapter unlocks, developer mode, score) their start values, and label 5
// starts a new game: it sets the items and scene events in one fixed order
// and shows the main menu. Every story ends in label 5 again (through the
// score screen), so items are lost at the end of a story while the notes and
// unlocks of the run stay.
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

constexpr Label runVariables = 2;

// Label 1: the whole program state starts empty.
Label startRun() {
    resetAll();
    return runVariables;
}

// Label 2: the run variables, set only here.
Label setRunVariables() {
    let(noteDearHelen, "0");
    let(developerMode, "0");
    let(noteLockOut, "0");
    let(noteForemansDiary, "0");
    let(notePromotion, "0");
    let(noteFive, "0");
    let(chapter2Unlocked, "0");
    let(chapter3Unlocked, "0");
    let(chapter4Unlocked, "0");
    score = 0;
    return labels::newGame;
}

// Label 5: the new-game variables, in their fixed order (currentScene is
// set twice, as it always was).
Label newGame() {
    cls();
    let(stairsFlooded, "1");
    let(poisonedRod, "0");
    let(glowingConcoction, "0");
    let(smokeActive, "0");
    let(bedroomLightOn, "0");
    let(yellowMushroom, "0");
    let(currentScene, "0");
    let(cabinetSearched, "0");
    let(gummieBears, "0");
    let(scrapLumber, "0");
    let(northRoomCollapsed, "0");
    let(newspaperRead, "0");
    let(fireExtinguisher, "0");
    health = 100;
    let(raft, "0");
    let(water, "0");
    let(knife, "0");
    let(currentScene, "0");
    let(inStory, "0");
    let(flashlight, "0");
    let(metalRod, "0");
    let(smokeBomb, "0");
    let(lighter, "0");
    let(rustyKey, "0");
    let(officeUnlocked, "0");
    let(redMushroom, "0");
    let(fireOut, "0");
    let(bronzeDagger, "0");
    let(glassJar, "0");
    let(scubaGear, "0");
    return labels::mainMenu;
}

} // namespace

void registerStartup() {
    addScenes({
        {labels::startRun, startRun},
        {runVariables, setRunVariables},
        {labels::newGame, newGame},
    });
}

} // namespace game
