// The game tests' walks through the replay driver: a script is a list of
// answers (Keys), each ended by Enter; a walk plays them and checks the
// screen shown after each answer. Also whole screens compared row by row,
// and the screens of the main menu and its neighbours as the player sees
// them.
//
//   walk(kDeveloperMenu + Keys{"2070"},
//        {{"3", shows("The glow from the mushrooms")},
//         {"2", rows({...})}});
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/replay.h"

namespace frame {

using Keys = std::vector<std::string>;
using Rows = std::vector<std::string>;

inline Keys operator+(Keys a, const Keys& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The keys of the answers, each ended by Enter.
inline std::string script(const Keys& answers) {
    std::string s;
    for (const std::string& a : answers)
        s += a + "\n";
    return s;
}

// Plays the answers: one input screen per answer and the one the script ends
// at, which the driver prints once more when the script runs out.
inline replay::Result play(const Keys& answers) {
    replay::Result r = replay::run(script(answers));
    EXPECT_TRUE(r.scriptEnd) << r.output << r.errors;
    EXPECT_EQ(r.errors, "");
    EXPECT_EQ(r.screens.size(), answers.size() + 2) << r.output;
    return r;
}

// A number as the game prints it, without the trailing blank the driver
// trims: a leading blank when it is not negative.
inline std::string num(int v) {
    return v < 0 ? std::to_string(v) : " " + std::to_string(v);
}

inline std::string blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

// A status line as printed: `blanks` blanks, the label, the number.
inline std::string statusRow(int column, const char* label, int value) {
    return blanks(column) + label + num(value);
}

// A status block: its column, health and score, and its label style
// ("Health " / "Score  " or "Health" / "Score ").
enum class Style { Seven, Six };
struct Status {
    int blanks;
    int health;
    int score;
    Style style = Style::Seven;
};

// The status block's rows as printed: health, score, then an empty row.
inline Rows statusRows(const Status& s) {
    const bool seven = s.style == Style::Seven;
    return {statusRow(s.blanks, seven ? "Health " : "Health", s.health),
            statusRow(s.blanks, seven ? "Score  " : "Score ", s.score), ""};
}

// The row of the status block's health line, or 0.
inline int statusRowOf(const replay::Screen& s) {
    static const std::regex health(R"(^ +Health +-?[0-9.]+$)");
    for (int r = 1; r <= replay::kRows; ++r) {
        if (std::regex_match(s.row(r), health)) return r;
    }
    return 0;
}

// The health and score lines of the status block.
inline void expectStatus(const replay::Screen& s, const Status& want) {
    const bool seven = want.style == Style::Seven;
    int r = statusRowOf(s);
    ASSERT_NE(r, 0) << "no status block on screen " << s.number << "\n" << s.text();
    EXPECT_EQ(s.row(r), statusRow(want.blanks, seven ? "Health " : "Health", want.health))
        << "screen " << s.number << "\n"
        << s.text();
    EXPECT_EQ(s.row(r + 1), statusRow(want.blanks, seven ? "Score  " : "Score ", want.score))
        << "screen " << s.number << "\n"
        << s.text();
}

// Developer mode and its menu, which hands out the flashlight, knife, rusty
// key, yellow mushroom, metal rod, smoke bomb, lighter and a full bottle.
inline const Keys kDeveloperMenu = {"fzorp", "", "blimx", "10"};

inline const std::string kStars76(76, '*');
inline const std::string kStars74(74, '*');

// Expects the 25 rows of s to be want (rows missing from want are empty).
inline void expectRows(const replay::Screen& s, std::vector<std::string> want) {
    want.resize(replay::kRows);
    for (int r = 1; r <= replay::kRows; ++r) {
        EXPECT_EQ(s.row(r), want[static_cast<std::size_t>(r - 1)])
            << "row " << r << " of screen " << s.number;
    }
}

// Expects the rows named by number (1-based) to be as given; the other rows
// are not looked at.
inline void expectRowsAt(const replay::Screen& s,
                         const std::vector<std::pair<int, std::string>>& want) {
    for (const auto& [r, text] : want)
        EXPECT_EQ(s.row(r), text) << "row " << r << " of screen " << s.number;
}

// The screen with the given number (1-based), failing the test when absent.
inline const replay::Screen& screen(const replay::Result& r, std::size_t n) {
    if (n < 1 || n > r.screens.size()) {
        ADD_FAILURE() << "no screen " << n << " (" << r.screens.size() << " printed)\n"
                      << r.output << r.errors;
        static const replay::Screen none;
        return none;
    }
    return r.screens[n - 1];
}

// The screen shown after the n-th answer (1-based) of the script.
inline const replay::Screen& after(const replay::Result& r, std::size_t n) {
    return screen(r, n + 1);
}

// One step of a walk: the answer typed, and what the screen it leads to
// must show.
using Check = std::function<void(const replay::Screen&)>;
struct Step {
    std::string answer;
    Check check;
};

inline Check rows(Rows want) {
    return [want](const replay::Screen& s) { expectRows(s, want); };
}
inline Check both(Check a, Check b) {
    return [a, b](const replay::Screen& s) {
        a(s);
        b(s);
    };
}
inline Check shows(std::string text) {
    return [text](const replay::Screen& s) {
        EXPECT_TRUE(s.contains(text)) << text << "\n" << s.text();
    };
}
inline Check lacks(std::string text) {
    return [text](const replay::Screen& s) {
        EXPECT_FALSE(s.contains(text)) << text << "\n" << s.text();
    };
}

// Plays prefix, then the steps, checking the screen after each answer.
inline replay::Result walk(const Keys& prefix, const std::vector<Step>& steps) {
    Keys answers = prefix;
    for (const Step& s : steps)
        answers.push_back(s.answer);
    replay::Result r = play(answers);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i + 1) + " (answer \"" + steps[i].answer + "\")");
        if (steps[i].check) steps[i].check(after(r, prefix.size() + i + 1));
    }
    return r;
}

// The prompt line and the cursor right after its "? ".
inline void expectPrompt(const replay::Screen& s, const std::string& prompt) {
    const std::string& row = s.row(s.cursorRow);
    EXPECT_EQ(row, prompt + "?") << "screen " << s.number << "\n" << s.text();
    EXPECT_EQ(s.cursorColumn, static_cast<int>(prompt.size()) + 3) << "screen " << s.number;
}

// The eight items the developer menu hands out, as the Chapter 1 item lists
// show them, each followed by an empty line.
inline const Rows kDeveloperItemRows = {
    "L.E.D. Flashlight",
    "",
    "Smoke Bomb",
    "",
    "Disposible Lighter",
    "",
    "Knife",
    "",
    "Bottled Water",
    "",
    "Sharp Metal Rod",
    "",
    "Rusty Key",
    "",
    "Glowing Yellow Mushroom",
    "",
};

struct MenuState {
    bool chapter2 = false;
    bool entry10 = false;
};

// The main menu as drawn: title tail on row 3, prompt on row 22 (24 with
// entry 10 shown).
inline std::vector<std::string> mainMenuRows(MenuState m = {}) {
    std::vector<std::string> rows{
        kStars76,
        "    The Mystery of the Glimmerdeep    (Demo Ver 1) 08 22 12",
        "",
        "",
        "",
        "  1- Chapter 1 - The Discovery",
        "",
        m.chapter2 ? "  2- Chapter 2 - The Plunge (Unlocked)" : "  2- Chapter 2 - (Locked)",
        "",
        "  3- Chapter 3 - (Locked)",
        "",
        "  4- Chapter 4 - (locked)",
        "",
        "  5- Password",
        "",
        "  6- View Collected Notes",
        "",
        "  9- Quit",
        "",
    };
    if (m.entry10) {
        rows.push_back(" 10- Blimx");
        rows.push_back("");
    }
    rows.push_back(kStars76);
    rows.push_back("");
    rows.push_back("What is your choice??");
    return rows;
}

inline void expectMainMenu(const replay::Screen& s, MenuState m = {}) {
    expectRows(s, mainMenuRows(m));
    EXPECT_EQ(s.cursorRow, m.entry10 ? 24 : 22) << "screen " << s.number;
    EXPECT_EQ(s.cursorColumn, 23) << "screen " << s.number;
}

// The notes viewer with notes 1..5 collected or not.
inline std::vector<std::string> notesRows(bool n1, bool n2, bool n3, bool n4 = false,
                                          bool n5 = false) {
    return {
        n1 ? "1- Dear Helen (Collected)" : "1- Locked",
        "",
        n2 ? "2- Lock Out (Collected)" : "2- Locked",
        "",
        n3 ? "3- Foreman's Diary (Collected)" : "3- Locked",
        "",
        n4 ? "4- The Promotion (Collected)" : "4- Locked",
        "",
        n5 ? "5- Whatever (Collected)" : "5- Locked",
        "",
        "",
        "Pick a Note to Read, or press ENTER to return to main menu.?",
    };
}

// The developer menu, as shown after the main menu's entry 10.
inline std::vector<std::string> developerMenuRows() {
    return {
        "",
        "Line 25",
        "Fzorp mode.... Type in a line or item string.",
        "",
        "1- Set Chaper 1     2- Set Chapter 2 (items)     3- Quit",
        "4- all notes",
        "420, 520, 530,235, 570, 2000, 2070, 2100, 2110 (with shrooms) 5000",
        "Giving water, LED flashlight",
        "",
        " ?",
    };
}

// Keys that open the developer menu from a fresh main menu: four screens
// (menu, "Fzorp mode enabled!", menu, menu with entry 10) come before it.
inline const char* kOpenDeveloperMenu = "fzorp\n\nblimx\n10\n";
constexpr std::size_t kDeveloperMenuScreen = 5;

} // namespace frame
