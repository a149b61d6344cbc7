#include "game/scene.h"
#include "game/scenes.h"

namespace game {

void registerChapter2Inventory() {}

}  // namespace game
