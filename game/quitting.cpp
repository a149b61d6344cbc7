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

#include <span>

#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

// The fight screen is the one place outside the rooms that a quit comes back
// to: the fight stores "538" so that "No" resumes it.
constexpr Resume kFight[] = {{"538", 538}};

// The end of a story (label 123): the question, or straight to the score.
Label quitStory() {
    screen(14);
    say();
    if (is(currentScene, "none")) return labels::scoreScreen;
    if (health > 0) return labels::confirmQuit;
    return labels::scoreScreen;
}

// The score screen (labels 124 and 125).
Label scoreScreen() {
    screen(14);
    say();
    say({"Your total score for this story is ", score});
    say();
    say(scoreRating(score));
    say();
    pressEnter("Press Enter to Continue.");
    score = 0;
    health = 100;
    return labels::newGame;
}

// The quit confirmation (label 128).
Label confirmQuit() {
    screen(14);
    say("Are you sure you want to quit, all progress will be lost.");
    say();
    return menu("", quitAnswer, labels::confirmQuit,
                {{"1- Yes            ", labels::scoreScreen},
                 {"2- No", [] {
                      for (std::span<const Resume> rooms :
                           {chapter1Rooms, std::span<const Resume>(kFight), chapter2Rooms}) {
                          if (Label back = resumeLabel(rooms)) return back;
                      }
                      message("Error part1$ not defined, quiting to main menu.");
                      return labels::mainMenu;
                  }}});
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
