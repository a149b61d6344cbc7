// The deeper mine west and east of the crossroad: the hallway end, the
// trash room, the lunch room with its lunchbox and the hallway outside the
// foreman's office (labels 430 to 480).
//
// The boarded north room can be entered once per story: leaving or
// searching it sets northRoomCollapsed, which removes its choice from the
// hallway end; the search also costs 25 health (448 when that is the last
// of it). The lunchbox empties item by item, and its note (465) is also
// replayed by the notes viewer, returning there when inStory is "0". The
// knife-pry option at the office door is offered only while pryTried is
// "0", which the locked office door sets; it is empty in a fresh run, so the
// option first appears after the door has been tried.
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str answer430, answer440, answer450, answer460, answer480;

// The west end of the hallway: the boarded NORTH room and the lunch room.
Label scene430() {
    room(11, "430", 430, emptyLineFirst);
    devBlank();
    status(51, Labels::Seven);
    arrival({.west = "You travel WEST and continue down the hallway.  Alot of the walls are",
             .north = "You travel NORTH and emerge back in the hallway.  Alot of the walls are",
             .south = "You travel SOUTH barely escaping with your life!  Alot of the walls are"});
    lines(R"(
crumbled and decayed.  Broken mining picks litter the hall and crude
graffiti covers the walls.  At the end of the hallway are two rooms.
)");
    if (is(northRoomCollapsed, "1")) {
        say("The NORTH room has collapsed upon itself, you can no longer enter that room.");
    }
    if (is(northRoomCollapsed, "0")) {
        say("The room to the NORTH'S door is laying on the floor and it is boarded up.");
        say("The nails holding the boards have rusted away, you can enter the room.");
    }
    say("There is a door that leads to another room SOUTH of you.  The hallway EAST of");
    say("you leads back to the previous area.");
    say();
    return menu(kWhatToDo, answer430, 430,
                {{"1- EAST to previous area        ", travel("1", 420)},
                 {"2- Enter Room to SOUTH", 450},
                 row,
                 {"3- Remove the boards and enter NORTH room", 440,
                  [] { return is(northRoomCollapsed, "0"); }},
                 row,
                 checkInventory("4- Check Inventory              "),
                 quit("5- Quit")});
}

// The trash room collapses as soon as the player leaves or searches it; the
// inventory alone leaves it standing.
Label scene440() {
    room(6, "440", 440, emptyLineFirst);
    status(50, Labels::Seven);
    lines(R"(
You peel the rotten boards away and step inside.  The support beams look
unstable and dust trickles down from the ceiling.  The room is full of
old, decayed trash bags and it is filthy; it must have been a trash hold
once.  You do not want to stay in here for very long.

)");
    // Leaving or searching brings the room down.
    return menu("What is your choice", answer440, 440,
                {{"1- Exit Room        ",
                  [] {
                      let(travelDirection, "4");
                      let(northRoomCollapsed, "1");
                      return 443;
                  }},
                 {"2- Search Room       ",
                  [] {
                      let(travelDirection, "4");
                      let(northRoomCollapsed, "1");
                      return 446;
                  }},
                 checkInventory("3- Check Inventory"),
                 row,
                 quit("4- Quit")});
}

// Leaving the trash room as it collapses.
Label scene443() {
    screen(6, 443, emptyLineFirst);
    status(49, Labels::Seven);
    lines(R"(
You leave the room quickly.  Behind you a low rumble grows louder, and
with a roar the room collapses upon itself.  Now you know why it was
boarded up.
)");
    pressEnter();
    return 430;
}

// Searching the trash room: a wound on the way out.
Label scene446() {
    screen(12);
    say();
    health -= 25;
    if (health <= 0) {
        health = 0;
        return 448;
    }
    header(446);
    status(51, Labels::Seven);
    lines(R"(
You tear open the bags but find only rusty cans, broken cups and rotten
goo.  A rumble sounds overhead and you run for the door.  On your way out
a large rock nicks your head and you take 25 points of damage, but you
escape the collapsing room alive.
)");
    pressEnter("Press Enter to continue");
    return 430;
}

// Killed by the collapsing trash room.
Label scene448() {
    screen(12, 448, emptyLineFirst);
    status(53, Labels::Seven);
    lines(R"(
You tear open the bags but find only rusty cans, broken cups and rotten
goo.  A rumble sounds overhead and as you run a large rock strikes your
head.  With the wounds you have already taken you fall to the ground and
drift into unconsciousness, regretting that you ever stayed.
)");
    pressEnter();
    return labels::quitStory;
}

// The lunch room.
Label scene450() {
    room(8, "450", 450, emptyLineFirst);
    status(54, Labels::Seven);
    lines(R"(
You enter the room to the south.  It may once have been a lunch room.
The tables have warped from the water, rotted chairs lie on the ground
and a strong smell of mould hangs in the air.  On one of the tables sits
an old metal lunchbox.

)");
    return menu("What is your choice", answer450, 450,
                {{"1- Leave room        ", travel("3", 430)},
                 {"2- Search Lunchbox     ", 460},
                 checkInventory("3- Check Inventory   "),
                 row,
                 quit("4- Quit")});
}

// The lunchbox: no resume text, so currentScene stays "450". It turns grey
// once both the lighter and the note have been taken.
Label scene460() {
    cls();
    if (is(lighter, "1") && is(noteLockOut, "1")) {
        colour(8);
    } else {
        colour(14);
    }
    say();
    header(460);
    status(54, Labels::Seven);
    lines(R"(
The hinges creak as you pry open the rusty lunchbox.  Inside lies an old
coffee thermos, rusted through and useless.
)");
    if (is(lighter, "0")) say("There is an old lighter laying beside the coffee thermos.");
    if (is(lighter, "1") && is(noteLockOut, "1")) {
        say("There appears to be nothing else of use in this lunchbox.");
    }
    if (is(noteLockOut, "0")) {
        say("You also see a folded sheet of paper laying on the bottom of the lunchbox");
    }
    say();
    return menu(kWhatToDo, answer460, 460,
                {{"1- Get Lighter",
                  tell(
                      [] {
                          score += 15;
                          let(lighter, "1");
                      },
                      "You pick the lighter up out of the box.  You never know when this "
                      "might come in handy."),
                  [] { return is(lighter, "0"); }},
                 row,
                 {"2- Get Paper",
                  [] {
                      score += 25;
                      let(noteLockOut, "1");
                      return 465;
                  },
                  [] { return is(noteLockOut, "0"); }},
                 row,
                 {"3- Close Lunchbox", 450}});
}

// Note 2, "Lock Out"; the notes viewer replays it with inStory "0".
Label scene465() {
    screen(14, 465, emptyLineFirst);
    stars(74);
    say("Dear Helen                                                     August 1945");
    say();
    lines(R"(
Four weeks have passed since my last letter and morale is worse than
ever.  We have been locked out of level 2.  Only members of the lab are
allowed down there now, and anyone who asks about it is met with
hostile stares.  The foreman told me that I am next in line for a
position in the lab, and that is the only thing that keeps me going.
Several of the men have collapsed from exhaustion this week alone.  I
do not know how much longer they can keep this up.  I miss you more
than words can say.

)");
    say("Truely yours,");
    say("Thomas");
    stars(74);
    pressEnter("Press Enter to continue");
    return afterNote(460);
}

// The hallway outside the foreman's office.
Label scene480() {
    room(10, "480", 480, emptyLineFirst);
    status(52, Labels::Seven);
    arrival({.east = "You continue EAST moving deeper into the mine.  This section feels as if",
             .west = "You continue to travel WEST through the mines.  This section feels as if",
             .south = "You travel SOUTH exiting the Foreman's Office.  This section feels as if"});
    lines(R"(
it goes on forever.  Spiders and insects skitter into the cracks in the
walls whenever your light falls on them.  To the NORTH is a door under
an old sign that reads Foreman's Office, and the hallway continues on
to the EAST.

)");
    return menu("What is your choice", answer480, 480,
                {{"1- WEST to previous area    ", travel("2", 420)},
                 {"2- NORTH into Foreman's Office   ", 490},
                 {"3- Continue EAST", travel("1", 500)},
                 row,
                 {"4- Attempt to pry door with knife",
                  [] {
                      let(pryTried, "1");
                      message(
                          R"(
You slide the blade of your pocket knife between the door and the wall
and pry with all your strength, but the door will not budge.
The blade bends a little further with every try, and if you keep
prying you might break your knife.  You are going to need to find
another way to open this door.
)");
                      return stay;
                  },
                  [] { return is(pryTried, "0") && is(rustyKey, "0") && is(knife, "1"); }},
                 row,
                 checkInventory("5- Check Inventory          "),
                 quit("6- Quit")});
}

} // namespace

void registerDeeperMine() {
    addScenes({
        {430, scene430},
        {440, scene440},
        {443, scene443},
        {446, scene446},
        {448, scene448},
        {450, scene450},
        {460, scene460},
        {465, scene465},
        {480, scene480},
    });
}

} // namespace game
