// Chapter 2's upper tunnels below the elevator shaft (labels 2005 to 2075):
// the shaft's bottom, the fire junction, the gas tunnel with the scuba gear,
// the waterfall cavern with its red mushrooms and glowing stream, the second
// junction, the cliff with the old satchel and its letter (note 4), the
// break room with the fountain and the mushroom farm, whose NORTH exit leads
// to the flooded hall (2090).
//
// Each room stores its resume text (the shaft's bottom stores "2000"), so
// the Chapter 2 inventory (label 2200) and the quit confirmation bring the
// player back to it; the sub-screens (mushrooms, stream, satchel, letter,
// fountain, crate) store none and return to their room. Quitting is "9" in
// most rooms. Two deaths end the story from here: the fire junction checks
// the player's health after drawing its screen, so a burn that leaves no
// health ends the story before another prompt; the glowing stream checks it
// only once the next answer has been read, so the poison takes its time.
// Both set currentScene to "none", which sends quitStory straight to the
// score screen. The satchel's letter is replayed by the notes viewer, which
// opens it with inStory "0" and gets the player back.
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str answer2005, answer2010, answer2020, answer2030, answer2035, answer2038, answer2040, answer2050,
    answer2055, answer2060, answer2065, answer2070, answer2075;

// The health and score lines with labels of neither style ("Score" without
// its blank in the shaft, the fire junction and the gas tunnel, "Health "
// with "Score" at the waterfall), then an empty line.
void statusBlock(int blanks, const char* healthLabel, const char* scoreLabel,
                 Loc loc = Loc::current()) {
    statusLine(blanks, healthLabel, health, loc);
    statusLine(blanks, scoreLabel, score, loc);
    say(loc);
}

// The arrival lines of the tunnels (2010, 2020).
constexpr Arrival kThroughTunnel{.east = "You travel EAST through the tunnel.",
                                 .west = "You travel WEST through the tunnel.",
                                 .north = "You travel NORTH through the tunnel.",
                                 .south = "You travel SOUTH through the tunnel."};

// The short arrival lines (2040, 2060, 2070).
constexpr Arrival kShortArrival{.east = "You travel EAST.",
                                .west = "You travel WEST.",
                                .north = "You travel NORTH.",
                                .south = "You travel SOUTH."};

// The bottom of the elevator shaft: its resume text is "2000".
Label scene2005() {
    room(15, "2000", 2000);
    statusBlock(55, "Health", "Score");
    if (is(travelDirection, "4")) say("You travel South through the tunnel.");
    lines(R"(
You stand at the bottom of the elevator shaft.  Above you there is nothing
but darkness, and the walls are far too smooth to find anything to grab.
This part of the mine looks different from the rest.  A tunnel that looks
more natural than man-made leads off to the NORTH.

)");
    return menu(kWhatToDo, answer2005, 2005,
                {{"1- Climb Elevator Shaft      ",
                  [] {
                      message(
                          R"(
You search the walls of the shaft for something to hold on to, but the
metal is far too smooth to climb.  You will not be getting out of here
this way.
)");
                      return stay;
                  }},
                 {"2- Travel NORTH     ", travel("3", 2010)},
                 checkChapter2Inventory("3- Check Inventory"),
                 row,
                 quit("9- Quit")});
}

// The fire junction: burning, WEST costs 50 health and is refused; put out,
// it leads to the gas tunnel. A player left without health dies here before
// the prompt.
Label scene2010() {
    cls();
    if (is(fireOut, "0")) colour(12);
    if (is(fireOut, "1")) colour(6);
    header(2010);
    let(currentScene, "2010");
    say();
    statusBlock(48, "Health", "Score");
    arrival(kThroughTunnel);
    lines(R"(
The tunnel opens into a junction.  One passage branches off to the EAST
as far as the eye can see, and another leads off to the WEST.
)");
    if (is(fireOut, "0")) {
        lines(R"(
Flames roar out of a crack in the rock to the WEST.  A natural gas vein
must have caught fire here, and it may well have been burning for years.
There is no way that you can pass through it.
)");
    }
    if (is(fireOut, "1")) say("With the fire put out you can safely travel to your WEST now.");
    say();
    const Choices choices = {
        {"1- Travel WEST   ",
         [] {
             if (is(fireOut, "1")) {
                 let(travelDirection, "2");
                 return 2020;
             }
             if (is(fireOut, "0")) {
                 health -= 50;
                 message(4,
                         R"(
You attempt to step through the fire and are burned for 50 points of damage!
You will have to put this fire out before you can get through here.
)");
             }
             return stay;
         }},
        {"2- Travel EAST    ", travel("1", 2040)},
        {"3- Travel SOUTH    ", travel("4", 2005)},
        checkChapter2Inventory("4- Check Inventory"),
        row,
        {"6- Use Fire Extinguisher           ",
         [] {
             score += 15;
             let(fireExtinguisher, "2");
             let(fireOut, "1");
             message(14, R"(
You pull the pin and spray the flames.  The extinguisher takes every
last drop it has, but slowly the fire dies down until it goes out.
You toss the empty fire extinguisher aside.
)");
             return stay;
         },
         [] { return is(fireExtinguisher, "1"); }},
        quit("9- Quit"),
    };
    showChoices(choices);
    if (health < 1) {
        health = 0;
        let(currentScene, "none");
        message(4, R"(
You are too badly hurt to go on.  You fall to the ground with severe burns
all over your body.  You try to get back up but you cannot, and slowly
you fade into unconsciousness.
)");
        return labels::quitStory;
    }
    ask(kWhatToDo, answer2010);
    return choose(choices, answer2010, 2010);
}

// The gas tunnel with the scuba gear; taking it fills the air supply.
Label scene2020() {
    room(10, "2020", 2020);
    statusBlock(49, "Health", "Score");
    arrival(kThroughTunnel);
    lines(R"(
The strong smell of natural gas hangs in the air.  The tunnels grow higher
here, and water seeps through cracks in the rock walls with a light glow
of its own.  The tunnel continues to the WEST and to the EAST, and you
can hear running water somewhere off to the WEST.
)");
    if (is(scubaGear, "0")) say("Laying against the wall you notice an old set of Scuba Gear.");
    say();
    return menu(kWhatToDo, answer2020, 2020,
                {{"1- Travel WEST           ", 2030},
                 {"2- Travel EAST            ", travel("1", 2010)},
                 checkChapter2Inventory("3- Check Inventory"),
                 row,
                 {"4- Grab Scuba Gear       ",
                  [] {
                      score += 15;
                      let(scubaGear, "1");
                      air = 100;
                      message(14, "You pick up the Scuba Gear and take it with you.",
                              "Press ENTER to continnue");
                      return stay;
                  },
                  [] { return is(scubaGear, "0"); }},
                 quit("5- Quit"),
                 quit("9")});
}

// The waterfall cavern: a dead end with the red mushrooms and the stream.
Label scene2030() {
    room(9, "2030", 2030);
    statusBlock(48, "Health ", "Score");
    lines(R"(
Traveling WEST you emerge into a huge room.  At the back of it a waterfall
pours down the rock into a narrow stream, which winds across the floor and
vanishes into an opening in the wall.  The water has the same gentle glow.
Patches of mushrooms that glow a dim red grow along the stream.  The only
way out of here is back to the EAST.

)");
    return menu("What is your choice", answer2030, 2030,
                {{"1- Travel EAST         ", travel("1", 2020)},
                 {"2- Examine Mushroom's     ", 2035},
                 {"3-  Examine Water   ", 2038},
                 row,
                 checkChapter2Inventory("4- Check Inventory     "),
                 quit("9- Quit")});
}

// The red mushrooms: one carried at a time, 15 points for each picked.
Label scene2035() {
    screen(12, 2035);
    lines(R"(
Hundreds of glowing red mushrooms grow in patches along the edge of the
stream.  As you lean in closer you notice a sweet aroma coming from them
that you find strangely soothing.

)");
    return menu(kWhatToDo, answer2035, 2035,
                {{"1- Pick Mushroom    ",
                  [] {
                      if (is(redMushroom, "0")) {
                          score += 15;
                          let(redMushroom, "1");
                          message(14,
                                  R"(
You pick one of the glowing red mushrooms.  As you hold it you feel a
soothing warmth spread across your hand.
)");
                      } else if (is(redMushroom, "1")) {
                          message("You are all ready carrying a mushroom");
                      }
                      return stay;
                  }},
                 {"2- Back", 2030}});
}

// The glowing stream. Its poison acts late: a drink that leaves no health
// shows the stream once more, and the next answer, whatever it is, ends the
// story.
Label scene2038() {
    screen(3, 2038);
    lines(R"(
The gentle glow of the stream lights up part of the area around you.  The
water is shallow enough that you can clearly see the rock bottom.  There
is nothing in the water that gives off the light.  The glow seems to be
part of the water itself.

)");
    const Choices choices = {
        {"1- Drink Water      ",
         [] {
             health -= 25;
             message(4, R"(
You cup your hands and take a drink of the glowing water.  It tastes
terribly sour, and you take 25 points of damage!
)");
             return stay;
         }},
        {"2- Collect Water     ", tell(R"(
You decide against taking any of the glowing water with you.  You know
far too little about it to trust it.
)")},
        {"3- Back", 2030},
    };
    showChoices(choices);
    ask(kWhatToDo, answer2038);
    if (health < 1) {
        health = 0;
        let(currentScene, "none");
        message(4, R"(
Already badly wounded, you fall to the ground as the poison begins to
shut down your vital organs.  You try to fight it, but there is nothing
that you can do, and you slowly drift into unconsciousness.
)");
        return labels::quitStory;
    }
    return choose(choices, answer2038, 2038);
}

// The second junction, between the fire junction, the cliff and the break
// room.
Label scene2040() {
    room(5, "2040", 2040);
    status(48, Labels::Six);
    arrival(kShortArrival);
    lines(R"(
You travel deeper into the mine.  The walls here are damp, and small
stalactites have begun to form on the ceiling.  You come to a junction:
a path leads off to the NORTH, a large area opens up to the EAST, and
the way WEST leads back towards the elevator shaft.

)");
    return menu(kWhatToDo, answer2040, 2040,
                {{"1- Travel WEST      ", travel("2", 2010)},
                 {"2- Travel EAST     ", travel("1", 2050)},
                 {"3- Travel North     ", travel("3", 2060)},
                 checkChapter2Inventory("4- Check Inventory"),
                 row,
                 quit("9- Quit")});
}

// The cliff with the old satchel.
Label scene2050() {
    room(2, "2050", 2050);
    status(45, Labels::Six);
    lines(R"(
Traveling EAST you enter a large open area.  You stop short at the edge
of a huge cliff, and no matter how hard you look you cannot see the
bottom.  An old satchel lies against the wall beside you.  The only way
out of here is back to the WEST.

)");
    return menu(kWhatToDo, answer2050, 2050,
                {{"1- Travel WEST     ", travel("2", 2040)},
                 {"2- Search Satchel      ", 2055},
                 checkChapter2Inventory("3- Check Inventory      "),
                 quit("9- Quit")});
}

// The satchel: the envelope and the dagger, 15 points each, taken once. Its
// row closes up when the envelope is the only thing left to take.
Label scene2055() {
    screen(14, 2045);
    lines(R"(
You carefully open the old decayed satchel.  As you do, a cloud of dust
fills the air around you.
)");
    if (is(notePromotion, "0")) say("You see an envelope laying inside the back of the satchel");
    if (is(bronzeDagger, "0")) say("There is a sharp bronzed dagger located inside the satchel.");
    if (is(notePromotion, "1") && is(bronzeDagger, "1")) say("The satchel appears to be empty.");
    say();
    constexpr auto takeEnvelope = [] {
        cls();
        let(notePromotion, "1");
        score += 15;
        return 2058;
    };
    return menu(kWhatToDo, answer2055, 2055,
                {{"1- Take Envelope   ", takeEnvelope,
                  [] { return is(notePromotion, "0") && is(bronzeDagger, "0"); }},
                 {"1- Take Envelope  ", takeEnvelope,
                  [] { return is(notePromotion, "0") && is(bronzeDagger, "1"); }},
                 {"2- Take Dagger    ",
                  tell(
                      [] {
                          let(bronzeDagger, "1");
                          score += 15;
                      },
                      "You reach over and take the dagger out of the old decayed satchel."),
                  [] { return is(bronzeDagger, "0"); }},
                 {"5- Close Satchel", [] {
                      message(8, "You close the old decayed satchel.");
                      return 2050;
                  }}});
}
// Note 4, the young miner's letter; the notes viewer replays it with
// inStory "0" and gets the player back.
Label scene2058() {
    screen(14, 2058);
    say("                                         October 10th");
    say();
    say("Dear Helen,");
    say();
    lines(R"(
You will never believe it, but they have moved me out of the dirty coal
mine and into the lab!  I am still underground, but it is clean down here
and I no longer come home black with soot every night.

)");
    lines(R"(
I wish you could see the waterfall down here.  It is beautiful, and the
water has a gentle glow to it, like nothing I have ever seen before.

)");
    lines(R"(
The work is top secret, so I cannot tell you much about it.  All I can
say is that this is much more than a coal mine.  I will write again soon.

)");
    say("All my love,");
    say("Thomas");
    pressEnter();
    return afterNote(2055);
}

// The old break room with the fountain.
Label scene2060() {
    room(11, "2060", 2060);
    status(45, Labels::Six);
    arrival(kShortArrival);
    lines(R"(
A large fountain stands in the centre of what used to be an old break
room.  It was once neatly decorated, but now cobwebs and dust cover
everything, and old benches line the walls.  Tunnels continue to the
WEST, and the way SOUTH leads back towards the entrance.

)");
    return menu(kWhatToDo, answer2060, 2060,
                {{"1- Go WEST     ", travel("2", 2070)},
                 {"2- Examine Fountain     ", 2065},
                 {"3- Go SOUTH    ", travel("4", 2040)},
                 checkChapter2Inventory("4- Check Inventory"),
                 row,
                 quit("9- Quit")});
}

// The fountain heals up to 100 (never above, never down from 125) and fills
// the empty bottle and the empty jar.
Label scene2065() {
    screen(3);
    lines(R"(
To your surprise the fountain still works.  At first the water runs dirty,
full of rust and sediment from the old pipes, but after a few moments it
starts to run clean.  Apart from that, the fountain is plain and has no
defining features.

)");
    return menu(
        kWhatToDo, answer2065, 2065,
        {{"1- Drink Water",
          [] {
              if (health <= 99) {
                  health = 100;
                  message(
                      R"(
You take a drink from the fountain.  You feel your energy return and your
wounds heal.  You return to 100 health.
)");
              } else {
                  message("You are not thirsty right now and decide against drinking the water.");
              }
              return stay;
          }},
         row,
         {"2- Fill Empty Water Bottle",
          tell([] { let(water, "1"); },
               "You fill the empty bottle back up with clean water from the fountain."),
          [] { return is(water, "2"); }},
         row,
         {"3- Fill Empty Jar",
          tell([] { let(glassJar, "1"); },
               "You fill your glass jar up with clean water from the fountain."),
          [] { return is(glassJar, "2"); }},
         row,
         {"5- Back", 2060}});
}

// The mushroom farm, whose NORTH exit leads to the flooded hall.
Label scene2070() {
    room(13, "2070", 2070);
    status(53, Labels::Six);
    arrival(kShortArrival);
    lines(R"(
You enter a medium sized area carved out of the cave.  Old wooden boxes
fill the room, each one full of white mushrooms with glowing yellow
spots.  Someone has clearly been harvesting them.  Crude lights hang
over the crates, but their bulbs are all busted.  Exits lead to the EAST
and to the NORTH.

)");
    return menu(kWhatToDo, answer2070, 2070,
                {{"1- Travel EAST       ", travel("1", 2060)},
                 {"2- Travel NORTH     ", travel("3", 2090)},
                 {"3- Examine Mushroom Crate", 2075},
                 row,
                 checkChapter2Inventory("4- Check Inventory   "),
                 quit("9- Quit")});
}

// The mushroom crate: a yellow mushroom whenever none is carried, no score.
Label scene2075() {
    screen(14);
    lines(R"(
The glow from the mushrooms lights up a small area around the crate.
Each crate holds dozens of them, growing in dirt that is kept moist by
the dampness of the mine.  Every mushroom is wrapped in a sticky paste
that clings to anything it touches.  Someone has tended these crates
with great care.

)");
    return menu("What would you like to do ", answer2075, 2075,
                {{"1- Take a Mushroom    ",
                  [] {
                      if (is(yellowMushroom, "0")) {
                          let(yellowMushroom, "1");
                          message(
                              R"(
You pick one of the Yellow Mushrooms out of the crate.  The sticky paste
makes your fingers burn slightly.
)");
                      } else if (is(yellowMushroom, "1")) {
                          message("You all ready have a Yellow Mushroom.");
                      }
                      return stay;
                  }},
                 {"2- Back", 2070}});
}

} // namespace

void registerUpperTunnels() {
    addScenes({
        {2005, scene2005},
        {2010, scene2010},
        {2020, scene2020},
        {2030, scene2030},
        {2035, scene2035},
        {2038, scene2038},
        {2040, scene2040},
        {2050, scene2050},
        {2055, scene2055},
        {2058, scene2058},
        {2060, scene2060},
        {2065, scene2065},
        {2070, scene2070},
        {2075, scene2075},
    });
}

} // namespace game
