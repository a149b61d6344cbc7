// Chapter 2's wet half (labels 2080 to 2135): the hall above the flooded
// staircase, the drowning screen, the supply room with the fire extinguisher
// and the empty glass jar, and the flooded level below the stairs with the
// landing by the sealed metal door and the lever room.
//
// The level is flooded (stairsFlooded "1") or drained ("0"); the flooded
// state is the only one a story reaches, but every room also draws and acts
// on its drained form. While flooded the stairs can only be dived with the
// scuba gear, and the air supply is one budget for the whole story: taking
// the gear fills it to 100 and each move into or through the flooded level
// costs 10 (the dive, the landing to the lever room and back); climbing back
// up is free. The landing and the lever room test the supply before anything
// else, so a move that arrives with no air left ends the story: nine moves
// are possible, the tenth drowns the player. The Air line is shown in the
// three rooms of the stairs whenever the gear has been taken.
//
// Label 2080 only forwards to the hall; it is a resume target. The lever
// scene shows the unfinished drain sign, waits for a key so that it can be
// read, and then opens the Chapter 2 inventory, whose resume text ("2130")
// brings the player back to the lever room.
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str answer2090, answer2100, answer2120, answer2130;

// Health and score, the Air line once the scuba gear was taken, an empty line.
void statusWithAir(int blanks, Loc loc = Loc::current()) {
    statusLine(blanks, "Health", health, loc);
    statusLine(blanks, "Score ", score, loc);
    if (is(scubaGear, "1", loc)) statusLine(blanks, "Air   ", air, loc);
    say(loc);
}

// The supply test of the landing and the lever room. A dry level cannot
// drown the player, so the test only applies while the level is flooded.
bool outOfAir() {
    if (!(is(stairsFlooded, "1") && air < 1)) return false;
    cls();
    health = 0;
    colour(4);
    lines(R"(
You are out of air!  In a panic you try to find your way out of the
flooded section, but it is no use.  You slowly sink to the bottom and
drift into unconsciousness.
)");
    pressEnter();
    return true;
}

// The flooded hall's resume target: on to the hall.
Label scene2080() {
    cls();
    return 2090;
}

// The hall above the staircase. A player left without health by the stairs
// drowns before the hall is drawn again.
Label scene2090() {
    cls();
    if (health < 1) return 2092;
    if (is(stairsFlooded, "1")) colour(11);
    if (is(stairsFlooded, "0")) colour(8);
    let(currentScene, "2090");
    header(2090);
    statusWithAir(45);
    arrival({.east = "You travel EAST.",
             .west = "You travel WEST.",
             .north = "You travel NORTH through the tunnel.",
             .south = "You travel SOUTH."});
    lines(R"(
You stand in a large hollowed out section of the cave.  A thin layer of
running water covers the floor, fed by a small steady stream that falls
from the ceiling and drains into a staircase leading down to the NORTH.
)");
    if (is(stairsFlooded, "1")) {
        say("The stairs to your north are flooded and you do not think can go that way.");
    }
    if (is(stairsFlooded, "0")) {
        say("The stairs to your north are no longer flooded as you have opened the drain.");
    }
    lines(R"(
To the EAST is a waterlogged door labeled (Supply Room), and to the SOUTH
the tunnel leads back the way you came.

)");
    return menu(kWhatToDo, answer2090, 2090,
                {{"1- Travel NORTH    ",
                  [] {
                      if (is(stairsFlooded, "1") && is(scubaGear, "0")) {
                          health -= 25;
                          message(4,
                                  R"(
You attempt to go down the flooded staircase.  The water is just too deep!
Almost out of air you rush back to the surface of the water.  You take 25
points of damage!
)");
                          return stay;
                      }
                      if (is(stairsFlooded, "1") && is(scubaGear, "1")) {
                          let(travelDirection, "3");
                          air -= 10;
                          message("You equip your Scuba Equipment and dive into the water!");
                          return 2120;
                      }
                      if (is(stairsFlooded, "0")) {
                          cls();
                          say("Not Done");
                          ask("", pauseEntry);
                      }
                      return stay;
                  }},
                 {"2- Travel EAST    ", travel("1", 2100)},
                 {"3- Travel SOUTH    ", travel("4", 2070)},
                 checkChapter2Inventory("4- Check Inventory"),
                 row,
                 quit("9- Quit")});
}

// Drowning on the stairs; the colour stays as the hall left it.
Label scene2092() {
    cls();
    lines(R"(
You try to make your way down the flooded staircase, but the water is far
too deep.  In your weakened state you cannot make it back to the surface
before the water fills your lungs, and you drift into unconsciousness.
)");
    pressEnter();
    health = 0;
    return labels::quitStory;
}

// The supply room's shelf: each item is taken once, for 15 points, with a
// message in yellow.
struct Supply {
    const Str* item;
    const char* taken;
    const char* message;
};
const Supply kSupplies[] = {
    {&fireExtinguisher, "1", "You take the Fire Extinguisher with you."},
    {&glassJar, "2", "You reach over and take the Empty Glass Jar."},
};
template <int supply> Label takeSupply() {
    score += 15;
    let(*kSupplies[supply].item, kSupplies[supply].taken);
    message(14, {kSupplies[supply].message});
    return stay;
}
template <int supply> bool onShelf() {
    return is(*kSupplies[supply].item, "0");
}

// The supply room: the extinguisher and the jar.
Label scene2100() {
    room(15, "2100", 2100);
    status(49, Labels::Six);
    lines(R"(
With a lot of force you manage to push open the heavy waterlogged door.
Inside is a small storage area.  The water has ruined everything that was
touching the floor, and rusted chains and tools lie piled in one corner.
A shelf hangs on the back wall.
)");
    if (is(fireExtinguisher, "0")) {
        say("There is a fire extinguisher laying on it that looks like it might work.");
    }
    if (is(glassJar, "0")) say("You also see a empty glass jar laying on the shelf as well.");
    if (!is(fireExtinguisher, "0") && !is(glassJar, "0")) {
        say("There is nothing else of interest in this room.");
    }
    say("The only exit to this room is WEST the way that you came in.");
    say();
    return menu(kWhatToDo, answer2100, 2100,
                {{"1- Exit Room", travel("2", 2090)},
                 row,
                 {"2- Take Fire Extinguisher", takeSupply<0>, onShelf<0>},
                 rowNoGap,
                 {"3- Take Empty Glass Jar", takeSupply<1>, onShelf<1>},
                 rowNoGap,
                 checkChapter2Inventory("4- Check Inventory       "),
                 quit("9- Quit")});
}

// The landing at the bottom of the stairs, by the sealed metal door.
Label scene2120() {
    cls();
    if (outOfAir()) return labels::quitStory;
    let(currentScene, "2120");
    if (is(stairsFlooded, "1")) colour(9);
    if (is(stairsFlooded, "0")) colour(2);
    statusWithAir(49);
    if (is(travelDirection, "3") && is(stairsFlooded, "1")) {
        say("You travel NORTH as you slowly decend the flooded staircase!");
    }
    if (is(travelDirection, "3") && is(stairsFlooded, "0")) {
        say("You travel NORTH down the staircase.");
    }
    arrival({.east = "You travel EAST.", .west = "You travel WEST through the corridor."});
    if (is(stairsFlooded, "1")) {
        lines(R"(
The water is clean and the visibility is good, yet you can make out very
little around you.  At the bottom of the stone stairs the floor turns into
a rusty metal walkway with a drain in the middle of it.  To the WEST is a
metal doorway that seems to be sealed shut.  A corridor leads off to the
EAST, and the stairs lead back up to the SOUTH.
)");
    }
    if (is(stairsFlooded, "0")) {
        lines(R"(
With the water gone you are able to move around freely.  A thin layer of
water trickles across the rusted metal floor towards the drain in the
middle of the walkway.  The doorway to the WEST that was sealed before
is now open.  A corridor leads off to the EAST, and the stone stairs
lead back up to the SOUTH.
)");
    }
    say();
    return menu(kWhatToDo, answer2120, 2120,
                {{"1- Enter WEST room      ",
                  [] {
                      if (is(stairsFlooded, "1")) {
                          message(R"(
The metal door has no visable hand holds or grip.  Try as you might this door
has been sealed shut.  It must be opened elsewhere.
)");
                          return stay;
                      }
                      return 2110;
                  }},
                 {"2- Travel EAST     ",
                  [] {
                      if (is(stairsFlooded, "1")) air -= 10;
                      let(travelDirection, "1");
                      return 2130;
                  }},
                 {"3- Travel SOUTH     ",
                  [] {
                      if (is(stairsFlooded, "1")) {
                          let(travelDirection, "4");
                          message(15, R"(
You accend the flooded staircase and emerge from the water.  You remove your
Scuba Gear.
)");
                          return 2090;
                      }
                      let(travelDirection, "4");
                      return 2090;
                  }},
                 row,
                 checkChapter2Inventory("4- Check Inventory      "),
                 quit("5- Quit")});
}

// The lever room at the end of the corridor.
Label scene2130() {
    cls();
    if (is(stairsFlooded, "1")) colour(9);
    if (is(stairsFlooded, "0")) colour(3);
    if (outOfAir()) return labels::quitStory;
    let(currentScene, "2130");
    header(2130);
    statusWithAir(49);
    arrival({.east = "You travel EAST through the corridor.", .south = "You travel SOUTH."});
    lines(R"(
The corridor ends in another opening.  Its north wall is made of solid
metal, with a sealed door set into the middle of it.  Along the east wall
stand three levers attached to a series of old gears, and there is a sign
near them that you cannot read from here.  You can go back to the WEST,
or try the door to the NORTH.

)");
    return menu("What would you like to do ", answer2130, 2130,
                {{"1- Travel North      ",
                  [] {
                      if (is(stairsFlooded, "1")) {
                          message(15,
                                  R"(
The sealed door has no handholds or grip of any kind.  No matter how hard
you try, you cannot get it open.
)");
                      }
                      return stay;
                  }},
                 {"2- Travel back to the WEST    ",
                  [] {
                      if (is(stairsFlooded, "1")) {
                          air -= 10;
                      } else if (!is(stairsFlooded, "0")) {
                          return stay;
                      }
                      let(travelDirection, "2");
                      return 2120;
                  }},
                 {"3- Examine Levers",
                  [] {
                      if (is(stairsFlooded, "1")) return 2135;
                      if (is(stairsFlooded, "0")) {
                          message(15, "With the water drained and doors open you decide not to "
                                      "mess with the levers.");
                      }
                      return stay;
                  }},
                 row,
                 checkChapter2Inventory("4- Check Inventory   "),
                 quit("5- Quit")});
}

// The levers and the drain sign, whose text breaks off. The pause keeps the
// sign on screen long enough to be read before the inventory replaces it.
Label scene2135() {
    screen(9, 2135);
    lines(R"(
You swim in closer to get a better look.  Three long metal levers are
attached to a series of old gears, and behind them hangs a sign.

)");
    say("                     DRAIN RELEASE");
    lines(R"(
In case of flooding, all doors seal automatically until the drain is released
by hand.  To activate the drain, all three switches are to be set to the proper
)");
    pressEnter();
    return labels::chapter2Inventory;
}

} // namespace

void registerFloodedStairs() {
    addScenes({
        {2080, scene2080},
        {2090, scene2090},
        {2092, scene2092},
        {2100, scene2100},
        {2120, scene2120},
        {2130, scene2130},
        {2135, scene2135},
    });
}

} // namespace game
