#include "game/state.h"

namespace game {

Str noteDearHelen, noteLockOut, noteForemansDiary, notePromotion, noteFive;
Str developerMode, chapter2Unlocked, chapter3Unlocked, chapter4Unlocked;
Num score;

Str stairsFlooded, poisonedRod, glowingConcoction, smokeActive, bedroomLightOn, yellowMushroom,
    currentScene, cabinetSearched, gummieBears, scrapLumber, northRoomCollapsed, newspaperRead,
    fireExtinguisher;
Num health;
Str raft, water, knife, inStory, flashlight, metalRod, smokeBomb, lighter, rustyKey, officeUnlocked,
    redMushroom, fireOut, bronzeDagger, glassJar, scubaGear;

Num money;
Str travelDirection, pryTried, flag290, menuTenEnabled;
Num spiderHealth, smokeTurns;
Str spiderPoisoned, spiderDead;
Num air;
Str mixSlot1, mixSlot2, mixConfirm, greenMushroomMix, jarRedFormula, jarYellowFormula,
    jarGreenFormula, bottleRedFormula, bottleYellowFormula, bottleGreenFormula;
Str spear;
Str menuChoice, passwordEntry, quitAnswer, pauseEntry;
Str wordObject, wordPerson, wordAction, wordPlace, wordFeeling;

} // namespace game
