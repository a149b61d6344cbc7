#include "game/scene.h"
#include "game/scenes.h"

namespace game {

void registerChapter1Opening() {}

}  // namespace game
