// The end of Chapter 1 down the elevator shaft (label 570) and the poison
// death screen (label 610).
//
// Scene 570 unlocks Chapter 2, adds 50 points, tells the fall in two pauses
// and shows the chapter score with a password that encodes which of the
// three Chapter 1 notes were found (the password screen restores the same
// notes from it). It then marks the story ended (currentScene "none"), so
// quitStory goes straight to the score screen. While it plays, currentScene
// is "1", a text no resume table lists; the scene offers no inventory or
// quit. Scene 610 is what the inventory shows when the yellow mushroom has
// brought health to 0 or less; it leaves health as it is, so quitStory ends
// the story on the score screen.
#include <string>

#include "game/passwords.h"
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

// The elevator shaft: the fall that ends Chapter 1, its score and password.
Label scene570() {
    screen(9);
    let(chapter2Unlocked, "1");
    let(currentScene, "1");
    header(570);
    score += 50;
    lines(R"(
You step over the dead spider and walk up to the elevator shaft.  It goes
down farther than your light can reach; the elevator must be all the way
at the bottom.  A tattered old rope tied to the ceiling of the shaft
leads down into the darkness.  You grab hold of it and start to climb
down, knowing there is no turning back now.  As you go, you can feel the
fibres of the rope slowly breaking under your weight.
)");
    pressEnter();

    cls();
    header(570);
    say();
    lines(R"(
You search the walls of the shaft for something to grab, but there is
nothing.  With a sharp snap the rope breaks and you plummet down towards
the bottom of the shaft!
)");
    pressEnter();

    screen(14, 570);
    say();
    say("Congratulation's on completing chapter one!  To continue the story select");
    say("chapter two from the main menu.");
    say();
    say({"Your total score for Chapter One is ", score});
    say();
    auto found = [](bool note) { return note ? "1" : "0"; };
    for (const Password& p : kPasswords) {
        if (is(noteDearHelen, found(p.dearHelen)) && is(noteLockOut, found(p.lockOut)) &&
            is(noteForemansDiary, found(p.foremansDiary))) {
            const std::string line = std::string("Your password is ") + p.word;
            say(line.c_str());
        }
    }
    pressEnter();
    let(currentScene, "none");
    return labels::quitStory;
}

// The poison death the inventory opens when the yellow mushroom leaves no health.
Label scene610() {
    screen(4);
    say();
    header(610);
    devBlank();
    say();
    status(49, Labels::Seven);
    lines(R"(
With the injuries you have already sustained, the poison quickly spreads
and weakens your whole body.  You fall to the ground with an intense pain
in your stomach.  You try to get back up but you cannot, and slowly
everything around you goes dark.
)");
    pressEnter();
    return labels::quitStory;
}

} // namespace

void registerChapter1Ending() {
    addScenes({
        {570, scene570},
        {610, scene610},
    });
}

} // namespace game
