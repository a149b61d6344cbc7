// Random walks through the whole game, played by the replay driver.
//
// Each walk is a long script of answers: most are drawn from the choices the
// current screen offers (its "N- " rows and "Press N" offers), some are junk
// (empty lines, blanks, letters, signs, editing keys, lines past the 255
// characters line input keeps) and a few are words from the walk's own list
// (developer-menu jumps, item words, passwords). The script is built in
// rounds: the driver plays what is known so far, and the answers that follow
// are drawn against its last screen and then against the screens that
// earlier rounds saw after the same screen and answer, until a screen and
// answer come up that no round has played yet. Building takes a few hundred
// rounds, so the scripts are kept in tests/random_walk/NAME.keys and the
// test plays each of them once, in one process, checking every screen: each
// ends in a prompt with the cursor right after its "? ", nothing hangs, no
// dialog comes up, nothing is written to standard error (the dispatcher
// reports an unknown label there and aborts; the sanitizers report there
// too), and the driver ends with the script.
//
// The walks are data: add a row to kWalks (a seed, the answers typed first,
// the number of answers, the share of junk and extra words) to walk
// elsewhere, and build its script with
//   GLIMMER_BUILD_WALKS=1 game_tests --gtest_filter='RandomWalk.*'
// which (re)writes the scripts of every walk. Rebuild them after the scenes
// change, so that their answers fit the screens again. kFences lists answers
// drawn rarely or never on a screen (quitting the story or the program).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "tests/support/replay.h"

#ifdef GLIMMER_REPLAY

namespace {

struct Walk {
    const char* name;
    std::uint32_t seed;
    std::vector<std::string> prefix; // answers typed first, each ended by Enter
    int answers;                     // answers drawn after the prefix
    int junkPercent;                 // share of junk answers
    int wordPercent;                 // share of answers taken from words
    std::vector<std::string> words;
    // At the main menu, restartPercent of the time, these answers are typed
    // in one go (back to where the walk started, say).
    std::vector<std::string> onMainMenu = {};
    int restartPercent = 0;
};

const std::vector<std::string> kDeveloperWords = {
    "235",   "420",  "520",   "530",   "570",     "2000",   "2070",  "2100",
    "2115",  "5000", "4",     "1",     "2",       "3",      "knife", "led",
    "water", "key1", "smoke", "ymush", "lighter", "gummie", "spear", "2110"};

// From the main menu to the entrance hall of the mine with everything the
// apartment and the store give (knife, water, newspaper, flashlight).
const std::vector<std::string> kToMine = {"1", "6", "2", "", "3", "",  "1", "2", "2", "4", "",  "1",
                                          "",  "1", "1", "", "",  "4", "2", "2", "",  "6", "1", ""};
// ... and on across the flood on a raft.
std::vector<std::string> toFarSide() {
    std::vector<std::string> a = kToMine;
    for (const char* k : {"3", "2", "2", "", "1", "3", "2", "2", "", "1", "1", "1", "1", ""})
        a.emplace_back(k);
    return a;
}

// From the main menu into the foreman's office with the first half's best
// haul (knife, water, gummie bears, rod, lighter, notes 1 and 2): the
// hallway outside, the key from the dead end, the door opened with it.
const std::vector<std::string> kIntoOffice = {
    "1", "6", "2", "",  "3", "",  "1", "2", "2", "4", "",  "1", "",  "1", "1", "",  "",  "4",
    "2", "2", "",  "3", "",  "6", "1", "",  "2", "1", "",  "",  "3", "3", "2", "2", "",  "1",
    "3", "2", "2", "",  "1", "1", "1", "1", "",  "2", "",  "1", "3", "3", "1", "",  "2", "2",
    "1", "",  "2", "",  "3", "1", "1", "2", "3", "3", "2", "",  "1", "1", "2", ""};
// The developer menu's jump into the spider's lair and on into the fight.
const std::vector<std::string> kIntoFight = {"fzorp", "", "blimx", "10", "530", "2", ""};

// Chapter 2 is reached through the developer menu only: "1" marks a story as
// being played, then the jump to the mushroom farm.
const std::vector<std::string> kToFarm = {"fzorp", "", "blimx", "10", "1", "2070"};
const std::vector<std::string> kBackToFarm = {"blimx", "10", "1", "2070"};
// ... and on to the hall above the flooded stairs with the scuba gear on:
// the extinguisher from the supply room, the fire put out, the gear taken.
std::vector<std::string> toFloodedStairs() {
    std::vector<std::string> a = kToFarm;
    for (const char* k : {"2", "2", "2", "", "1", "3", "1", "3", "1", "6", "", "1", "4", "", "2",
                          "2", "3", "1", "2"})
        a.emplace_back(k);
    return a;
}
// The same from the main menu, developer mode being on already.
std::vector<std::string> backToFloodedStairs() {
    std::vector<std::string> a = toFloodedStairs();
    a.erase(a.begin(), a.begin() + 2);
    return a;
}
// From the farm to the waterfall cavern: the extinguisher, the fire put out
// and the gas tunnel passed with its scuba gear left lying.
std::vector<std::string> toWaterfall(std::vector<std::string> a) {
    for (const char* k : {"2", "2", "2", "", "1", "3", "1", "3", "1", "6", "", "1", "1"})
        a.emplace_back(k);
    return a;
}
// The developer menu's Chapter 2 items, then the laboratory's instructions.
const std::vector<std::string> kToLaboratory = {"fzorp", "", "blimx", "10", "1", "2", "2115"};

std::vector<std::string> withDeveloperMode(std::vector<std::string> a) {
    a.insert(a.begin(), {"fzorp", ""});
    return a;
}

const std::vector<Walk> kWalks = {
    // Plain play from the main menu.
    {"play", 1, {}, 1000, 15, 0, {}},
    // From the mine's entrance hall on, in developer mode, and back there
    // after most stories.
    {"mine", 5, withDeveloperMode(kToMine), 1000, 15, 0, {}, kToMine, 80},
    // From the far side of the flood on, and back there after most stories.
    {"far-side", 6, toFarSide(), 1200, 15, 0, {}, toFarSide(), 80},
    // From the foreman's office on: the desk, the greenhouse, the dead end,
    // the corridor, the fight and the shaft; back there after most stories.
    {"office", 12, kIntoOffice, 1000, 10, 0, {}, kIntoOffice, 80},
    // Straight into the fight with the developer menu's items, and back into
    // it after most stories.
    {"fight",
     10,
     kIntoFight,
     700,
     10,
     5,
     {"gummie", "ymush", "water", "smoke", "570", "520"},
     {"blimx", "10", "530", "2", ""},
     80},
    // Developer mode: every scene prints its header line as well.
    {"developer-mode", 2, {"fzorp", ""}, 800, 15, 1, {"fzorp", "blimx", "10"}},
    // The developer menu's jumps and items, then wherever they lead; back to
    // the developer menu after most stories.
    {"developer-menu",
     3,
     {"fzorp", "", "blimx", "10"},
     800,
     10,
     35,
     kDeveloperWords,
     {"blimx", "10"},
     70},
    // Chapter 2's tunnels from the mushroom farm, back there after most
    // stories.
    {"tunnels", 21, kToFarm, 1000, 10, 0, {}, kBackToFarm, 80},
    // The flooded stairs with a full air supply, and back there.
    {"flooded-stairs", 22, toFloodedStairs(), 800, 10, 0, {}, backToFloodedStairs(), 80},
    // The waterfall cavern with its mushrooms and stream, and back there.
    {"waterfall", 24, toWaterfall(kToFarm), 600, 10, 0, {}, toWaterfall(kBackToFarm), 80},
    // The laboratory with the Chapter 2 items, and back there.
    {"laboratory", 23, kToLaboratory, 600, 15, 0, {}, {"blimx", "10", "1", "2", "2115"}, 80},
    // Mostly junk: every screen's "anything else" path.
    {"junk", 4, {}, 600, 60, 2, {"K2071", "k2071", "V8419", "fzorp", "blimx"}},
};

// Answers drawn on a screen containing the marker only keepPercent of the
// times they come up.
struct Fence {
    const char* marker;
    const char* answer;
    int keepPercent;
};
const std::vector<Fence> kFences = {
    {"  9- Quit", "9", 0}, // the main menu's quit ends the program
    {"Are you sure you want to quit", "1", 25},
};

// Junk: nothing here is a whole choice text.
const std::vector<std::string> kJunk = {
    "",
    "",
    "",
    " ",
    "   ",
    "x",
    "abc",
    "Q",
    "1 ",
    " 2",
    " 1 ",
    "0",
    "00",
    "-1",
    "99",
    "1.5",
    "1e3",
    "&H1F",
    ",",
    "\"a,b\"",
    "3,4",
    "12{Backspace}",
    "5{Backspace}{Backspace}",
    "{Left}{Right}{Home}{End}{Del}",
    "{Up}{Down}{PgUp}{PgDn}{Ins}",
    "{F1}{F5}{F12}",
    "{Tab}1",
    "{Esc}",
    "yes",
    "Quit",
    std::string(300, 'z'),
    std::string(120, '7'),
};

// The choices a screen offers: "N- " at the start of a row or after a
// blank, and "Press N " offers.
std::vector<std::string> offeredChoices(const replay::Screen& s) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::set<std::string> found;
    for (const std::string& row : s.rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (!digit(row[i]) || (i > 0 && (digit(row[i - 1]) || row[i - 1] != ' '))) continue;
            std::size_t end = i;
            while (end < row.size() && digit(row[end]))
                ++end;
            bool dash = row.compare(end, 2, "- ") == 0;
            bool press =
                i >= 6 && row.compare(i - 6, 6, "Press ") == 0 && row.compare(end, 1, " ") == 0;
            if (dash || press) found.insert(row.substr(i, end - i));
            i = end;
        }
    }
    return {found.begin(), found.end()};
}

// The fence for an answer on a screen, or null.
const Fence* fenceFor(const replay::Screen& s, const std::string& answer) {
    for (const Fence& f : kFences) {
        if (answer == f.answer && s.contains(f.marker)) return &f;
    }
    return nullptr;
}

// A screen's identity for predicting what follows it: its text with the
// numbers of the status lines left out.
std::string screenKey(const replay::Screen& s) {
    std::string key;
    for (const std::string& row : s.rows) {
        std::size_t text = row.find_first_not_of(' ');
        bool status = text != std::string::npos && text > 0 &&
                      (row.compare(text, 6, "Health") == 0 || row.compare(text, 5, "Score") == 0 ||
                       row.compare(text, 5, "Money") == 0 || row.compare(text, 3, "Air") == 0);
        key += status ? row.substr(0, text + 6) : row;
        key += '\n';
    }
    return key;
}

bool isJunk(const std::string& answer, const Walk& walk) {
    if (!answer.empty() && answer.find_first_not_of("0123456789") == std::string::npos)
        return false;
    return std::find(walk.words.begin(), walk.words.end(), answer) == walk.words.end();
}

std::string scriptOf(const std::vector<std::string>& answers) {
    std::string s;
    for (const std::string& a : answers)
        s += a + "\n";
    return s;
}

struct Walker {
    const Walk& walk;
    std::mt19937 rng;
    // screen key -> (answer, or "junk") -> the key of the screen after it
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> next;
    std::unordered_map<std::string, replay::Screen> screens; // key -> a screen with it

    explicit Walker(const Walk& w) : walk(w), rng(w.seed) {}

    int roll() { return static_cast<int>(rng() % 100); }
    template <typename T> const T& pick(const std::vector<T>& v) { return v[rng() % v.size()]; }

    bool allowed(const replay::Screen& s, const std::string& answer) {
        const Fence* f = fenceFor(s, answer);
        return f == nullptr || roll() < f->keepPercent;
    }

    std::string draw(const replay::Screen& s) {
        for (;;) {
            int r = roll();
            std::string a;
            if (r < walk.junkPercent) {
                a = pick(kJunk);
            } else if (r < walk.junkPercent + walk.wordPercent && !walk.words.empty()) {
                a = pick(walk.words);
            } else {
                std::vector<std::string> choices = offeredChoices(s);
                a = choices.empty() ? (roll() < 80 ? std::string() : pick(kJunk)) : pick(choices);
            }
            if (allowed(s, a)) return a;
        }
    }

    std::size_t learned = 0; // screens already learnt from

    void learn(const replay::Result& r, const std::vector<std::string>& answers) {
        for (std::size_t i = learned; i + 1 < r.screens.size() && i < answers.size(); ++i) {
            std::string from = screenKey(r.screens[i]);
            std::string to = screenKey(r.screens[i + 1]);
            next[from][isJunk(answers[i], walk) ? "junk" : answers[i]] = to;
            screens.emplace(to, r.screens[i + 1]);
        }
        // The last screen stands for the script's end, not for an answer.
        if (r.screens.size() >= 2) learned = r.screens.size() - 2;
    }

    // Builds the walk's script round by round.
    std::vector<std::string> build() {
        std::vector<std::string> answers = walk.prefix;
        const std::size_t target = walk.prefix.size() + static_cast<std::size_t>(walk.answers);
        std::size_t played = answers.size(); // the last script that played to its end
        int redraws = 0;
        while (answers.size() < target) {
            replay::Result r = replay::run(scriptOf(answers));
            // A prediction misses what a screen does not show (a health that
            // ends the story at the next answer, say), so answers drawn for
            // the predicted scene can reach the main menu, where "9" ends the
            // program. Such a round is drawn again from the last script that
            // played to its end.
            if (r.exited && !r.scriptEnd && !r.timedOut && r.errors.empty() && redraws < 200) {
                answers.resize(played);
                ++redraws;
                continue;
            }
            played = answers.size();
            EXPECT_TRUE(r.scriptEnd && !r.timedOut && r.errors.empty())
                << walk.name << ": building stopped after " << answers.size() << " answers\n"
                << r.errors << (r.screens.empty() ? "" : r.last().text());
            if (!r.scriptEnd || r.timedOut || !r.errors.empty()) return answers;
            learn(r, answers);
            replay::Screen current = r.last();
            for (;;) {
                if (!walk.onMainMenu.empty() && current.contains("1- Chapter 1 - The Discovery") &&
                    roll() < walk.restartPercent) {
                    answers.insert(answers.end(), walk.onMainMenu.begin(), walk.onMainMenu.end());
                    break;
                }
                std::string a = draw(current);
                answers.push_back(a);
                if (answers.size() >= target) break;
                auto known = next.find(screenKey(current));
                if (known == next.end()) break;
                auto to = known->second.find(isJunk(a, walk) ? "junk" : a);
                if (to == known->second.end()) break;
                current = screens.at(to->second);
            }
        }
        return answers;
    }
};

// The prompt ends the screen: the cursor stands right after "? " on a row
// that ends in "?" (the driver trims the blank).
void expectPromptAtCursor(const replay::Screen& s, const std::string& walk) {
    const std::string& row = s.row(s.cursorRow);
    bool ok =
        !row.empty() && row.back() == '?' && s.cursorColumn == static_cast<int>(row.size()) + 2;
    EXPECT_TRUE(ok) << walk << ": screen " << s.number << " (" << s.kind << ") cursor "
                    << s.cursorRow << "," << s.cursorColumn << " is not after a prompt\n"
                    << s.text();
}

std::string walkPath(const Walk& walk) {
    return std::string(GLIMMER_SOURCE_DIR) + "/tests/random_walk/" + walk.name + ".keys";
}

// The script's answers: one per line, without the line ends.
std::vector<std::string> loadWalk(const Walk& walk) {
    std::ifstream in(walkPath(walk), std::ios::binary);
    std::vector<std::string> answers;
    for (std::string line; std::getline(in, line);)
        answers.push_back(line);
    return answers;
}

class RandomWalk : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RandomWalk, EveryScreenEndsInAPromptAndTheRunEndsWithItsScript) {
    const char* build = std::getenv("GLIMMER_BUILD_WALKS");
    const Walk& walk = kWalks[GetParam()];
    if (build != nullptr && std::string(build) == "1") {
        Walker walker(walk);
        std::vector<std::string> built = walker.build();
        std::ofstream(walkPath(walk), std::ios::binary) << scriptOf(built);
    }
    std::vector<std::string> answers = loadWalk(walk);
    if (answers.empty()) {
        FAIL() << walkPath(walk) << " is missing: build it with GLIMMER_BUILD_WALKS=1";
    }

    replay::Result r = replay::runWith(GLIMMER_REPLAY, {}, scriptOf(answers), 120);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.processStatus, 0);
    EXPECT_TRUE(r.scriptEnd);
    EXPECT_FALSE(r.exited);
    EXPECT_TRUE(r.dialogs.empty()) << r.output;
    EXPECT_EQ(r.errors, "");
    EXPECT_TRUE(r.unparsed.empty());
    // One input screen per answer, then the one the script ends at.
    ASSERT_EQ(r.screens.size(), answers.size() + 2);
    std::set<std::string> distinct;
    int offered = 0;
    for (std::size_t i = 0; i < r.screens.size(); ++i) {
        const replay::Screen& s = r.screens[i];
        EXPECT_EQ(s.kind, i + 1 == r.screens.size() ? "script-end" : "input");
        expectPromptAtCursor(s, walk.name);
        distinct.insert(screenKey(s));
        if (i < answers.size()) {
            std::vector<std::string> c = offeredChoices(s);
            if (std::find(c.begin(), c.end(), answers[i]) != c.end()) ++offered;
        }
        if (::testing::Test::HasFailure()) break;
    }
    // A walk that stays on a handful of screens tests little.
    EXPECT_GT(distinct.size(), 20u);
    std::printf("walk %s: %zu answers, %d on offered choices, %zu distinct screens\n", walk.name,
                answers.size(), offered, distinct.size());
}

INSTANTIATE_TEST_SUITE_P(Walks, RandomWalk, ::testing::Range<std::size_t>(0, kWalks.size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = kWalks[info.param].name;
                             std::erase(name, '-');
                             return name;
                         });

} // namespace

#endif // GLIMMER_REPLAY
