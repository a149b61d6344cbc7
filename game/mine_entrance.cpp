#include "game/scene.h"
#include "game/scenes.h"

namespace game {

void registerMineEntrance() {}

}  // namespace game
