#include "game/scene.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>

namespace game {
namespace {

std::unordered_map<Label, SceneFn>& sceneTable() {
    static std::unordered_map<Label, SceneFn> t;
    return t;
}

Num pauseNumber;

} // namespace

void addScenes(std::initializer_list<std::pair<Label, SceneFn>> scenes) {
    for (const auto& [label, fn] : scenes)
        sceneTable()[label] = fn;
}

bool hasScene(Label label) {
    return sceneTable().contains(label);
}

Label sceneOr(Label target, Label fallback) {
    return hasScene(target) ? target : fallback;
}

void runFrom(Label first) {
    Label next = first;
    for (;;) {
        auto it = sceneTable().find(next);
        if (it == sceneTable().end()) {
            // A jump to a label no scene defines is a fault in the game itself.
            std::fprintf(stderr, "glimmerdeep: jump to undefined label %d\n", next);
            std::abort();
        }
        next = it->second();
    }
}

Label resumeLabel(std::span<const Resume> table, Loc loc) {
    for (const Resume& r : table) {
        if (is(currentScene, r.text, loc)) return r.label;
    }
    return 0;
}

void header(int line, Loc loc) {
    if (is(developerMode, "1", loc)) {
        std::string text = "Line " + std::to_string(line);
        say(text.c_str(), loc);
    }
}

void lines(std::initializer_list<const char*> texts, Loc loc) {
    for (const char* t : texts)
        say(t, loc);
}

void devBlank(Loc loc) {
    if (is(developerMode, "1", loc)) say(loc);
}

void stars(int count, Loc loc) {
    std::string row(static_cast<std::size_t>(count), '*');
    say(row.c_str(), loc);
}

void statusLine(int blanks, const char* label, const Num& value, Loc loc) {
    std::string text(static_cast<std::size_t>(blanks), ' ');
    text += label;
    say({text.c_str(), value}, loc);
}

void status(int blanks, Labels style, Loc loc) {
    statusLine(blanks, style == Labels::Seven ? "Health " : "Health", health, loc);
    statusLine(blanks, style == Labels::Seven ? "Score  " : "Score ", score, loc);
    say(loc);
}

void statusWithMoney(int blanks, Labels style, Loc loc) {
    statusLine(blanks, style == Labels::Seven ? "Health " : "Health", health, loc);
    statusLine(blanks, style == Labels::Seven ? "Score  " : "Score ", score, loc);
    statusLine(blanks, style == Labels::Seven ? "Money  " : "Money ", money, loc);
    say(loc);
}

void pause(const char* text, Loc loc) {
    ask(text, pauseEntry, loc);
}

void numericPause(const char* text, Loc loc) {
    ask(text, pauseNumber, loc);
}

} // namespace game
