// glimmerdeep-replay: the game played from a script of keys, without a
// window (see replay_driver.h).
#include "game/game.h"
#include "tools/replay/replay_driver.h"

int main(int argc, char** argv) {
    return replay::replayMain(argc, argv, &game::gameMain);
}
