// The Chapter 1 inventory screen, the notes viewer and the end-of-demo screen.
//
// The inventory (label 600) lists the carried items, offers the water and
// the yellow mushroom, applies what was chosen and goes back to the scene it
// was opened from through currentScene and a fixed table. A text the table
// does not list (only a fault in a scene can leave one) ends the story with
// an error screen and a new game, as the Chapter 2 inventory does.
//
// The notes viewer (label 1000) marks that no story is being played
// (inStory "0"), so a note scene it opens comes back to it instead of going
// on with the story. The end-of-demo screen (label 2000) is what the
// unlocked Chapter 2 entry shows in this edition.
#include <array>

#include "game/inventory.h"

#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

Str inventoryChoice;
Str noteChoice;

const std::array<ItemLine, 14> kItems{{
    {"L.E.D. Flashlight", &flashlight, "1"},
    {"Scrap Lumber", &scrapLumber, "1"},
    {"Raft", &raft, "1"},
    {"Smoke Bomb", &smokeBomb, "1"},
    {"Disposible Lighter", &lighter, "1"},
    {"Gummie Bears", &gummieBears, "1"},
    {"Knife", &knife, "1"},
    {"Bottled Water", &water, "1"},
    {"Empty Bottle", &water, "2"},
    {"Thick Glowing Concoction", &glowingConcoction, "1"},
    {"Sharp Metal Rod", &metalRod, "1"},
    {"Poisoned Metal Rod", &poisonedRod, "1"},
    {"Rusty Key", &rustyKey, "1"},
    {"Glowing Yellow Mushroom", &yellowMushroom, "1"},
}};

struct Note {
    const Str* flag;
    const char* choice;
    const char* collected;
    const char* locked;
    Label scene;
};
const std::array<Note, 5> kNotes{{
    {&noteDearHelen, "1", "1- Dear Helen (Collected)", "1- Locked", 265},
    {&noteLockOut, "2", "2- Lock Out (Collected)", "2- Locked", 465},
    {&noteForemansDiary, "3", "3- Foreman's Diary (Collected)", "3- Locked", 498},
    {&notePromotion, "4", "4- The Promotion (Collected)", "4- Locked", 2058},
    {&noteFive, "5", "5- Whatever (Collected)", "5- Locked", 2119},
}};

// The Chapter 1 inventory screen (label 600).
Label chapter1Inventory() {
    static const InventoryScreen screen{
        .self = labels::inventory,
        .headerLine = 600,
        .stars = 74,
        .items = kItems,
        .spaced = true,
        .yellowChoice = "Press 2 if you want to eat the Slimy Yellow Mushroom",
        // The red mushroom is a Chapter 2 item: not listed or offered here,
        // but eaten all the same when carried.
        .redChoice = "3",
        .noWaterPrompt = "Press Enter to continue",
        .rooms = chapter1Rooms,
        .unknownRoom = "Error part1$ not defined, quiting to main menu.",
    };
    return inventoryScreen(screen, inventoryChoice);
}

// The notes viewer (label 1000), opened from the main menu.
Label notesViewer() {
    colour(14);
    cls();
    let(inStory, "0");
    for (const Note& note : kNotes) {
        say(is(*note.flag, "1") ? note.collected : note.locked);
        say();
    }
    say();
    ask("Pick a Note to Read, or press ENTER to return to main menu.", noteChoice);
    for (const Note& note : kNotes) {
        if (is(noteChoice, note.choice) && is(*note.flag, "1")) return note.scene;
    }
    return labels::mainMenu;
}

// The end-of-demo screen (label 2000) behind the Chapter 2 entry.
Label demoEndScreen() {
    screen(15);
    say();
    say("Keep an eye on www.glimmerdeep-adventure.net for future updates on the");
    say("game.");
    pressEnter();
    return labels::mainMenu;
}

// Below full health the water restores it and leaves the bottle empty, and
// the inventory shows again after a bare "? "; at full health it does not
// help, and the player goes back to the room (stay).
Label drinkWater(bool emptyLine, Label inventory) {
    if (health < 100) {
        health = 100;
        let(water, "2");
        cls();
        if (emptyLine) say();
        say("You drink the water and regain your health");
        ask("", pauseEntry);
        return inventory;
    }
    message("Drinking water will not help you at this time!", "Press Enter to continue");
    return stay;
}

// The yellow mushroom is poison: 25 health. Back to the room (stay).
Label eatYellowMushroom(bool emptyLine) {
    health -= 25;
    let(yellowMushroom, "0");
    cls();
    if (emptyLine) say();
    say("You eat the Slimy Yellow Mushroom and take 25 points of damage, it was poison!");
    pressEnter();
    return stay;
}

// The red mushroom sets health to 125. Back to the room (stay).
Label eatRedMushroom(bool emptyLine) {
    let(redMushroom, "0");
    health = 125;
    cls();
    if (emptyLine) say();
    lines(R"(
You decide to eat the Glowing Red Mushroom.  It tastes terrible but you feel
better than ever!  You now have 125 health!
)");
    pressEnter("Press Enter to continue");
    return stay;
}

// The screen being shown, for its choices' steps.
const InventoryScreen* shown = nullptr;

} // namespace

const std::span<const ItemLine> chapter1FirstItems = std::span<const ItemLine>(kItems).first(8);

Label inventoryScreen(const InventoryScreen& screen, Str& answer) {
    shown = &screen;
    game::screen(14);
    if (screen.headerLine != 0) {
        header(screen.headerLine);
        devBlank();
    }
    stars(screen.stars);
    itemLines(screen.items, screen.spaced);
    stars(screen.stars);
    say();
    // What the player takes goes back to the room (stay) unless it says
    // otherwise.
    const Choices choices = {
        {"Press 1 to drink Bottled Water, or ENTER to continue.",
         [] { return drinkWater(shown->spaced, shown->self); }, [] { return is(water, "1"); }},
        row,
        {screen.yellowChoice, [] { return eatYellowMushroom(shown->spaced); },
         [] { return is(yellowMushroom, "1"); }},
        row,
        {screen.redChoice, [] { return eatRedMushroom(shown->spaced); },
         [] { return is(redMushroom, "1"); }},
    };
    showChoices(choices);
    if (screen.noWaterPrompt != nullptr && is(water, "0")) say(screen.noWaterPrompt);
    ask("", answer);
    if (Label next = choose(choices, answer, stay)) return next;
    // "2" at no health is the poison's death, eaten now or not.
    if (is(answer, "2") && health <= 0) return labels::poisonDeath;
    if (Label back = resumeLabel(screen.rooms)) return back;
    cls();
    say(screen.unknownRoom);
    pressEnter();
    return labels::newGame;
}

void registerInventory() {
    addScenes({
        {labels::inventory, chapter1Inventory},
        {labels::notesViewer, notesViewer},
        {labels::endOfDemo, demoEndScreen},
    });
}

} // namespace game
