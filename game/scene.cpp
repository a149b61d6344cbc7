#include "game/scene.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
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

std::vector<Label> sceneLabels() {
    std::vector<Label> all;
    for (const auto& entry : sceneTable())
        all.push_back(entry.first);
    std::sort(all.begin(), all.end());
    return all;
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

namespace {

constexpr Resume kChapter1Rooms[] = {
    {"103", 103}, {"140", 140}, {"160", 160}, {"180", 180}, {"203", 203},
    {"210", 210}, {"215", 215}, {"235", 235}, {"258", 258}, {"273", 273},
    {"283", 283}, {"293", 290}, {"405", 405}, {"420", 420}, {"430", 430},
    {"440", 440}, {"450", 450}, {"480", 480}, {"490", 490}, {"500", 500},
    {"505", 505}, {"510", 510}, {"520", 520}, {"530", 530}, {"565", 565},
};

constexpr Resume kChapter2Rooms[] = {
    {"2000", 2005}, {"2010", 2010}, {"2020", 2020}, {"2030", 2030}, {"2040", 2040},
    {"2050", 2050}, {"2060", 2060}, {"2070", 2070}, {"2080", 2080}, {"2090", 2090},
    {"2100", 2100}, {"2110", 2110}, {"2120", 2120}, {"2130", 2130},
};

// A choice of digits only is accepted without being shown.
bool shown(const Choice& c) {
    return c.text != nullptr && std::strspn(c.text, "0123456789") != std::strlen(c.text);
}

} // namespace

std::string choiceNumber(const char* text) {
    const char* p = text;
    while (*p != '\0' && (*p < '0' || *p > '9'))
        ++p;
    std::string number;
    while (*p >= '0' && *p <= '9')
        number += *p++;
    return number;
}

const std::span<const Resume> chapter1Rooms{kChapter1Rooms};
const std::span<const Resume> chapter2Rooms{kChapter2Rooms};

void showChoices(Choices choices, Loc loc) {
    std::string line;
    auto endRow = [&](bool gap) {
        if (line.empty()) return;
        say(line.c_str(), loc);
        if (gap) say(loc);
        line.clear();
    };
    for (const Choice& c : choices) {
        if (c.text == nullptr || c.text[0] == '\0') {
            endRow(c.text == nullptr);
        } else if (shown(c) && (c.guard == nullptr || c.guard())) {
            line += c.text;
        }
    }
    endRow(true);
}

Label choose(Choices choices, const Str& answer, Label self, Loc loc) {
    for (const Choice& c : choices) {
        if (c.text == nullptr || c.text[0] == '\0') continue;
        if (!is(answer, choiceNumber(c.text).c_str(), loc)) continue;
        if (c.guard != nullptr && !c.guard()) continue;
        Label next = c.then.to;
        if (c.then.direction != nullptr) let(travelDirection, c.then.direction, loc);
        if (c.then.step != nullptr) next = c.then.step();
        if (c.then.effect != nullptr) c.then.effect();
        if (c.then.told != nullptr) {
            if (c.then.numericPause) {
                numericMessage(c.then.told, kPressEnter, loc);
            } else {
                message(c.then.told, kPressEnter, loc);
            }
        }
        return next == stay ? self : next;
    }
    return self;
}

Label menu(const char* prompt, const Str& answer, Label self, Choices choices, Loc loc) {
    showChoices(choices, loc);
    ask(prompt, answer, loc);
    return choose(choices, answer, self, loc);
}

Label afterNote(Label story, Loc loc) {
    return is(inStory, "0", loc) ? labels::notesViewer : story;
}

void header(int line, Loc loc) {
    if (is(developerMode, "1", loc)) {
        std::string text = "Line " + std::to_string(line);
        say(text.c_str(), loc);
    }
}

void screen(int foreground, int headerLine, bool emptyLine, Loc loc) {
    screen(foreground, loc);
    if (emptyLine) say(loc);
    header(headerLine, loc);
}

void screen(int foreground, Loc loc) {
    cls(loc);
    colour(foreground, loc);
}

void room(int foreground, const char* resume, int headerLine, bool emptyLine, Loc loc) {
    let(currentScene, resume, loc);
    screen(foreground, headerLine, emptyLine, loc);
}

void arrival(const Arrival& travelLines, Loc loc) {
    const char* const byDirection[] = {travelLines.east, travelLines.west, travelLines.north,
                                       travelLines.south};
    const char* const directions[] = {"1", "2", "3", "4"};
    for (int i = 0; i < 4; ++i) {
        if (byDirection[i] != nullptr && is(travelDirection, directions[i], loc)) {
            say(byDirection[i], loc);
        }
    }
}

void letEach(const char* text, std::initializer_list<const Str*> variables, Loc loc) {
    for (const Str* v : variables)
        let(*v, text, loc);
}

void lines(Lines text, Loc loc) {
    // A block opens with the newline after its quote and closes with the
    // newline that ends its last line; neither is a line of its own.
    std::string_view rest(text);
    if (rest.starts_with('\n')) rest.remove_prefix(1);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string line(rest.substr(0, end));
        say(line.c_str(), loc);
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
}

void devBlank(Loc loc) {
    if (is(developerMode, "1", loc)) say(loc);
}

void stars(int count, Loc loc) {
    std::string row(static_cast<std::size_t>(count), '*');
    say(row.c_str(), loc);
}

void itemLines(std::span<const ItemLine> items, bool gap, Loc loc) {
    for (const ItemLine& item : items) {
        if (!is(*item.flag, item.value, loc)) continue;
        say(item.name, loc);
        if (gap) say(loc);
    }
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

void pressEnter(const char* prompt, Loc loc) {
    say(loc);
    pause(prompt, loc);
}

void message(Lines texts, const char* prompt, Loc loc) {
    cls(loc);
    lines(texts, loc);
    say(loc);
    pause(prompt, loc);
}

void message(int foreground, Lines texts, const char* prompt, Loc loc) {
    cls(loc);
    colour(foreground, loc);
    lines(texts, loc);
    say(loc);
    pause(prompt, loc);
}

void numericMessage(Lines texts, const char* prompt, Loc loc) {
    cls(loc);
    lines(texts, loc);
    say(loc);
    numericPause(prompt, loc);
}

} // namespace game
