// The main menu, the password screen, the developer menu and quitting.
//
// The main menu (label 6) is the hub: every story starts from it and ends
// back at it. Its choice is compared, whole line and case-sensitive, with
// each entry in a fixed order; anything unmatched draws it again. Two hidden
// words switch on the developer mode ("fzorp", every scene then prints its
// number) and entry 10 ("blimx"), which opens the developer menu (label 25):
// showing that menu hands out a set of items, and its entry either sets more
// flags (and shows the menu again) or jumps straight into a scene. The
// developer menu's entry is read into menuTenEnabled itself, so any entry
// other than "1" hides main-menu entry 10 again. Quit (label 70) shows the
// credits, empties every variable and ends the program.
#include <array>

#include "game/passwords.h"
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

// The title with its tail of blanks: 97 characters, so the blanks run onto
// the next screen row.
constexpr const char* kTitle = "    The Mystery of the Glimmerdeep    (Demo Ver 1) 08 22 12"
                               "                                      ";

// The developer menu's item words: each sets one flag to "1".
struct ItemWord {
    const char* word;
    const Str* flag;
};
const std::array<ItemWord, 9> kItemWords{{
    {"spear", &spear},
    {"lighter", &lighter},
    {"knife", &knife},
    {"ymush", &yellowMushroom},
    {"water", &water},
    {"smoke", &smokeBomb},
    {"key1", &rustyKey},
    {"led", &flashlight},
    {"gummie", &gummieBears},
}};

// A chapter line: locked in grey (then back to the menu colour), or its
// title once unlocked.
void chapterLine(const Str& unlocked, const char* lockedText, const char* title) {
    if (is(unlocked, "0")) {
        colour(8);
        say(lockedText);
        colour(3);
    }
    if (is(unlocked, "1")) say(title);
}

// The main menu (label 6).
Label mainMenu() {
    cls();
    if (is(chapter2Unlocked, "1")) score = 0;
    colour(5);
    stars(76);
    colour(2);
    say(kTitle);
    say();
    say();
    colour(3);
    say("  1- Chapter 1 - The Discovery");
    say();
    chapterLine(chapter2Unlocked, "  2- Chapter 2 - (Locked)",
                "  2- Chapter 2 - The Plunge (Unlocked)");
    say();
    chapterLine(chapter3Unlocked, "  3- Chapter 3 - (Locked)",
                "  3- Chapter 3 - The Horrible Truth");
    say();
    chapterLine(chapter4Unlocked, "  4- Chapter 4 - (locked)", "  4- Chapter 4 - The Escape");
    colour(7);
    say();
    say("  5- Password");
    say();
    say("  6- View Collected Notes");
    say();
    say("  9- Quit");
    say();
    if (is(developerMode, "1") && is(menuTenEnabled, "1")) {
        colour(18);
        say(" 10- Blimx ");
        say();
        colour(7);
    }
    colour(5);
    stars(76);
    say();
    colour(3);
    ask("What is your choice?", menuChoice);

    if (is(menuChoice, "1")) return labels::chapter1;
    if (is(menuChoice, "2") && is(chapter2Unlocked, "1")) return labels::endOfDemo;
    if (is(menuChoice, "5")) return labels::passwordScreen;
    if (is(menuChoice, "6")) return labels::notesViewer;
    if (is(menuChoice, "9")) return labels::quitGame;
    if (is(menuChoice, "fzorp") && is(developerMode, "0")) {
        screen(18);
        say("Fzorp mode enabled!");
        let(developerMode, "1");
        pause("Press ENTER to continue");
    }
    if (is(menuChoice, "blimx") && is(developerMode, "1")) let(menuTenEnabled, "1");
    if (is(menuChoice, "10") && is(developerMode, "1") && is(menuTenEnabled, "1")) {
        return labels::developerMenu;
    }
    return labels::mainMenu;
}

// The password screen (label 30).
Label passwordScreen() {
    screen(7, 30, emptyLineFirst);
    say("Please Enter your password, keep in mind it IS case sensative");
    say();
    ask(" ", passwordEntry);
    for (const Password& p : kPasswords) {
        if (!is(passwordEntry, p.word)) continue;
        if (p.dearHelen) let(noteDearHelen, "1");
        if (p.lockOut) let(noteLockOut, "1");
        if (p.foremansDiary) let(noteForemansDiary, "1");
        let(chapter2Unlocked, "1");
        cls();
        say("You have unlocked Chapter 2!");
        pressEnter();
        return labels::mainMenu;
    }
    cls();
    say("That is an invalid password!");
    pressEnter();
    return labels::mainMenu;
}

// Quitting the game (label 70): the credits, then the end of the program.
Label quitGame() {
    colour(11);
    cls();
    header(70);
    devBlank();
    say("Thanks for playing.");
    say();
    say();
    say("Programmed by Ellis Varn");
    say();
    say();
    resetAll();
    say();
    say();
    endProgram();
}

// The developer menu (label 25).
Label developerMenu() {
    cls();
    say();
    header(25);
    say("Fzorp mode.... Type in a line or item string.");
    say();
    say("1- Set Chaper 1     2- Set Chapter 2 (items)     3- Quit");
    say("4- all notes");
    let(flashlight, "1");
    say("420, 520, 530,235, 570, 2000, 2070, 2100, 2110 (with shrooms) 5000");
    letEach("1", {&knife, &rustyKey, &yellowMushroom, &metalRod, &smokeBomb, &lighter, &water});
    say("Giving water, LED flashlight");
    say();
    ask(" ", menuTenEnabled);

    const Str& entry = menuTenEnabled;

    if (is(entry, "5000")) return labels::wordGame;
    if (is(entry, "4")) {
        letEach("1", {&noteDearHelen, &noteLockOut, &noteForemansDiary});
    }
    for (const ItemWord& item : kItemWords) {
        if (is(entry, item.word)) let(*item.flag, "1");
    }
    if (is(entry, "520")) return 520;
    if (is(entry, "570")) return 570;
    if (is(entry, "1")) {
        let(inStory, "1");
        let(chapter2Unlocked, "1");
    }
    if (is(entry, "3")) return labels::newGame;
    if (is(entry, "235")) return 235;
    if (is(entry, "420")) return 420;
    if (is(entry, "2000")) {
        let(chapter2Unlocked, "1");
        return labels::endOfDemo;
    }
    if (is(entry, "2100")) {
        let(chapter2Unlocked, "1");
        return 2100;
    }
    if (is(entry, "2070")) {
        let(chapter2Unlocked, "1");
        return 2070;
    }
    if (is(entry, "530")) return 530;
    if (is(entry, "2")) {
        letEach("1", {&fireExtinguisher, &glassJar, &water, &redMushroom, &scubaGear, &bronzeDagger,
                      &yellowMushroom});
    }
    if (is(entry, "2115")) return 2115;
    return labels::developerMenu;
}

} // namespace

void registerMenus() {
    addScenes({
        {labels::mainMenu, mainMenu},
        {labels::passwordScreen, passwordScreen},
        {labels::quitGame, quitGame},
        {labels::developerMenu, developerMenu},
    });
}

} // namespace game
