// The game's state: one named variable per item, event, unlock and answer.
//
// Text flags hold "0", "1" and for a few "2"; a variable nothing has assigned
// since the last reset holds "" and equals none of them. Three lifetimes:
// run variables are set at start-up only (notes, unlocks, developer mode),
// new-game variables again by every newGame (items and scene events), and the
// rest is never reset, only overwritten by scenes (money, the spider fight,
// the mixing station, the typed answers). Each scene keeps its own answer
// variable in its own file.
#pragma once

#include "game/statements.h"

namespace game {

// Run variables.
extern Str noteDearHelen, noteLockOut, noteForemansDiary, notePromotion, noteFive;
extern Str developerMode, chapter2Unlocked, chapter3Unlocked, chapter4Unlocked;
extern Num score;

// New-game variables.
extern Str stairsFlooded, poisonedRod, glowingConcoction, smokeActive, bedroomLightOn,
    yellowMushroom, currentScene, cabinetSearched, gummieBears, scrapLumber, northRoomCollapsed,
    newspaperRead, fireExtinguisher;
extern Num health;
extern Str raft, water, knife, inStory, flashlight, metalRod, smokeBomb, lighter, rustyKey,
    officeUnlocked, redMushroom, fireOut, bronzeDagger, glassJar, scubaGear;

// Never reset by a new game.
extern Num money;
extern Str travelDirection, pryTried, flag290, menuTenEnabled;
extern Num spiderHealth, smokeTurns;
extern Str spiderPoisoned, spiderDead;
extern Num air;
extern Str mixSlot1, mixSlot2, mixConfirm, greenMushroomMix, jarRedFormula, jarYellowFormula,
    jarGreenFormula, bottleRedFormula, bottleYellowFormula, bottleGreenFormula;
extern Str spear;
extern Str menuChoice, passwordEntry, quitAnswer, pauseEntry;
extern Str wordObject, wordPerson, wordAction, wordPlace, wordFeeling;

} // namespace game
