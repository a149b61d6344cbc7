// The Chapter 2 inventory screen (label 2200).
//
// Every "Check Inventory" of Chapter 2 and the lever scene open it. It
// lists the carried items, offers the bottled water and the two glowing
// mushrooms, applies what was chosen and goes back to the scene recorded in
// currentScene through a fixed table. The red mushroom sets health to 125,
// the only way above 100; the yellow one is poison and costs 25, and when
// that leaves no health the poison death screen ends the story. A resume
// text the table does not list (one left over from Chapter 1, say) shows an
// error screen and starts a new game, so the story's items are lost while
// notes and unlocks stay.
#include <array>

#include "game/inventory.h"
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str inventory2Choice;

const std::array<ItemLine, 18> kItems{{
    {"L.E.D. Flashlight", &flashlight, "1"},
    {"Bottled Water", &water, "1"},
    {"Empty Bottle", &water, "2"},
    {"Bottle of Yellow Formula", &bottleYellowFormula, "1"},
    {"Bottle of Red Formula", &bottleRedFormula, "1"},
    {"Bottle of Green Formula", &bottleGreenFormula, "1"},
    {"Glowing Red Mushroom", &redMushroom, "1"},
    {"Glowing Yellow Mushroom", &yellowMushroom, "1"},
    {"Glowing Green Mushroom Mix", &greenMushroomMix, "1"},
    {"Fire Extinguisher", &fireExtinguisher, "1"},
    {"Scuba Gear", &scubaGear, "1"},
    {"Bronze Dagger", &bronzeDagger, "1"},
    {"Pocket Knife", &knife, "1"},
    {"Glass Jar of Water", &glassJar, "1"},
    {"Empty Glass Jar", &glassJar, "2"},
    {"Glass Jar of Red Formula", &jarRedFormula, "1"},
    {"Glass Jar of Yellow Formula", &jarYellowFormula, "1"},
    {"Glass Jar of Green Formula", &jarGreenFormula, "1"},
}};

// The Chapter 2 inventory screen (label 2200).
Label chapter2Inventory() {
    static const InventoryScreen screen{
        .self = labels::chapter2Inventory,
        .headerLine = 0,
        .stars = 75,
        .items = kItems,
        .spaced = false,
        .yellowChoice = "Press 2 if you want to eat the Glowing Yellow Mushroom",
        .redChoice = "Press 3 if you want to eat the Glowing Red Mushroom.",
        .noWaterPrompt = nullptr,
        .rooms = chapter2Rooms,
        .unknownRoom = "Error Part1$ not defined",
    };
    return inventoryScreen(screen, inventory2Choice);
}

} // namespace

void registerChapter2Inventory() {
    addScenes({
        {labels::chapter2Inventory, chapter2Inventory},
    });
}

} // namespace game
