// What the Chapter 1 and Chapter 2 inventory screens share: using the
// bottled water and the two glowing mushrooms. The Chapter 1 screen's
// messages start with an empty line (`emptyLine`).
#pragma once

#include <span>

#include "game/scene.h"

namespace game {

// Below full health the water restores it and leaves the bottle empty, and
// the inventory (label `inventory`) shows again after a bare "? "; at full
// health it does not help, and the player goes back to the room (stay).
Label drinkWater(bool emptyLine, Label inventory);
// The yellow mushroom is poison: 25 health. Back to the room (stay).
Label eatYellowMushroom(bool emptyLine);
// The red mushroom sets health to 125. Back to the room (stay).
Label eatRedMushroom(bool emptyLine);

// The first eight lines of the inventory's item list, with which the spider
// fight's combine-items list starts too.
extern const std::span<const ItemLine> chapter1FirstItems;

} // namespace game
