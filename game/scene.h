// Scene machinery.
//
// Every scene is a numbered label. A scene function draws its screen, reads
// the answer and returns the label to jump to next; nothing returns to a
// caller, and going back always passes through currentScene and a resume
// table (data). Each scene group file registers its labels once at start-up.
#pragma once

#include <initializer_list>
#include <span>
#include <utility>

#include "game/state.h"

namespace game {

using Label = int;
using SceneFn = Label (*)();

void addScenes(std::initializer_list<std::pair<Label, SceneFn>> scenes);
bool hasScene(Label label);
// target when a scene is registered there, otherwise fallback (jumps into
// scene groups that a build may not contain).
Label sceneOr(Label target, Label fallback);
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

// The developer-mode header line "Line N" (nothing outside developer mode).
void header(int line, Loc loc = Loc::current());

// Several lines, each ended.
void lines(std::initializer_list<const char*> texts, Loc loc = Loc::current());
// An empty line that belongs to the developer header (nothing otherwise).
void devBlank(Loc loc = Loc::current());
// A row of `count` asterisks.
void stars(int count, Loc loc = Loc::current());

// The two label styles of the status block: "Health " / "Score  " (seven
// characters) or "Health" / "Score " (six).
enum class Labels { Seven, Six };
// One status line: `blanks` blanks, the label, the number and one blank.
void statusLine(int blanks, const char* label, const Num& value, Loc loc = Loc::current());
// Health and score lines, then an empty line.
void status(int blanks, Labels style, Loc loc = Loc::current());
// Health, score and money lines, then an empty line (the hardware store).
void statusWithMoney(int blanks, Labels style, Loc loc = Loc::current());

// Pause screens: the text, "? " and a line into pauseEntry (content ignored).
void pause(const char* text, Loc loc = Loc::current());
// The numeric pauses: the entry is read as a number (only keys that keep it
// a number are accepted), and the value is ignored.
void numericPause(const char* text, Loc loc = Loc::current());

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
inline constexpr Label notesViewer = 1000;
inline constexpr Label endOfDemo = 2000;
inline constexpr Label chapter2Inventory = 2200;
inline constexpr Label wordGame = 5000;
} // namespace labels

} // namespace game
