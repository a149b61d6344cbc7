// Scene machinery.
//
// Every scene is a numbered label. A scene function draws its screen, reads
// the answer and returns the label to jump to next; nothing returns to a
// caller, and going back always passes through currentScene and a resume
// table (data). Each scene group file registers its labels once at start-up.
//
// A scene reads like its screen: it draws its lines, then hands its choice
// rows to menu(), where each choice is written once, as the row shows it,
// next to what choosing it does:
//
//   return menu("What is your choice", answer160, 160,
//               {{"1- Exit to Living Room     ", 103},
//                checkInventory("2- Check Inventory     "),
//                quit("3- Quit")});
#pragma once

#include <concepts>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "game/state.h"

namespace game {

using Label = int;
using SceneFn = Label (*)();

void addScenes(std::initializer_list<std::pair<Label, SceneFn>> scenes);
// Every label with a scene, in increasing order.
std::vector<Label> sceneLabels();
// Runs scenes from label first, for ever (the game ends through endProgram,
// stopping the game thread, or a critical error).
[[noreturn]] void runFrom(Label first);

// A resume table: currentScene text -> label.
struct Resume {
    const char* text;
    Label label;
};
// The label for the current currentScene text, or 0 when it is not listed.
Label resumeLabel(std::span<const Resume> table, Loc loc = Loc::current());
// The rooms the Chapter 1 inventory and the quit confirmation go back to
// ("293" is the cave-in, whose screen is label 290), and those of Chapter 2
// (the bottom of the shaft stores "2000").
extern const std::span<const Resume> chapter1Rooms;
extern const std::span<const Resume> chapter2Rooms;

// A step's answer for "nothing happens": the scene shows itself again.
inline constexpr Label stay = 0;

// What choosing does: go to a label, or run a step (plain C++: guards,
// effects, messages) that returns the label to go to, or stay, or tell
// something (below).
struct Then {
    constexpr Then(Label to) : to(to) {}
    template <std::convertible_to<Label (*)()> Step> constexpr Then(Step step) : step(step) {}
    constexpr Then(const char* direction, Label to) : to(to), direction(direction) {}
    Label to = stay;
    const char* direction = nullptr; // set into travelDirection first
    Label (*step)() = nullptr;
    void (*effect)() = nullptr; // done before the message
    const char* told = nullptr; // the message screen's text
    bool numericPause = false;  // its pause reads a number
};
// Telling: the effects, if any (plain C++), then a message screen (clear,
// the text, an empty line and the pause), then the scene again.
constexpr Then tell(void (*effect)(), const char* text, bool numericPause = false) {
    Then then(stay);
    then.effect = effect;
    then.told = text;
    then.numericPause = numericPause;
    return then;
}
constexpr Then tell(const char* text) {
    return tell(nullptr, text);
}
// The same with the numeric pause (see numericPause()).
constexpr Then tellNumeric(void (*effect)(), const char* text) {
    return tell(effect, text, true);
}
constexpr Then tellNumeric(const char* text) {
    return tell(nullptr, text, true);
}
// A move: travelDirection becomes the direction ("1" EAST, "2" WEST,
// "3" NORTH, "4" SOUTH), then the room `to`.
constexpr Then travel(const char* direction, Label to) {
    return Then(direction, to);
}

// One numbered choice, its text exactly as its row shows it (blanks
// included). The player types its first digits ("2- Travel EAST",
// "Press 2 if you want to eat ..."). A choice that is only digits ("9") is
// accepted without being shown. A choice with a guard is shown and accepted
// only while the guard holds.
struct Choice {
    const char* text;
    Then then;
    bool (*guard)() = nullptr;
};
// The number a choice's text offers: its first digits ("1" in " 1- Search
// cabinet" and in "Press 1 to drink Bottled Water, ...").
std::string choiceNumber(const char* text);

// Ends a row of choices and the empty line after it.
inline constexpr Choice row{nullptr, stay};
// Ends a row of choices with no empty line after it.
inline constexpr Choice rowNoGap{"", stay};
using Choices = std::initializer_list<Choice>;

// The choice rows: each row's shown choices as one line, then an empty line
// unless the row ends in rowNoGap (a row with none shown prints nothing).
void showChoices(Choices choices, Loc loc = Loc::current());
// The first choice accepted for the answer, done; `self` when there is none
// or its step stays.
Label choose(Choices choices, const Str& answer, Label self, Loc loc = Loc::current());
// The usual end of a scene: the choice rows, the prompt and its answer, the
// choice.
Label menu(const char* prompt, const Str& answer, Label self, Choices choices,
           Loc loc = Loc::current());

// The developer-mode header line "Line N" (nothing outside developer mode).
void header(int line, Loc loc = Loc::current());
// The top of a screen: clear, the colour, an empty line when the screen
// starts with one, the developer header.
inline constexpr bool emptyLineFirst = true;
void screen(int foreground, int headerLine, bool emptyLine = false, Loc loc = Loc::current());
// The top of a screen without a header: clear and the colour.
void screen(int foreground, Loc loc = Loc::current());
// The same for a room, which also stores its resume text.
void room(int foreground, const char* resume, int headerLine, bool emptyLine = false,
          Loc loc = Loc::current());

// A room's travel line, chosen by travelDirection (the last move); a
// direction left out prints none.
struct Arrival {
    const char* east = nullptr;
    const char* west = nullptr;
    const char* north = nullptr;
    const char* south = nullptr;
};
void arrival(const Arrival& travelLines, Loc loc = Loc::current());

// Sets each variable to the same text, one statement each, in the order
// given.
void letEach(const char* text, std::initializer_list<const Str*> variables,
             Loc loc = Loc::current());

// Screen text: one line ("You close the refrigerator door."), or several
// written as a block that shows them as the screen does, a raw string whose
// first and last lines are its quotes:
//
//   lines(R"(
//   A small, ordinary bathroom.  The shower stands beside the toilet and the
//   sink hangs on the left wall.  There is nothing of interest in here.
//
//   )");
//
// Every line of the text is printed and ended; an empty line in a block
// prints an empty line (here the one before the menu).
using Lines = const char*;
void lines(Lines text, Loc loc = Loc::current());
// An empty line that belongs to the developer header (nothing otherwise).
void devBlank(Loc loc = Loc::current());
// A row of `count` asterisks.
void stars(int count, Loc loc = Loc::current());

// One line of an item list: shown while the flag holds the value.
struct ItemLine {
    const char* name;
    const Str* flag;
    const char* value;
};
// The lines of the items carried, each followed by an empty line when `gap`.
void itemLines(std::span<const ItemLine> items, bool gap, Loc loc = Loc::current());

// The two label styles of the status block: "Health " / "Score  " (seven
// characters) or "Health" / "Score " (six).
enum class Labels { Seven, Six };
// One status line: `blanks` blanks, the label, the number and one blank.
void statusLine(int blanks, const char* label, const Num& value, Loc loc = Loc::current());
// Health and score lines, then an empty line.
void status(int blanks, Labels style, Loc loc = Loc::current());
// Health, score and money lines, then an empty line (the hardware store).
void statusWithMoney(int blanks, Labels style, Loc loc = Loc::current());

// The prompts most scenes share.
inline constexpr const char* kWhatToDo = "What would you like to do";
inline constexpr const char* kPressEnter = "Press ENTER to continue";

// Pause screens: the text, "? " and a line into pauseEntry (content ignored).
void pause(const char* text, Loc loc = Loc::current());
// The numeric pauses: the entry is read as a number (only keys that keep it
// a number are accepted), and the value is ignored.
void numericPause(const char* text, Loc loc = Loc::current());
// The usual pause: an empty line, then "Press ENTER to continue" (or the
// prompt given).
void pressEnter(const char* prompt = kPressEnter, Loc loc = Loc::current());
// A result message: clear, the lines, an empty line and the pause.
void message(Lines texts, const char* prompt = kPressEnter, Loc loc = Loc::current());
// The same in a colour set after the clear.
void message(int foreground, Lines texts, const char* prompt = kPressEnter,
             Loc loc = Loc::current());
// The same with a numeric pause.
void numericMessage(Lines texts, const char* prompt = kPressEnter, Loc loc = Loc::current());

// Labels every scene group shares.
namespace labels {
inline constexpr Label startRun = 1;
inline constexpr Label newGame = 5;
inline constexpr Label mainMenu = 6;
inline constexpr Label developerMenu = 25;
inline constexpr Label passwordScreen = 30;
inline constexpr Label quitGame = 70;
inline constexpr Label chapter1 = 100;
inline constexpr Label quitStory = 123;
inline constexpr Label scoreScreen = 124;
inline constexpr Label confirmQuit = 128;
inline constexpr Label inventory = 600;
inline constexpr Label poisonDeath = 610;
inline constexpr Label notesViewer = 1000;
inline constexpr Label endOfDemo = 2000;
inline constexpr Label chapter2Inventory = 2200;
inline constexpr Label wordGame = 5000;
} // namespace labels

// Where a note's scene goes after its pause: back to the notes viewer when
// the note was opened there (inStory "0"), otherwise on with the story.
Label afterNote(Label story, Loc loc = Loc::current());

// The choices most rooms end with, each with its text as its row shows it:
// the inventory of the room's chapter, and the quit confirmation.
constexpr Choice checkInventory(const char* text) {
    return {text, labels::inventory};
}
constexpr Choice checkChapter2Inventory(const char* text) {
    return {text, labels::chapter2Inventory};
}
constexpr Choice quit(const char* text) {
    return {text, labels::quitStory};
}

} // namespace game
