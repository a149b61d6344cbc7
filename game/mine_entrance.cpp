// The mine entrance, the flooded hall, the bunk room, the workshop and the
// raft crossing (labels 235 to 305 and 400 to 420).
//
// The way north is a flooded hall whose scrap metal costs 25 health per try;
// the player gathers lumber at the cave-in (290/295), builds a raft at the
// workbench (300/305) and rides it across (240 -> 400), which uses the raft
// up and leaves no way back. Building sets the lumber flag back to "0", so
// gathering and building can be repeated until the raft is used. Each scene
// is one function that draws its screen, reads one answer and returns the
// next label; travel lines are chosen by travelDirection, which each move
// sets before it jumps. The bunk-room note (265) is also replayed by the
// notes viewer: it returns there when inStory is "0".
#include <initializer_list>
#include <string>

#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str answer235, answer258, answer273, answer283, answer290, answer300, answer405, answer420;

// The mine entrance hall: the flooded hallway NORTH, the bunk room WEST.
Label scene235() {
    room(11, "235", 235);
    status(49, Labels::Six);
    arrival({.east = "You travel EAST.", .west = "You travel WEST."});
    say();
    lines(R"(
The mine grows dark, but the beam of your flashlight holds up well.  You
stand in a long hallway that has not been used in a very long time.  It
smells of must and damp, and the wind howls through it like a ghost.
To the NORTH the route is flooded with murky water about two feet deep,
and sharp scrap metal lines the bottom as far as the eye can see.  There
is a room to the WEST, and the hallway continues on to the EAST.

)");
    return menu("What is your choice", answer235, 235,
                {{"1- Go NORTH through the flooded hallway    ", 240},
                 {"2- Go WEST into the left room", 255},
                 row,
                 {"3- Continue EAST         ", travel("1", 270)},
                 checkInventory("4- Check Inventory      "),
                 quit("5- Quit ")});
}

// A drowning: health is already 0 or below, so the quit that follows goes
// straight to the score screen.
Label drowned(Label self, int statusColumn, const char* prompt, Lines text) {
    screen(4, self, emptyLineFirst);
    say();
    status(statusColumn, Labels::Six);
    lines(text);
    pressEnter(prompt);
    return labels::quitStory;
}

// Into the flood: with the raft the crossing starts, otherwise a wound.
Label scene240() {
    colour(4);
    if (is(raft, "1")) {
        score += 25;
        return 400;
    }
    cls();
    say();
    header(240);
    health -= 25;
    if (health <= 0) return 245;
    say();
    status(54, Labels::Six);
    lines(R"(
You try to wade across the flooded hallway, but on your very first step
a sharp piece of metal slices into your foot.  The wound takes 25 points
of your health!  You quickly step back out of the murky water.  There
has to be another way across.
)");
    pressEnter("Press Enter to continue.");
    return 235;
}

// Drowned in the flood.
Label scene245() {
    return drowned(245, 53, "Press Enter to Continue",
                   R"(
Once more you try to cross and once more you step on a jagged piece of
metal.  Already weakened by your wounds you collapse into the water, and
as everything fades away you wish you had found another way across.
)");
}

// Into the bunk room.
Label scene255() {
    cls();
    return 258;
}

// The bunk room with the cabinet.
Label scene258() {
    room(2, "258", 255, emptyLineFirst);
    devBlank();
    say();
    status(54, Labels::Six);
    lines(R"(
You enter a large room that was once used as a bunk house.  Old beds
with tattered blankets line the walls, all under a thick layer of dust.
In the corner stands an old cabinet, its busted lock laying on the
floor in front of it.  The only way out is the way you came in.

)");
    return menu(kWhatToDo, answer258, 258,
                {{" 1- Search cabinet               ", 262},
                 checkInventory("2- Check inventory"),
                 row,
                 {" 3- Exit Room                    ", travel("1", 235)},
                 quit("4- Quit game")});
}

// The cabinet gives the first note and its points once.
Label scene262() {
    colour(14);
    if (is(cabinetSearched, "1")) {
        cls();
        say();
        say();
        say("You have all ready searched this cabinet.");
        pressEnter("Press Enter to continue");
        return 258;
    }
    score += 15;
    let(noteDearHelen, "1");
    let(cabinetSearched, "1");
    cls();
    header(262);
    devBlank();
    say();
    say();
    lines(R"(
You pull open the decrepit cabinet.  Inside there is nothing but a
tattered note.  It is faded and grimy, but parts of it are still
legible.  At the top you can make out a date from July of 1945.
It reads:

)");
    pause("");
    return 265;
}

// Note 1, "Dear Helen"; the notes viewer replays it with inStory "0".
Label scene265() {
    screen(14);
    say();
    stars(77);
    say("Dear Helen                                                     July 5th, 1945");
    say();
    lines(R"(
The work down here is stressful and the overtime never stops.  I think
of you every night.  Morale is low and the men are tired.  They have
kept us underground for what feels like an eternity, and some of the
men have not seen daylight in months.  I am sorry I have not written
sooner, I have been working non-stop in the hope of earning a promotion
so that we can finally
)");
    stars(77);
    say("You can not make anything out past this point.");
    pressEnter("Press Enter to Continue");
    return afterNote(258);
}

// Into the tunnel east of the entrance.
Label scene270() {
    cls();
    return 273;
}

// The tunnel to the workshop and the cave-in.
Label scene273() {
    room(5, "273", 270);
    devBlank();
    say();
    status(58, Labels::Six);
    arrival({.east = "You head EAST down the tunnel traveling deeper into the mine. You feel",
             .west = "You head WEST down the tunnel traveling back towards the entrance.  You feel",
             .south = "You travel SOUTH out of the workshop and into the tunnel.  You feel"});
    lines(R"(
as if you are being watched by thousands of tiny eyes, and somewhere in
the distance you hear the screeching of thousands of bats.  At the end
of the hallway the tunnel dead ends to the EAST.  There is a closed door
to the NORTH, and the way back lies to the WEST.

)");
    return menu(kWhatToDo, answer273, 273,
                {{" 1- Head WEST to previous area           ", travel("2", 235)},
                 {"2- Go EAST    ", travel("1", 290)},
                 {"3- Enter Room", 280},
                 row,
                 checkInventory(" 4- Check Inventory                      "),
                 quit("5- Quit")});
}

// Into the workshop: its colour and resume text are set here, so the
// workshop itself keeps whatever colour it is drawn in.
Label scene280() {
    screen(10);
    let(currentScene, "283");
    return 283;
}

// The workshop.
Label scene283() {
    cls();
    header(280);
    say();
    status(54, Labels::Six);
    lines(R"(
You enter what looks like an old workshop.  A workbench stands in one
corner holding a hammer and a box of old rusty nails, and in the other
corner some equipment has seized up under layers of dust and mould.
With the right materials you might be able to build something here.

)");
    // An answer that matches nothing comes in again through 280.
    return menu(kWhatToDo, answer283, 280,
                {{" 1- Exit the room          ", travel("4", 270)},
                 {"2- Use Work Bench  ", 300},
                 row,
                 checkInventory(" 3- Check Inventory        "),
                 quit("4- Quit")});
}

// The cave-in dead end: its resume text is "293", which the resume tables
// map back here. flag290 records the visit, which the foreman's office on
// the far side of the rubble reads.
Label scene290() {
    screen(9);
    let(currentScene, "293");
    say();
    let(flag290, "1");
    header(290);
    status(53, Labels::Six);
    arrival({.east = "You travel EAST.", .south = "You travel SOUTH."});
    lines(R"(
The hallway dead ends in a huge pile of rocks where the mine has caved
in.  The only way back is to the WEST.
)");
    if (is(scrapLumber, "0")) {
        say("Laying on top of the rubble are several old pieces of scrap lumber.");
    }
    if (is(scrapLumber, "1")) say("You see nothing else of interest in this area.");
    say();
    return menu("What is your choice", answer290, 290,
                {{" 1- Go WEST ", travel("2", 270)},
                 row,
                 {" 2- Gather Lumber", 295, [] { return is(scrapLumber, "0"); }},
                 row,
                 checkInventory(" 3- Check Inventory"),
                 row,
                 quit(" 4- Quit")});
}

// Gathering the lumber at the cave-in.
Label scene295() {
    screen(14);
    let(scrapLumber, "1");
    score += 15;
    say();
    header(295);
    say();
    say("You gather the scrap lumber and decide to lug it around with you.");
    pressEnter("Press Enter to continue");
    return 290;
}

// The workbench: no resume text, so currentScene stays "283".
Label scene300() {
    cls();
    say();
    colour(10);
    header(300);
    say();
    status(49, Labels::Six);
    say("You stand in front of the workbench and look at the available tools.");
    say("There is an old hammer, dull saw,  and a box of old rusty nails.");
    if (is(scrapLumber, "1")) {
        say("You think you might be able to build a crude raft using the");
        say("scrap lumber you found earlier.");
    }
    if (is(scrapLumber, "0")) {
        say("Right now you don't have any materials that can be used with");
        say("workbench.  ");
    }
    if (is(raft, "1")) {
        say("Now that you have used all the wood you doubt you have any further use");
        say("of this workbench.");
    }
    say();
    return menu("What is your choice", answer300, 300,
                {{" 1- Exit Workbench           ", 283}, row, {" 2- Craft A Crude Raft", 305, [] {
                                                                   return is(scrapLumber, "1");
                                                               }}});
}

// Building the raft.
Label scene305() {
    screen(14);
    let(scrapLumber, "0");
    let(raft, "1");
    score += 25;
    say();
    header(305);
    say();
    lines(R"(
It takes some time, but with the hammer and the rusty nails you turn the
scrap lumber into a crude raft.  You doubt how strong it really is, but
it is better than nothing.
)");
    pressEnter("Press Enter to continue");
    return 300;
}

// The crossing uses the raft up.
Label scene400() {
    cls();
    say();
    colour(3);
    let(raft, "0");
    score += 25;
    header(400);
    status(51, Labels::Six);
    lines(R"(
You push off on your raft.  It slowly leaks, but it carries you across
the shallow water to a dry section of the hallway.  As you step off, the
raft falls apart into a pile of debris, and there is no going back now.
A sense of doom comes over you, but you press on.
)");
    pressEnter("Press Enter to Continue");
    let(travelDirection, "3");
    return 405;
}

// North of the flood, where the metal rod lies.
Label scene405() {
    room(11, "405", 405);
    say();
    status(52, Labels::Six);
    arrival({.north = "You travel NORTH.", .south = "You travel SOUTH."});
    lines(R"(
You have made it past the flooded section, but there is no way back to
the entrance now.  The hallway stretches on to the NORTH, and the
remains of your raft lie in the murky, metal filled shallows to the SOUTH.
)");
    if (is(metalRod, "0")) {
        lines(R"(
Something long and sharp glints in the shallow water.  It looks like a
metal object of some kind.
)");
    }
    say();
    // The rows close up once the rod is taken.
    if (is(metalRod, "1")) {
        return menu("What is your choice", answer405, 405,
                    {{"1- Continue NORTH         ", travel("3", 420)},
                     {"2- Attempt to go SOUTH       ", 410},
                     checkInventory("3- Check Inventory"),
                     row,
                     quit("4- Quit")});
    }
    return menu("What is your choice", answer405, 405,
                {{"1- Continue North         ", travel("3", 420)},
                 {"2- Grab Metal Object     ",
                  tell(
                      [] {
                          score += 10;
                          let(metalRod, "1");
                          colour(14);
                      },
                      "You reach over and pick the sharp metal rod up and take it with you.")},
                 checkInventory("3- Check Inventory"),
                 row,
                 {"4- Attempt to go South    ", 410},
                 quit("5- Quit")});
}

// Back through the water: a wound, or death once health runs out.
Label scene410() {
    screen(4, 410, emptyLineFirst);
    health -= 25;
    if (health <= 0) {
        health = 0;
        return 415;
    }
    say();
    status(51, Labels::Six);
    lines(R"(
You step into the water and land right on a sharp piece of metal.  You
take 25 points of damage!  You step back out of the water and realise
that there is no getting back across.
)");
    pressEnter();
    return 405;
}

// Drowned on the way back.
Label scene415() {
    return drowned(415, 54, "Press Enter to continue",
                   R"(
You step on another sharp object.  With the wounds you have already
taken you cannot escape the water.  You fall to the bottom, regretting
that you ever tried to cross back.
)");
}

// The hallway past the flood, splitting EAST and WEST.
Label scene420() {
    room(15, "420", 420, emptyLineFirst);
    say();
    status(55, Labels::Six);
    arrival({.east = "You travel EAST.", .west = "You travel WEST.", .north = "You travel NORTH."});
    lines(R"(
You are past the flood now, though damp puddles still cover the floor.
Deeper in, the hallway splits to the EAST and to the WEST, while the way
SOUTH leads back to the flooded section.

)");
    return menu("What do you want to do", answer420, 420,
                {{" 1- Go SOUTH to flooded section       ", travel("4", 405)},
                 {"2- Go EAST       ", travel("1", 480)},
                 {"3- Go WEST", travel("2", 430)},
                 row,
                 checkInventory(" 4- Check Inventory                  "),
                 quit("5- Quit")});
}

} // namespace

void registerMineEntrance() {
    addScenes({
        {235, scene235}, {240, scene240}, {245, scene245}, {255, scene255}, {258, scene258},
        {262, scene262}, {265, scene265}, {270, scene270}, {273, scene273}, {280, scene280},
        {283, scene283}, {290, scene290}, {295, scene295}, {300, scene300}, {305, scene305},
        {400, scene400}, {405, scene405}, {410, scene410}, {415, scene415}, {420, scene420},
    });
}

} // namespace game
