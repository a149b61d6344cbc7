// The game's main routine, the first code the game thread runs.
//
// It sets up what the game's statements rely on (floating-point precision
// and the floating-point exception handler), registers every scene group,
// creates the variables, records the temporary base and plays from start-up
// (label 1) on. It never returns: the game ends through end program or the
// host stopping the game thread.
#include "game/game.h"

#include <csignal>

#if defined(__GLIBC__) && (defined(__x86_64__) || defined(__i386__))
#include <fpu_control.h>
#endif

#include "game/scene.h"
#include "game/scenes.h"
#include "runtime/errors.h"

namespace game {
namespace {

// A floating-point exception is runtime error 11, a critical error: its box
// says "Division by zero" and the process ends.
void floatingPointSignal(int) {
    rt::raiseError(11);
}

void prepareFloatingPoint() {
#if defined(__GLIBC__) && (defined(__x86_64__) || defined(__i386__))
    // Extended precision (64-bit mantissa) for the x87 unit.
    fpu_control_t cw;
    _FPU_GETCW(cw);
    cw |= _FPU_EXTENDED; // both precision-control bits set
    _FPU_SETCW(cw);
#endif
    std::signal(SIGFPE, floatingPointSignal);
}

} // namespace

void gameMain() {
    prepareFloatingPoint();

    registerStartup();
    registerMenus();
    registerQuitting();
    registerChapter1Opening();
    registerMineEntrance();
    registerDeeperMine();
    registerInventory();
    registerWordGame();
    registerForemansOffice();
    registerSpiderFight();
    registerChapter1Ending();
    registerUpperTunnels();
    registerFloodedStairs();
    registerLaboratory();
    registerChapter2Inventory();

    createVariables();
    recordTemporaryBase();
    runFrom(labels::startRun);
}

} // namespace game
