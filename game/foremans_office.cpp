// The foreman's office, the junction east of it, the greenhouse, the dead
// end with the rusty key and the corridor to the spider's lair (labels 490
// to 520).
//
// The office door has three states: locked without the key (the attempt
// resets pryTried, so the hallway's knife-pry option appears, and sends the
// player back), locked with the key (the key breaks in the lock, 10 points,
// the door opens) and open (officeUnlocked "1": the office is shown at once,
// whatever rustyKey holds). The smoke bomb under the desk and the key at the
// dead end are there whenever their flags are "0", so once used they can be
// found again. The foreman's letter (note 3) is collected once at the desk
// drawer (496, 15 points) and replayed by the notes viewer through 498,
// which returns there when inStory is "0".
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str answer490, answer493, answer500, answer505, answer507, answer510, answer520;

// The office: the locked door turns the player back; the key opens it once.
Label scene490() {
    cls();
    if (is(rustyKey, "0") && is(officeUnlocked, "0")) {
        say();
        let(pryTried, "0");
        say("You attempt to turn the handle on the door and discover that the room is locked.");
        say("Your going to need a key to enter this room.");
        pressEnter();
        return 480;
    }
    if (is(rustyKey, "1") && is(officeUnlocked, "0")) {
        say();
        let(rustyKey, "0");
        let(officeUnlocked, "1");
        let(pryTried, "1");
        lines(R"(
You slide the rusty key into the lock and slowly turn it.  With a loud
click the door unlocks, but the fragile old key snaps in half and both
pieces fall to the floor.

)");
        score += 10;
        pause("Press Enter to continue");
    }
    room(8, "490", 490, emptyLineFirst);
    status(55, Labels::Seven);
    lines(R"(
The office looks as if a tornado went through it.  A desk lies upside
down among the broken parts of a chair, and crushed file cabinets and
scattered papers fill the back of the room.

)");
    return menu("What is your choice", answer490, 490,
                {{"1- Exit Room           ", travel("4", 480)},
                 {"2- Examine Desk       ", 493},
                 {"3- Search Cabinet",
                  [] {
                      message(
                          R"(
You pull open what is left of the file cabinets, but they are empty.
The papers scattered around them are far too decayed to read, and you
find nothing else of interest.
)",
                          "Press Enter to Continue");
                      return stay;
                  }},
                 row,
                 checkInventory("4- Check Inventory     "),
                 quit("5- Quit")});
}

// The desk: no resume text of its own, so currentScene stays "490".
Label scene493() {
    cls();
    say();
    colour(7);
    header(493);
    status(50, Labels::Seven);
    lines(R"(
You turn the desk back over.  It is in very poor condition, but one of
its drawers still looks intact.
)");
    if (is(smokeBomb, "0")) say("Laying on the floor under the desk you see a large smoke bomb.");
    say("Otherwise you do not see anything else of interest.");
    say();
    return menu(
        "What is your choice", answer493, 493,
        {{"1- Search Drawer",
          [] {
              if (is(noteForemansDiary, "0")) return 496;
              if (is(noteForemansDiary, "1")) {
                  message(
                      "You have all ready searched the desk drawer, there is nothing else in it.");
              }
              return stay;
          }},
         row,
         {"2- Get Smoke Bomb",
          [] {
              let(smokeBomb, "1");
              score += 10;
              message(14, "You pick the smoke bomb up off the floor.");
              return stay;
          },
          [] { return is(smokeBomb, "0"); }},
         row,
         {"3- Back", 490}});
}

// The drawer: note 3 and its 15 points, earned once since the desk only
// comes here while the note is not collected.
Label scene496() {
    cls();
    let(noteForemansDiary, "1");
    colour(14);
    if (is(developerMode, "1")) {
        say();
        say("Line 496");
        say();
    }
    lines(R"(
You pull the drawer open and find an old, tattered note inside.  It must
have belonged to the foreman.  You carefully pick it up, unfold it and
begin to read.

)");
    score += 15;
    pause("Press ENTER to continue");
    return 498;
}

// Note 3, the foreman's letter; the notes viewer replays it with inStory
// "0" and gets the player back.
Label scene498() {
    cls();
    say();
    colour(14);
    header(498);
    say("To the Director of the Laboratory                        August 4th, 1945");
    say();
    lines(R"(
In answer to your request for another man, I recommend young Thomas
from the second shift.  He is eager, he works harder than anyone I have
and he asks no questions.  The others are too weak for what you have in
mind and would not last a week down there.

)");
    lines(R"(
I will *promote* him at once and send him down to you at the end of the
week.  He believes it is the chance of a lifetime.

)");
    say("Foreman Harlan Briggs");
    pressEnter();
    return afterNote(493);
}

// The junction east of the office.
Label scene500() {
    room(13, "500", 500);
    status(48, Labels::Seven);
    arrival({.east = "You travel EAST.",
             .west = "You travel WEST.",
             .north = "You travel NORTH.",
             .south = "You travel SOUTH."});
    say();
    lines(R"(
The hallway splits off in all four directions and a chilling breeze
blows through it.  To the EAST stand a pair of double doors, one of
them hanging by a single hinge.  The hallway runs on to the NORTH and
to the SOUTH, and leads back to the WEST.

)");
    return menu("What is your choice", answer500, 500,
                {{"1- Travel WEST              ", travel("2", 480)},
                 {"2- Enter EAST room           ", 505},
                 {"3- Travel SOUTH", travel("4", 510)},
                 row,
                 {"4- Travel NORTH             ", travel("3", 520)},
                 checkInventory("5- Check Inventory           "),
                 quit("6- Quit")});
}

// The greenhouse: the glowing object is offered until the mushroom is taken.
Label scene505() {
    room(2, "505", 505);
    status(49, Labels::Seven);
    lines(R"(
You push through the doors into a room with a much higher ceiling.
Decrepit tables, many of them collapsed, stand in rows under large rusty
light fixtures, and large pots of soil sit on top of them.  This was
once a greenhouse, but nothing alive is left to tell what grew here.

)");
    if (is(yellowMushroom, "0")) {
        say("From under one of the broken tables you notice a faint glow coming from");
        say("something on the ground.");
    }
    if (is(yellowMushroom, "1") || is(yellowMushroom, "2")) {
        say("You do not see anything else of interest in this room.");
    }
    say();
    return menu("What is your choice", answer505, 505,
                {{"1- Exit Room       ", travel("2", 500)},
                 {"2- Turn lights on     ",
                  [] {
                      message(R"(
You flip the switches on the wall back and forth, but none of the light
fixtures work.  Even if the bulbs were still good, the power to this
place was shut off years ago.
)");
                      return stay;
                  }},
                 checkInventory("3- Check Inventory"),
                 row,
                 {"4- Inspect Glowing Object       ", 507, [] { return is(yellowMushroom, "0"); }},
                 quit("5- Quit")});
}

// The glowing object. "Back" leads to the junction, not the greenhouse.
Label scene507() {
    screen(14, 507);
    lines(R"(
You bend down and look under the broken table.  Growing out of a rotting
piece of wood is a strange mushroom, white with dimly glowing yellow
spots.  You have never seen anything like it before.

)");
    return menu("What is your choice", answer507, 507,
                {{"1- Take Mushroom        ",
                  [] {
                      let(yellowMushroom, "1");
                      message(
                          R"(
You pick the mushroom.  A slimy yellow substance covers it, and your
finger starts to burn slightly as you stow the mushroom away with your
other things.
)");
                      return 505;
                  }},
                 {"2- Back", 500}});
}

// The southern dead end, the far side of the cave-in: the menu numbering
// shifts with the key.
Label scene510() {
    room(9, "510", 510);
    status(49, Labels::Seven);
    lines(R"(
You travel SOUTH past an old conveyor belt with piles of coal and dust
beside it, until the hallway comes to a dead end.  The way WEST is
blocked by a huge pile of rubble, and there is no way past it for now.
)");
    if (is(rustyKey, "0")) say("You notice an old rusted key laying on the ground near the wall.");
    if (is(flag290, "1")) {
        lines(R"(
This might be the other side of the blocked path you found earlier.
If you could find a way past all this rubble, an escape from the mine
might still be possible.

)");
    }
    if (is(rustyKey, "1")) {
        return menu("What is your choice", answer510, 510,
                    {{"1- Travel back NORTH     ", travel("3", 500)},
                     checkInventory("2- Check Inventory     "),
                     quit("3- Quit")});
    }
    return menu("What is your choice", answer510, 510,
                {{"1- Travel back NORTH     ", travel("3", 500)},
                 {"2- Get Key       ",
                  [] {
                      let(rustyKey, "1");
                      score += 10;
                      message(14, "You bend over and pick the rusty old key up off the ground.");
                      return stay;
                  }},
                 checkInventory("3- Check Inventory       "),
                 quit("4- Quit")});
}

// The spider corridor. Only a move NORTH or EAST has an opening clause; the
// description goes on from it in every case.
Label scene520() {
    room(12, "520", 520);
    status(49, Labels::Seven);
    arrival(
        {.east = "You travel back to the EAST through the mine.  As you continue down",
         .north = "You begin to travel NORTH even deeper into the mine.  As you continue down"});
    lines(R"(
the hallway more and more spiders cover the walls, and thick cobwebs hang
from the ceiling.  The smell of death fills the air.  Dead rodents lie
wrapped in cocoons, with hundreds of tiny spiders crawling over them.
Something far bigger than these did this.  As you watch, spiders pour
out of a cocooned rat at your feet.  The hallway branches off to the
WEST, or leads back to the SOUTH.

)");
    return menu("What is your choice", answer520, 520,
                {{"1- Go SOUTH     ", travel("4", 500)},
                 {"2- Travel WEST     ", travel("2", 530)},
                 checkInventory("3- Check Inventory      "),
                 quit("4- Quit")});
}

} // namespace

void registerForemansOffice() {
    addScenes({
        {490, scene490},
        {493, scene493},
        {496, scene496},
        {498, scene498},
        {500, scene500},
        {505, scene505},
        {507, scene507},
        {510, scene510},
        {520, scene520},
    });
}

} // namespace game
