// The game's entry point, run on the game thread by whichever host starts it.
#pragma once

namespace game {

// Registers every scene, creates the variables and plays from start-up on.
// Never returns: the game ends through end program or the host stopping the
// game thread.
[[noreturn]] void gameMain();

} // namespace game
