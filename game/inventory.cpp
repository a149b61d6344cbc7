#include "game/scene.h"
#include "game/scenes.h"

namespace game {

void registerInventory() {}

}  // namespace game
