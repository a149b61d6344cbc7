// What the Chapter 1 and Chapter 2 inventory screens share: the screen
// itself, with the bottled water and the two glowing mushrooms; each chapter
// gives its items, its texts and its table of rooms.
#pragma once

#include <span>

#include "game/scene.h"

namespace game {

// What one chapter's inventory screen shows and where it goes back to.
struct InventoryScreen {
    Label self;     // shown again after the water has been drunk
    int headerLine; // the developer header and its empty line; 0: none
    int stars;      // the width of the rows of asterisks above and below the items
    std::span<const ItemLine> items;
    bool spaced;                   // an empty line after each item and atop each message
    const char* yellowChoice;      // the yellow mushroom's choice
    const char* redChoice;         // the red mushroom's ("3": accepted but not shown)
    const char* noWaterPrompt;     // shown when no water is carried; nullptr: none
    std::span<const Resume> rooms; // back to the room the screen was opened from
    const char* unknownRoom;       // the error screen for a room the table lacks
};
// The screen: the items, the water and mushroom offers and their effects,
// then back to the room, or to the poison's death when the yellow mushroom
// left no health. Below full health the water restores it and the screen
// shows again after a bare "? "; the yellow mushroom costs 25 health and the
// red one sets it to 125. A room the table does not list ends the story
// with an error screen and a new game.
Label inventoryScreen(const InventoryScreen& screen, Str& answer);

// The first eight lines of the inventory's item list, with which the spider
// fight's combine-items list starts too.
extern const std::span<const ItemLine> chapter1FirstItems;

} // namespace game
