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
// The five notes collected ("1"): the bunk-room letter, the lunchbox letter,
// the foreman's letter, the satchel's letter and the laboratory desk's note.
extern Str noteDearHelen, noteLockOut, noteForemansDiary, notePromotion, noteFive;
// Developer mode (scene numbers shown) and the chapters unlocked; nothing
// unlocks Chapters 3 and 4.
extern Str developerMode, chapter2Unlocked, chapter3Unlocked, chapter4Unlocked;
extern Num score; // the story's score

// New-game variables.
// stairsFlooded: the level below the Chapter 2 stairs is under water.
// poisonedRod, glowingConcoction: the fight's poison and the rod it coats.
// smokeActive: the smoke cloud hides the player from the spider.
// bedroomLightOn: the bedroom switch. yellowMushroom: "1" carried, "2" used
// up in the fight. currentScene: the resume text of the scene being played,
// "none" once the story has ended. cabinetSearched: the bunk-room cabinet.
// northRoomCollapsed: the boarded room west of the crossroad has come down.
// newspaperRead: the apartment's paper. The rest are items carried ("1").
extern Str stairsFlooded, poisonedRod, glowingConcoction, smokeActive, bedroomLightOn,
    yellowMushroom, currentScene, cabinetSearched, gummieBears, scrapLumber, northRoomCollapsed,
    newspaperRead, fireExtinguisher;
extern Num health;
// inStory: "1" while a story is played, "0" while the notes viewer is open
// (a note scene then returns to the viewer). water and glassJar: "1" full,
// "2" empty. officeUnlocked: the foreman's office opened with the key.
// fireOut: the fire junction's flames are out. fireExtinguisher is "2" once
// used. The rest are items carried ("1").
extern Str raft, water, knife, inStory, flashlight, metalRod, smokeBomb, lighter, rustyKey,
    officeUnlocked, redMushroom, fireOut, bronzeDagger, glassJar, scubaGear;

// Never reset by a new game.
extern Num money; // the hardware store's dollars, 6 on every entry
// travelDirection: the last move, "1" EAST, "2" WEST, "3" NORTH, "4" SOUTH,
// which picks each room's arrival line. pryTried: "1" hides the knife-pry
// option at the office door. flag290: the visit to the cave-in dead end
// (scene 290) that the foreman's office group reads at the far side of the
// rubble (scene 510).
// menuTenEnabled: shows main-menu entry 10; it also receives the developer
// menu's entry.
extern Str travelDirection, pryTried, flag290, menuTenEnabled;
// The spider fight: the spider's health and how many more answers the smoke
// absorbs; the spider poisoned and the spider dead.
extern Num spiderHealth, smokeTurns;
extern Str spiderPoisoned, spiderDead;
extern Num air; // the scuba gear's air supply
// The mixing station's two slots and its confirmation, and the mixes it is
// meant to produce (no combination produces one yet).
extern Str mixSlot1, mixSlot2, mixConfirm, greenMushroomMix, jarRedFormula, jarYellowFormula,
    jarGreenFormula, bottleRedFormula, bottleYellowFormula, bottleGreenFormula;
extern Str spear; // set by the developer menu's word "spear"; nothing reads it
// Typed entries: the main menu's, the password screen's, the quit
// confirmation's and every ignored pause's.
extern Str menuChoice, passwordEntry, quitAnswer, pauseEntry;
// The word game's five entries.
extern Str wordObject, wordPerson, wordAction, wordPlace, wordFeeling;

} // namespace game
