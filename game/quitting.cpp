// Quitting a story, the quit confirmation and the score screen.
//
// Every scene's "Quit" choice and every death ends at quitStory (label 123).
// A story that has ended (currentScene "none") or a player whose health is
// gone goes straight to the score screen; otherwise the player is asked
// first (label 128), and "No" goes back to the scene through a fixed table
// from the currentScene text to its label. The score screen (labels 124 and
// 125) shows the score and its rating, then resets score and health and
// starts a new game.
#include "game/quitting.h"

#include <array>

#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

// currentScene text -> the scene the quit confirmation's "No" goes back to.
constexpr std::array<Resume, 40> kQuitResume{{
    {"103", 103},   {"140", 140},   {"160", 160},   {"180", 180},   {"203", 203},   {"210", 210},
    {"215", 215},   {"235", 235},   {"258", 258},   {"273", 273},   {"283", 283},   {"293", 290},
    {"405", 405},   {"420", 420},   {"430", 430},   {"440", 440},   {"450", 450},   {"480", 480},
    {"490", 490},   {"500", 500},   {"505", 505},   {"510", 510},   {"520", 520},   {"530", 530},
    {"538", 538},   {"565", 565},   {"2000", 2005}, {"2010", 2010}, {"2020", 2020}, {"2030", 2030},
    {"2040", 2040}, {"2050", 2050}, {"2060", 2060}, {"2070", 2070}, {"2080", 2080}, {"2090", 2090},
    {"2100", 2100}, {"2110", 2110}, {"2120", 2120}, {"2130", 2130},
}};

Label quitStory() {
    cls();
    colour(14);
    say();
    if (is(currentScene, "none")) return labels::scoreScreen;
    if (health > 0) return labels::confirmQuit;
    return labels::scoreScreen;
}

Label scoreScreen() {
    cls();
    colour(14);
    say();
    say({"Your total score for this story is ", score});
    say();
    say(scoreRating(score));
    say();
    say();
    pause("Press Enter to Continue.");
    score = 0;
    health = 100;
    return labels::newGame;
}

Label confirmQuit() {
    cls();
    colour(14);
    say("Are you sure you want to quit, all progress will be lost.");
    say();
    say("1- Yes            2- No");
    say();
    ask("", quitAnswer);
    if (is(quitAnswer, "1")) return labels::scoreScreen;
    if (is(quitAnswer, "2")) {
        Label back = resumeLabel(kQuitResume);
        if (back != 0 && hasScene(back)) return back;
        cls();
        say("Error part1$ not defined, quiting to main menu.");
        say();
        pause("Press ENTER to continue");
        return labels::mainMenu;
    }
    return labels::confirmQuit;
}

} // namespace

const char* scoreRating(float score) {
    if (score < 100) return "You can do better than that!";
    if (score < 300) return "Nice work, but you can do better!";
    return "Excellent work, you are a Grade A explorer!";
}

void registerQuitting() {
    addScenes({
        {labels::quitStory, quitStory},
        {labels::scoreScreen, scoreScreen},
        {labels::scoreScreen + 1, scoreScreen},
        {labels::confirmQuit, confirmQuit},
    });
}

} // namespace game
