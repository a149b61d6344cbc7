#include "game/scene.h"
#include "game/scenes.h"

namespace game {

void registerStartup() {}

}  // namespace game
