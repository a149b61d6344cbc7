// Chapter 1 opening: the apartment, the hardware store and the mine gate
// (labels 100 to 230).
//
// Each scene is one function that draws its screen from the top (clear,
// colour, resume text, developer header, status block, description, choice
// rows), reads one answer and returns the label to jump to. Answers are
// tested in a fixed order and the first match wins; an answer that matches
// nothing returns the scene's own label, which draws it again. The apartment
// and store messages marked numeric read their Enter through a number, so
// only keys that keep the entry a number are accepted there. Label 100 sets
// the score to 0: the two refusal messages of the apartment return through
// it and so start the score over.
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str answer103, answer140, answer160, answer180, answer185, answer203, answer210, answer215;

// Chapter 1 start: the score starts over.
Label scene100() {
    cls();
    score = 0;
    return 103;
}

// The living room of the player's apartment.
Label scene103() {
    let(inStory, "1");
    room(7, "103", 100);
    devBlank();
    status(49, Labels::Seven);
    say();
    say("Chapter 1 - The Discovery");
    say();
    lines(R"(
You stand in the living room of your small one bedroom apartment, in a
small town where nothing much ever happens.  Doors lead to your bedroom
and to the bathroom, the kitchen lies straight ahead and the front door
is behind you.  This morning's newspaper rests on the coffee table.

)");
    return menu("what is your choice?", answer103, 103,
                {{"1- Read Newspaper     ", 120},
                 {"2- Enter Kitchen        ", 180},
                 {"3- Enter Bathroom", 160},
                 row,
                 {"4- Exit Apartment     ",
                  [] {
                      if (is(newspaperRead, "1") && is(water, "1")) return 210;
                      numericMessage(R"(
You feel as if your not quite ready to leave yet.  Maybe you should look around
the apartment before leaving.
)",
                                     "Press Enter to Continue");
                      return labels::chapter1;
                  }},
                 checkInventory("5- Check Inventory      "),
                 {"6- Enter Bedroom", 140},
                 row,
                 quit("7- Quit")});
}

// The newspaper: read once for 10 points; a second try is refused.
Label scene120() {
    colour(7);
    if (is(newspaperRead, "1")) {
        numericMessage("You have all ready read the newspaper and have no desire to read it again.",
                       "Press Enter to Continue");
        return labels::chapter1;
    }
    score += 10;
    let(newspaperRead, "1");
    cls();
    header(120);
    lines(R"(
You sit down and browse through the paper until an article catches your
eye.  It is about the old mine just outside of town.  The mine opened in
the early 1940s as an ordinary coal mine and soon employed almost the
whole town.  Over the years reports of foul deeds came out of it, from
poor working conditions to miners being kept underground for weeks or
even months at a time.  Some miners were lost down there and were never
heard from again.

)");
    lines(R"(
Some people in town say it was only ever a coal mine, while others swear
there was much more to it than that.  Rumours say the mine is haunted
and that it is full of traps set to keep people out.  It was shut down
in the late 1940s after several miners went missing, and they were never
found.  The mine has been abandoned ever since, its gate chained shut
and its secrets buried with the men who were lost inside.  The town
does not like to talk about it, and few ever go near the place.  Those
who do say they can hear picks striking stone deep under the ground.

)");
    numericPause("Press Enter to continue");

    cls();
    say();
    lines(R"(
You have heard stories about the old mine ever since you were a child
and you have always dreamt of exploring it.  Today you decide that you
will finally explore the mine and unlock its secrets.
)");
    pressEnter();
    return 103;
}

// The bedroom: dark until the light is switched on, which shows the knife.
Label scene140() {
    room(7, "140", 140, emptyLineFirst);
    status(49, Labels::Seven);
    lines(R"(
Your closet is stuck open and clothes spill out of it onto the floor.
The bed with its crumpled sheets stands in the middle of the room, and
an old alarm clock ticks on the night stand.  You always keep the
curtains closed in here.
)");
    const bool lightOn = is(bedroomLightOn, "1");
    if (lightOn && is(knife, "0")) {
        say("Now that the light is turned on you see a Pocket Knife laying on the floor.");
    }
    if (lightOn && is(knife, "1")) {
        say("With the light on you can see more clearly, there is nothing else in here.");
    }
    if (is(bedroomLightOn, "0")) say("The room is so dark you can't really see anything else.");
    say();
    return menu(
        "What is your choice", answer140, 140,
        {{"1- Go into Living Room", 103},
         row,
         {"2- Turn Lightswitch On",
          tellNumeric([] { let(bedroomLightOn, "1"); }, "You turn the lights on in your room."),
          [] { return is(bedroomLightOn, "0"); }},
         row,
         {"2- Turn Lightswitch Off",
          tellNumeric([] { let(bedroomLightOn, "0"); }, "You turn the lights back off."),
          [] { return is(bedroomLightOn, "1"); }},
         row,
         {"3- Pick up Pocket Knife",
          tell(
              [] {
                  let(knife, "1");
                  score += 10;
              },
              "You pick up your trusty pocket knife off the floor and carry it with you."),
          [] { return is(bedroomLightOn, "1") && is(knife, "0"); }},
         row,
         checkInventory("4- Check Inventory         "),
         quit("5- Quit")});
}

// The bathroom.
Label scene160() {
    room(7, "160", 160, emptyLineFirst);
    status(47, Labels::Six);
    lines(R"(
A small, ordinary bathroom.  The shower stands beside the toilet and the
sink hangs on the left wall.  There is nothing of interest in here.

)");
    return menu("What is your choice", answer160, 160,
                {{"1- Exit to Living Room     ", 103},
                 checkInventory("2- Check Inventory     "),
                 quit("3- Quit")});
}

// The kitchen.
Label scene180() {
    room(7, "180", 180, emptyLineFirst);
    status(53, Labels::Seven);
    lines(R"(
Your tiny kitchen holds a sink, a microwave, a toaster and a humming
refrigerator.  Breadcrumbs are scattered over the counter and the floor.

)");
    return menu("What is your choice", answer180, 180,
                {{"1- Exit to Living Room    ", 103},
                 {"2- Search Refrigerator    ", 185},
                 checkInventory("3- Check Inventory"),
                 row,
                 quit("4- Quit")});
}

// The refrigerator: no resume text of its own, so currentScene stays "180".
Label scene185() {
    screen(7, 185, emptyLineFirst);
    status(50, Labels::Seven);
    lines(R"(
You have not been shopping in a while.  A carton of outdated milk sits
on the top shelf and a block of mouldy cheese hides in the door.
)");
    if (is(water, "0")) say("Towards the back you see a single bottle of water.");
    if (is(water, "1")) say("You see nothing else of use in here.");
    say();
    return menu("What is your choice", answer185, 185,
                {{"1- Close Refrigerator",
                  [] {
                      numericMessage("You close the refrigerator door.");
                      return 180;
                  }},
                 row,
                 {"2- Take Milk", tellNumeric(R"(
You open the milk and take a sniff.  The smell nearly knocks you
out cold!  You quickly put the carton back on the shelf where it
belongs.
)")},
                 row,
                 {"3- Take cheese", tellNumeric(R"(
Just the smell of the cheese makes you feel ill, so you put it
back in the door and try not to think about it.
)")},
                 row,
                 {"4- Take Water",
                  tellNumeric(
                      [] {
                          score += 10;
                          let(water, "1");
                      },
                      "You grab your last bottle of water and decide to take it with you."),
                  [] { return is(water, "0"); }}});
}

// Entering the hardware store restores the 6 dollars.
Label scene200() {
    screen(6);
    money = 6;
    return 203;
}

// A purchase in the hardware store: when the price is within the money and
// the item is on offer, the item is carried, paid for and the purchase told
// (with the numeric pause when `numeric`); false otherwise.
bool bought(int price, bool offered, Str& item, Lines told, bool numeric = false) {
    if (money < price || !offered) return false;
    let(item, "1");
    money -= price;
    if (numeric) {
        numericMessage(told);
    } else {
        message(told);
    }
    return true;
}

// The hardware store keeps the colour it is entered with (6 from scene 200,
// 14 when the inventory or the quit confirmation comes back to it).
Label scene203() {
    cls();
    let(currentScene, "203");
    say();
    header(200);
    statusWithMoney(47, Labels::Six);
    lines(R"(
Before heading out to the mine you go into town for some supplies.  You
find an old hardware store with four things that catch your interest.

)");
    say("Which object(s) should Rob buy?");
    say();
    return menu("What is your choice?", answer203, 203,
                {{"1- Bottled Water($1.00)                ",
                  [] {
                      if (bought(1, is(water, "0") || is(water, "2"), water,
                                 "You purchase a bottle of water.")) {
                          return stay;
                      }
                      if (money < 1) return 205;
                      if (is(water, "1")) {
                          message(
                              R"(
At the risk of encumbering yourself you decide that one bottle of water
is enough and opt out of buying more.
)");
                      }
                      return stay;
                  }},
                 {"2- LED Flashlight($4.00) ",
                  [] {
                      if (bought(4, is(flashlight, "0"), flashlight,
                                 "You decide to purchase the flashlight for your journey.", true)) {
                          return stay;
                      }
                      if (money < 4) return 205;
                      return stay;
                  }},
                 row,
                 {"3- Package of gummie bears ($1.00)     ",
                  [] {
                      if (bought(1, is(gummieBears, "0"), gummieBears,
                                 "You decide to purchase a package of gummie bears.")) {
                          return stay;
                      }
                      if (money < 1) return 205;
                      if (is(gummieBears, "1"))
                          message("You all ready purchased a package of gummie bears.");
                      return stay;
                  }},
                 {"4- Pocket Knife ($2.00) ",
                  [] {
                      if (bought(2, is(knife, "0"), knife,
                                 "You decide to buy the pocket knife for your adventure.")) {
                          return stay;
                      }
                      if (is(knife, "1")) {
                          message("You are all ready carrying a pocket knife and decide against "
                                  "buying another.");
                          return stay;
                      }
                      if (money < 2) return 205;
                      return stay;
                  }},
                 row,
                 checkInventory("5- Check Inventory                     "),
                 {"6- Exit Store", 215}});
}

// The store's refusal: not enough money.
Label scene205() {
    numericMessage("You do not have enough money to purchase that item.");
    return 203;
}

// Outside the apartment: the last chance to go back in.
Label scene210() {
    room(3, "210", 210, emptyLineFirst);
    status(51, Labels::Seven);
    lines(R"(
You step out of your apartment, excited, and wonder if this might be the
last look you get at the place for a while.  This is your last chance to
search the apartment, otherwise it is on to the hardware store.

)");
    return menu("What is your Choice", answer210, 210,
                {{"1- Enter Apartment     ", 103},
                 {"2- Continue on to Hardware Store   ", 200},
                 checkInventory("3- Check Inventory"),
                 row,
                 quit("4- Quit")});
}

// The mine gate.
Label scene215() {
    room(3, "215", 215, emptyLineFirst);
    status(53, Labels::Seven);
    lines(R"(
At last you stand before the abandoned mine, shut down long ago.  A large
rusted gate blocks the entrance, a locked chain wrapped around its
handles, and vegetation has taken over everything around it.  You have
come too far now, there is no turning back.

)");
    return menu("What is your choice", answer215, 215,
                {{"1- Break chain and enter mine           ",
                  [] {
                      colour(14);
                      message(
                          R"(
You kick at the rusty chain again and again until it finally shatters.
The old gates groan as you push them open, and you step inside the
mine.
)");
                      return is(flashlight, "1") ? 230 : 220;
                  }},
                 checkInventory("2- Check Inventory"),
                 row,
                 quit("3- Quit")});
}

// Without a light the story ends here; the quit that follows sees health 0
// and goes straight to the score screen.
Label scene220() {
    room(4, "220", 220);
    say();
    status(45, Labels::Six);
    lines(R"(
The mine is pitch black.  You cannot see your own hand in front of your
face, but you nervously press on deeper into the darkness.
)");
    if (is(gummieBears, "1")) {
        lines(R"(
You stop and eat your gummie bears to calm your nerves.  They taste
fantastic, but you still cannot see a thing.
)");
    }
    lines(R"(
Slowly madness takes over.  You run screaming in random directions
through the tunnels and are never heard from again.
)");
    pressEnter("Press Enter to continue");
    score += 5;
    health = 0;
    return labels::quitStory;
}

// Entering the mine with a light.
Label scene230() {
    cls();
    score += 15;
    return 235;
}

} // namespace

void registerChapter1Opening() {
    addScenes({
        {100, scene100},
        {103, scene103},
        {120, scene120},
        {140, scene140},
        {160, scene160},
        {180, scene180},
        {185, scene185},
        {200, scene200},
        {203, scene203},
        {205, scene205},
        {210, scene210},
        {215, scene215},
        {220, scene220},
        {230, scene230},
    });
}

} // namespace game
