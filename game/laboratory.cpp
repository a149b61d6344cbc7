// The sealed laboratory behind the metal door (labels 2110 to 2119): the
// room, its work station with the mixing instructions and the two-slot
// mixing screen, and the important-looking desk with note 5.
//
// Only the room stores a resume text ("2110"); the sub-screens leave
// currentScene as it was. The mixing screen resets both slots to "Empty" on
// every entry, takes the number of an ingredient the player holds for each
// slot (anything else leaves the slot "empty", "10" leaves for the work
// station) and asks for a confirmation, but no combination produces
// anything yet: whatever the answer, the instructions are shown and every
// item, flag and the score stay as they were. Note 5 is collected at the
// desk and replayed by the notes viewer, which opens it with inStory "0"
// and gets the player back.
#include <array>

#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str answer2110, answer2113, answer2118;

// The ingredients of the mixing screen: the flag that must be "1" for it to
// be offered and taken, the menu line (whose number is typed) and the slot
// text.
struct Ingredient {
    const Str* flag;
    const char* menuLine;
    const char* slotText;
};
const std::array<Ingredient, 5> kIngredients{{
    {&redMushroom, "1- Red Mushroom", "Red Mushroom"},
    {&yellowMushroom, "2- Yellow Mushroom", "Yellow Mushroom"},
    {&glassJar, "3- Glass Jar of Water", "Glass Jar of Water"},
    {&water, "4- Bottle of Water", "Bottle of Water"},
    {&greenMushroomMix, "5- Green Mushroom Mix", "Green Mushroom Mix"},
}};

// The laboratory behind the metal door.
Label scene2110() {
    screen(6, 2110);
    let(currentScene, "2110");
    status(49, Labels::Six);
    lines(R"(
To your surprise the door opens onto a dry room.  Its seal must have held
all these years.  The floor and the walls are made of metal, with small
patches of rust here and there.  The room is fairly large, with desks
placed neatly around its edges, and on your left stands a work station
covered in beakers and glasses.  Apart from the rust, everything looks
just as it was left when the mine was abandoned.  The exit is WEST.

)");
    return menu(kWhatToDo, answer2110, 2110,
                {{"1- Travel WEST        ", 2120},
                 {"2- Examine Work Station     ", 2113},
                 {"3- Search Desk", 2118},
                 row,
                 checkChapter2Inventory("4- Check Inventory    "),
                 quit("5- Quit")});
}

// The work station.
Label scene2113() {
    screen(6);
    lines(R"(
Beakers and test tubes sit on and around the work station, some of them
still stained with whatever was last mixed in them.  An old frayed note
hangs on the wall, explaining how the station is used.  It seems that it
was used to mix mushrooms, and all that is needed is water and mushrooms
of various colors.

)");
    return menu(
        kWhatToDo, answer2113, 2113,
        {{"1- Attempt Mixing     ", 2117}, {"2- Read instructions     ", 2115}, {"3- Back", 2110}});
}

// The mixing instructions on the wall by the work station.
Label scene2115() {
    screen(15, 2115);
    lines(R"(
Simple mixing instructions:  use one mushroom for every two parts of
water, and combine the ingredients at the station as listed below.

)");
    say("Red Mushroom + Water = Red Formula  (Shown to enhance ones stamina)");
    say();
    say("Yellow Mushroom + Water = Yellow Formula (Thick poison paste)");
    say();
    say("Blue Mushroom + Water = Unknown/untested");
    say();
    say("Red Mushroom + Yellow Mushroom = Green Mixture (Shown to protect from poison)");
    say();
    lines(R"(
Blue mushrooms are very hard to obtain, so we have no data yet on what
they do.  We hope to grow some of our own here in the lab so that they
can be tested.
)");
    pressEnter();
    return 2113;
}

// The mixing screen above its prompt: the explanation, the two slots and
// the ingredients the player holds.
void drawMixing() {
    colour(15);
    header(2117);
    lines(R"(
To mix two items, first press the number of the item that you want to
place in Slot 1, then the number of the item that you want to place in
Slot 2.  Before the two items are combined you will be asked to confirm
your choice.

)");
    colour(10);
    say({"Slot 1", zone, "Slot 2"});
    colour(11);
    say({mixSlot1, zone, mixSlot2});
    colour(14);
    for (const Ingredient& i : kIngredients) {
        if (is(*i.flag, "1")) say(i.menuLine);
    }
    say("10- Leave Work Station");
}

// The typed number in slot becomes that ingredient's name when the player
// holds it, anything else "empty".
void fillSlot(const Str& slot) {
    for (const Ingredient& i : kIngredients) {
        if (is(slot, choiceNumber(i.menuLine).c_str()) && is(*i.flag, "1")) {
            let(slot, i.slotText);
            return;
        }
    }
    let(slot, "empty");
}

// Mixing: two slots and a confirmation that changes nothing.
Label scene2117() {
    cls();
    let(mixSlot1, "Empty");
    let(mixSlot2, "Empty");
    drawMixing();
    colour(6);
    ask("Press the number of ingredient for Slot 1", mixSlot1);
    if (is(mixSlot1, "10")) return 2113;
    fillSlot(mixSlot1);

    cls();
    drawMixing();
    colour(6);
    ask("Press the number of ingredient for Slot 2", mixSlot2);
    if (is(mixSlot2, "10")) return 2113;
    fillSlot(mixSlot2);

    cls();
    say();
    colour(10);
    say({mixSlot1, zone, mixSlot2});
    colour(4);
    say("1- Yes         2- No");
    colour(15);
    say();
    ask("Are you sure you wish to combine these two items?", mixConfirm);
    colour(14);
    bool accepted = false;
    for (const char* yes : {"1", "y", "yes", "Y", "Yes"}) {
        if (is(mixConfirm, yes)) accepted = true;
    }
    // No combination is defined yet: a confirmed mix only clears the screen,
    // a refusal not even that, and both go on to the instructions.
    if (accepted) cls();
    return 2115;
}

// The desk: note 5 while it has not been taken; "2" works either way.
Label scene2118() {
    screen(14, 2118);
    lines(R"(
Most of the desks are simple and hold nothing of interest, but one of
them looks as if it belonged to somebody important.  You walk over to
it and search through its drawers.
)");
    if (is(noteFive, "0")) say("You notice a letter in one of the drawers of the desk.");
    if (is(noteFive, "1")) say("The desk has nothing of interest in it.");
    say();
    return menu(kWhatToDo, answer2118, 2118,
                {{"1- Back", 2110},
                 row,
                 {"2- Take Note", 2119, [] { return is(noteFive, "0"); }},
                 {"2", 2119}});
}

// Note 5, which has no letter text in this edition.
Label scene2119() {
    screen(14);
    if (is(developerMode, "1")) say("2119");
    say("Yippie you got note 5!");
    say();
    let(noteFive, "1");
    pause("Press ENTER to continue");
    return afterNote(2118);
}

} // namespace

void registerLaboratory() {
    addScenes({
        {2110, scene2110},
        {2113, scene2113},
        {2115, scene2115},
        {2117, scene2117},
        {2118, scene2118},
        {2119, scene2119},
    });
}

} // namespace game
