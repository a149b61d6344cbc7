// The word game: five words in, a short story out.
//
// Label 5000 asks for an object, a famous person, an action, a place and a
// feeling, echoing each entry on a line of its own; label 5050 tells a
// nine-line story with the entries dropped into fixed places (fifteen in
// all), printed piece by piece so that a long entry simply pushes the rest
// of its line onward. Entries are used exactly as typed; the action gets
// "ing" attached letter for letter. The game then returns to the main menu
// without a new game, so the menu looks as it did before.
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

constexpr Label kTelling = 5050;

void askWord(const char* prompt, const Str& word) {
    ask(prompt, word);
    say();
    say({word});
    say();
}

// The word game's five questions (label 5000).
Label wordGame() {
    screen(13);
    askWord("Enter the name of an object", wordObject);
    askWord("Enter the name of a famous person", wordPerson);
    askWord("Enter the name of an action, such as a verb.", wordAction);
    askWord("Enter the name of a place.", wordPlace);
    askWord("Enter an emotion or feeling.", wordFeeling);
    pause("Ok done press ENTER to continue.");
    return kTelling;
}

// The story told from the five words (label 5050).
Label wordStory() {
    cls();
    say({"One grey morning I set out on a long walk with ", wordPerson, "."});
    say({"By the road we found a dusty old ", wordObject, ", and ", wordPerson, " picked it up."});
    say({"We agreed at once that the ", wordObject, " must be shown to our friend."});
    say({"So we carried it all the way to ", wordPlace, ", with ", wordPerson, " leading."});
    say({"Halfway there we stopped to ", wordAction, ", and ", wordPerson,
         " rested on a park bench."});
    say({"When at last we reached ", wordPlace, ", we held up the ", wordObject, "."});
    say({"Our friend was filled with ", wordFeeling, " and told ", wordPerson, " to keep the ",
         wordObject, "."});
    say({"Then ", wordPerson, " waved goodbye and we turned for home at sunset."});
    say({"All the way home we could not stop ", wordAction, "ing", ", and we never went back."});
    say();
    say();
    ask("", pauseEntry);
    return labels::mainMenu;
}

} // namespace

void registerWordGame() {
    addScenes({
        {labels::wordGame, wordGame},
        {kTelling, wordStory},
    });
}

} // namespace game
