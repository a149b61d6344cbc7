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
    letEach("0", {&noteDearHelen, &developerMode, &noteLockOut, &noteForemansDiary, &notePromotion,
                  &noteFive, &chapter2Unlocked, &chapter3Unlocked, &chapter4Unlocked});
    score = 0;
    return labels::newGame;
}

// Label 5: the new-game variables, in their fixed order (currentScene is
// set twice, as it always was).
Label newGame() {
    cls();
    let(stairsFlooded, "1");
    letEach("0", {&poisonedRod, &glowingConcoction, &smokeActive, &bedroomLightOn, &yellowMushroom,
                  &currentScene, &cabinetSearched, &gummieBears, &scrapLumber, &northRoomCollapsed,
                  &newspaperRead, &fireExtinguisher});
    health = 100;
    letEach("0", {&raft, &water, &knife, &currentScene, &inStory, &flashlight, &metalRod,
                  &smokeBomb, &lighter, &rustyKey, &officeUnlocked, &redMushroom, &fireOut,
                  &bronzeDagger, &glassJar, &scubaGear});
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
