// Chapter 2 played through the replay driver: the upper tunnels, the
// flooded stairs with the supply room and the air supply, the laboratory
// with its mixing station and desk, and the Chapter 2 inventory.
//
// The chapter is entered the only way this edition offers, through the
// developer menu's jumps (developer mode is on, so every room prints its
// "Line N" header). One walk visits every room from the mushroom farm,
// checking each room's header, status block (with its own labels and, on
// the stairs, the Air line), arrival line, choice rows and prompt, the
// items the inventory lists on the way and the final score; a second walk
// covers the laboratory. The rest are the cases where a test in the wrong
// order, a wrong amount or a flag set at the wrong moment would show: the
// fire's burns and the death without a prompt, the stream's late poison,
// the satchel's four states, the fountain's limits, drowning on the stairs,
// the air budget of nine underwater moves, the levers, the mixing slots and
// the desk, and the notes viewer's replays of notes 4 and 5. The rooms'
// colours are checked on the attribute bytes.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/game_walk.h"
#include "tests/support/replay.h"

#ifdef GLIMMER_REPLAY

namespace {

using namespace frame;

// Two texts printed with a move to the next 14-column print zone between.
std::string zoned(const std::string& a, const std::string& b) {
    std::size_t column = (a.size() / 14 + 1) * 14;
    return a + std::string(column - a.size(), ' ') + b;
}

// Expects the screen to end in the prompt rows given, the cursor right
// after the last one's "? ".
void expectTail(const replay::Screen& s, const Rows& tail) {
    int first = 0;
    for (int r = 1; r <= replay::kRows; ++r) {
        if (s.row(r) == tail.front()) {
            first = r;
            break;
        }
    }
    ASSERT_NE(first, 0) << "no row \"" << tail.front() << "\" on screen " << s.number << "\n"
                        << s.text();
    for (std::size_t i = 0; i < tail.size(); ++i) {
        EXPECT_EQ(s.row(first + static_cast<int>(i)), tail[i])
            << "row " << first + static_cast<int>(i) << " of screen " << s.number << "\n"
            << s.text();
    }
    int last = first + static_cast<int>(tail.size()) - 1;
    EXPECT_EQ(s.cursorRow, last) << s.text();
    EXPECT_EQ(s.cursorColumn, static_cast<int>(tail.back().size()) + 2) << s.text();
    for (int r = last + 1; r <= replay::kRows; ++r)
        EXPECT_EQ(s.row(r), "") << "row " << r << " of screen " << s.number;
}

// A pause screen: message rows (some texts of the game, some ours), an
// empty line and the pause prompt; nothing else on the screen.
void expectPause(const replay::Screen& s, int messageRows,
                 const std::string& prompt = "Press ENTER to continue?") {
    int r = 1;
    for (; r <= messageRows; ++r) {
        EXPECT_FALSE(s.row(r).empty()) << "row " << r << " of screen " << s.number << "\n"
                                       << s.text();
        EXPECT_LT(s.row(r).size(), 80u) << s.text();
    }
    EXPECT_EQ(s.row(r), "") << s.text();
    EXPECT_EQ(s.row(r + 1), prompt) << s.text();
    EXPECT_EQ(s.cursorRow, r + 1) << s.text();
    for (int rest = r + 2; rest <= replay::kRows; ++rest)
        EXPECT_EQ(s.row(rest), "") << s.text();
}

// ---------------------------------------------------------------------------
// The rooms

struct Room {
    int header;      // the developer header "Line N"; 0 for none
    bool blankFirst; // an empty line between the header and the status block
    int indent;      // the status column
    const char* healthLabel;
    const char* scoreLabel;
    Rows menu; // from the first choice row to the prompt
};

const Rows kWhat = {"What would you like to do?"};

Rows menu(Rows rows, const std::string& prompt = "What would you like to do?") {
    Rows out;
    for (const std::string& r : rows) {
        out.push_back(r);
        out.push_back("");
    }
    out.push_back(prompt);
    return out;
}

const Room kShaftBottom{
    2000,
    false,
    55,
    "Health",
    "Score",
    menu({"1- Climb Elevator Shaft      2- Travel NORTH     3- Check Inventory", "9- Quit"})};
Room fireJunction(bool extinguisher) {
    return {2010,
            true,
            48,
            "Health",
            "Score",
            menu({"1- Travel WEST   2- Travel EAST    3- Travel SOUTH    4- Check Inventory",
                  extinguisher ? "6- Use Fire Extinguisher           9- Quit" : "9- Quit"})};
}
Room gasTunnel(bool gear) {
    return {2020,
            false,
            49,
            "Health",
            "Score",
            menu({"1- Travel WEST           2- Travel EAST            3- Check Inventory",
                  gear ? "4- Grab Scuba Gear       5- Quit" : "5- Quit"})};
}
const Room kWaterfall{2030,
                      false,
                      48,
                      "Health ",
                      "Score",
                      menu({"1- Travel EAST         2- Examine Mushroom's     3-  Examine Water",
                            "4- Check Inventory     9- Quit"},
                           "What is your choice?")};
const Room kJunction{
    2040,
    false,
    48,
    "Health",
    "Score ",
    menu({"1- Travel WEST      2- Travel EAST     3- Travel North     4- Check Inventory",
          "9- Quit"})};
const Room kCliff{
    2050,     false,
    45,       "Health",
    "Score ", menu({"1- Travel WEST     2- Search Satchel      3- Check Inventory      9- Quit"})};
const Room kBreakRoom{
    2060,
    false,
    45,
    "Health",
    "Score ",
    menu({"1- Go WEST     2- Examine Fountain     3- Go SOUTH    4- Check Inventory", "9- Quit"})};
const Room kFarm{2070,
                 false,
                 53,
                 "Health",
                 "Score ",
                 menu({"1- Travel EAST       2- Travel NORTH     3- Examine Mushroom Crate",
                       "4- Check Inventory   9- Quit"})};
const Room kHall{2090,
                 false,
                 45,
                 "Health",
                 "Score ",
                 menu({"1- Travel NORTH    2- Travel EAST    3- Travel SOUTH    4- Check Inventory",
                       "9- Quit"})};
Room supplyRoom(bool extinguisher, bool jar) {
    Rows m = {"1- Exit Room", ""};
    if (extinguisher) m.push_back("2- Take Fire Extinguisher");
    if (jar) m.push_back("3- Take Empty Glass Jar");
    m.insert(m.end(), {"4- Check Inventory       9- Quit", "", "What would you like to do?"});
    return {2100, false, 49, "Health", "Score ", m};
}
const Room kLanding{0,
                    false,
                    49,
                    "Health",
                    "Score ",
                    menu({"1- Enter WEST room      2- Travel EAST     3- Travel SOUTH",
                          "4- Check Inventory      5- Quit"})};
const Room kLeverRoom{2130,
                      false,
                      49,
                      "Health",
                      "Score ",
                      menu({"1- Travel North      2- Travel back to the WEST    3- Examine Levers",
                            "4- Check Inventory   5- Quit"},
                           "What would you like to do ?")};
const Room kLab{2110,
                false,
                49,
                "Health",
                "Score ",
                menu({"1- Travel WEST        2- Examine Work Station     3- Search Desk",
                      "4- Check Inventory    5- Quit"})};

struct At {
    int health;
    int score;
    std::optional<int> air = std::nullopt;
    std::string arrival = ""; // the travel line, "" for none
};

// A room: its header, status block, arrival line and choice rows.
void expectRoom(const replay::Screen& s, const Room& room, const At& at) {
    SCOPED_TRACE("screen " + std::to_string(s.number) + "\n" + s.text());
    int r = 1;
    if (room.header != 0) {
        EXPECT_EQ(s.row(r), "Line " + std::to_string(room.header));
        ++r;
    }
    if (room.blankFirst) {
        EXPECT_EQ(s.row(r), "");
        ++r;
    }
    EXPECT_EQ(s.row(r++), blanks(room.indent) + room.healthLabel + num(at.health));
    EXPECT_EQ(s.row(r++), blanks(room.indent) + room.scoreLabel + num(at.score));
    if (at.air) {
        EXPECT_EQ(s.row(r), blanks(room.indent) + "Air   " + num(*at.air));
        ++r;
    }
    EXPECT_EQ(s.row(r++), "");
    if (at.arrival.empty()) {
        EXPECT_EQ(s.row(r).rfind("You travel ", 0), std::string::npos);
    } else {
        EXPECT_EQ(s.row(r), at.arrival);
    }
    for (const std::string& row : s.rows)
        EXPECT_LT(row.size(), 80u);
    expectTail(s, room.menu);
}

// The Chapter 2 inventory: the items between two rows of 75 asterisks, the
// offers and a bare "? ".
void expectInventory(const replay::Screen& s, const Rows& items, const Rows& offers) {
    Rows want = {std::string(75, '*')};
    want.insert(want.end(), items.begin(), items.end());
    want.push_back(std::string(75, '*'));
    want.push_back("");
    for (const std::string& o : offers) {
        want.push_back(o);
        want.push_back("");
    }
    want.push_back("?");
    SCOPED_TRACE("inventory screen " + std::to_string(s.number));
    expectRows(s, want);
    EXPECT_EQ(s.cursorRow, static_cast<int>(want.size()));
    EXPECT_EQ(s.cursorColumn, 3);
}

const std::string kDrink = "Press 1 to drink Bottled Water, or ENTER to continue.";
const std::string kEatYellow = "Press 2 if you want to eat the Glowing Yellow Mushroom";
const std::string kEatRed = "Press 3 if you want to eat the Glowing Red Mushroom.";

// ---------------------------------------------------------------------------
// Keys

// "1" marks a story as being played, so notes return to their scenes.
const Keys kToFarm = kDeveloperMenu + Keys{"1", "2070"};
// The same without "1": a note read in the story returns to the viewer.
const Keys kToFarmOutsideStory = kDeveloperMenu + Keys{"2070"};
// The developer menu's Chapter 2 items (extinguisher, jar of water, red
// mushroom, scuba gear, dagger), then the farm.
const Keys kToFarmWithItems = kDeveloperMenu + Keys{"1", "2", "2070"};
// From the farm to the fire junction, still burning.
const Keys kFarmToFire = {"1", "3", "1"};
// From the farm: the extinguisher from the supply room, the fire put out,
// the scuba gear taken (air 100), and back to the hall above the stairs.
const Keys kGearToHall = {"2", "2", "2", "", "1", "3", "1", "3", "1", "6",
                          "",  "1", "4", "", "2", "2", "3", "1", "2"};

// ---------------------------------------------------------------------------
// The whole chapter

Check room(const Room& room, At at) {
    return [room, at](const replay::Screen& s) { expectRoom(s, room, at); };
}
Check inventory(Rows items, Rows offers) {
    return [items, offers](const replay::Screen& s) { expectInventory(s, items, offers); };
}
Check pauseOf(int messageRows, std::string first = "",
              std::string prompt = "Press ENTER to continue?") {
    return [=](const replay::Screen& s) {
        expectPause(s, messageRows, prompt);
        if (!first.empty()) {
            EXPECT_EQ(s.row(1), first) << s.text();
        }
    };
}

// The instructions: header, two lines, the four recipes each followed by an
// empty line, three closing lines and the pause.
Check instructions() {
    return [](const replay::Screen& s) {
        EXPECT_EQ(s.row(1), "Line 2115");
        EXPECT_EQ(s.row(4), "");
        EXPECT_EQ(s.row(5), "Red Mushroom + Water = Red Formula  (Shown to enhance ones stamina)");
        EXPECT_EQ(s.row(7), "Yellow Mushroom + Water = Yellow Formula (Thick poison paste)");
        EXPECT_EQ(s.row(9), "Blue Mushroom + Water = Unknown/untested");
        EXPECT_EQ(s.row(11),
                  "Red Mushroom + Yellow Mushroom = Green Mixture (Shown to protect from poison)");
        for (int r : {6, 8, 10, 12, 16})
            EXPECT_EQ(s.row(r), "") << "row " << r << "\n" << s.text();
        for (int r : {2, 3, 13, 14, 15})
            EXPECT_FALSE(s.row(r).empty()) << "row " << r << "\n" << s.text();
        EXPECT_EQ(s.row(17), "Press ENTER to continue?");
        EXPECT_EQ(s.cursorRow, 17);
    };
}

// The lever scene: the drain sign, broken off at "proper", and the pause.
Check levers() {
    return [](const replay::Screen& s) {
        EXPECT_EQ(s.row(1), "Line 2135");
        EXPECT_EQ(s.row(4), "");
        EXPECT_EQ(s.row(5), blanks(21) + "DRAIN RELEASE");
        EXPECT_TRUE(s.row(7).ends_with("proper")) << s.text();
        EXPECT_EQ(s.row(8), "");
        EXPECT_EQ(s.row(9), "Press ENTER to continue?");
        EXPECT_EQ(s.cursorRow, 9);
    };
}

// The satchel with nothing left in it.
Check emptySatchel() {
    return [](const replay::Screen& s) {
        EXPECT_EQ(s.row(1), "Line 2045");
        expectTail(s, {"The satchel appears to be empty.", "", "5- Close Satchel", "",
                       "What would you like to do?"});
    };
}

const Rows kDevItems = {"L.E.D. Flashlight", "Bottled Water", "Glowing Yellow Mushroom",
                        "Pocket Knife"};

TEST(ChapterTwo, EveryRoomFromTheMushroomFarmToTheScoreScreen) {
    const std::string flooded =
        "The stairs to your north are flooded and you do not think can go that way.";
    const std::vector<Step> steps = {
        {"2070", room(kFarm, {100, 0})},
        // The crate: the developer menu's yellow mushroom is already carried.
        {"3",
         [](const replay::Screen& s) {
             EXPECT_NE(s.row(1).rfind("Line", 0), 0u);
             expectTail(s, {"1- Take a Mushroom    2- Back", "", "What would you like to do ?"});
         }},
        {"1", both(pauseOf(1, "You all ready have a Yellow Mushroom."), lacks("Line"))},
        {"", shows("1- Take a Mushroom    2- Back")},
        {"2", room(kFarm, {100, 0})},
        {"2", both(room(kHall, {100, 0, std::nullopt, "You travel NORTH through the tunnel."}),
                   shows(flooded))},
        // The supply room: both items on the shelf, 15 points each.
        {"2", both(room(supplyRoom(true, true), {100, 0}),
                   both(shows("There is a fire extinguisher laying on it that looks like it "
                              "might work."),
                        shows("You also see a empty glass jar laying on the shelf as well.")))},
        {"2", rows({"You take the Fire Extinguisher with you.", "", "Press ENTER to continue?"})},
        {"", both(room(supplyRoom(false, true), {100, 15}), lacks("fire extinguisher laying"))},
        {"3",
         rows({"You reach over and take the Empty Glass Jar.", "", "Press ENTER to continue?"})},
        {"", both(room(supplyRoom(false, false), {100, 30}),
                  shows("There is nothing else of interest in this room."))},
        {"4", inventory({"L.E.D. Flashlight", "Bottled Water", "Glowing Yellow Mushroom",
                         "Fire Extinguisher", "Pocket Knife", "Empty Glass Jar"},
                        {kDrink, kEatYellow})},
        {"", room(supplyRoom(false, false), {100, 30})},
        {"1", room(kHall, {100, 30, std::nullopt, "You travel WEST."})},
        {"3", room(kFarm, {100, 30, std::nullopt, "You travel SOUTH."})},
        {"1", room(kBreakRoom, {100, 30, std::nullopt, "You travel EAST."})},
        {"3", room(kJunction, {100, 30, std::nullopt, "You travel SOUTH."})},
        // The fire, put out with the extinguisher.
        {"1",
         room(fireJunction(true), {100, 30, std::nullopt, "You travel WEST through the tunnel."})},
        {"6", pauseOf(3)},
        {"", both(room(fireJunction(false),
                       {100, 45, std::nullopt, "You travel WEST through the tunnel."}),
                  shows("With the fire put out you can safely travel to your WEST now."))},
        // The bottom of the shaft, which stores "2000".
        {"3", room(kShaftBottom, {100, 45, std::nullopt, "You travel South through the tunnel."})},
        {"1", pauseOf(3)},
        {"", room(kShaftBottom, {100, 45, std::nullopt, "You travel South through the tunnel."})},
        {"3", inventory({"L.E.D. Flashlight", "Bottled Water", "Glowing Yellow Mushroom",
                         "Pocket Knife", "Empty Glass Jar"},
                        {kDrink, kEatYellow})},
        {"", room(kShaftBottom, {100, 45, std::nullopt, "You travel South through the tunnel."})},
        {"2", room(fireJunction(false),
                   {100, 45, std::nullopt, "You travel NORTH through the tunnel."})},
        // The gas tunnel and the scuba gear.
        {"1",
         both(room(gasTunnel(true), {100, 45, std::nullopt, "You travel WEST through the tunnel."}),
              shows("Laying against the wall you notice an old set of Scuba Gear."))},
        {"4", rows({"You pick up the Scuba Gear and take it with you.", "",
                    "Press ENTER to continnue?"})},
        {"", both(room(gasTunnel(false),
                       {100, 60, std::nullopt, "You travel WEST through the tunnel."}),
                  lacks("Scuba Gear."))},
        // The waterfall, its mushrooms and its stream.
        {"1", room(kWaterfall, {100, 60})},
        {"2", both(shows("Line 2035"), shows("1- Pick Mushroom    2- Back"))},
        {"1", pauseOf(2)},
        {"", shows("1- Pick Mushroom    2- Back")},
        {"1", rows({"You are all ready carrying a mushroom", "", "Press ENTER to continue?"})},
        {"", shows("1- Pick Mushroom    2- Back")},
        {"2", room(kWaterfall, {100, 75})},
        {"3", both(shows("Line 2038"), shows("1- Drink Water      2- Collect Water     3- Back"))},
        {"2", pauseOf(2)},
        {"", shows("1- Drink Water      2- Collect Water     3- Back")},
        {"3", room(kWaterfall, {100, 75})},
        {"1",
         room(gasTunnel(false), {100, 75, std::nullopt, "You travel EAST through the tunnel."})},
        {"2",
         room(fireJunction(false), {100, 75, std::nullopt, "You travel EAST through the tunnel."})},
        {"2", room(kJunction, {100, 75, std::nullopt, "You travel EAST."})},
        // The cliff and the satchel: dagger, then envelope and letter.
        {"2", room(kCliff, {100, 75})},
        {"2", both(both(shows("Line 2045"),
                        shows("You see an envelope laying inside the back of the satchel")),
                   both(shows("There is a sharp bronzed dagger located inside the satchel."),
                        shows("1- Take Envelope   2- Take Dagger    5- Close Satchel")))},
        {"2", rows({"You reach over and take the dagger out of the old decayed satchel.", "",
                    "Press ENTER to continue?"})},
        {"", both(shows("1- Take Envelope  5- Close Satchel"), lacks("bronzed dagger"))},
        {"1", both(shows("Line 2058"), shows(blanks(41) + "October 10th"))},
        {"", emptySatchel()},
        {"5", rows({"You close the old decayed satchel.", "", "Press ENTER to continue?"})},
        {"", room(kCliff, {100, 105})},
        {"1", room(kJunction, {100, 105, std::nullopt, "You travel WEST."})},
        {"3", room(kBreakRoom, {100, 105, std::nullopt, "You travel NORTH."})},
        // The fountain fills the jar; at full health it does nothing.
        {"2", both(lacks("Line"), shows("3- Fill Empty Jar"))},
        {"3", rows({"You fill your glass jar up with clean water from the fountain.", "",
                    "Press ENTER to continue?"})},
        {"", lacks("3- Fill Empty Jar")},
        {"1", rows({"You are not thirsty right now and decide against drinking the water.", "",
                    "Press ENTER to continue?"})},
        {"", shows("5- Back")},
        {"5", room(kBreakRoom, {100, 105, std::nullopt, "You travel NORTH."})},
        {"1", room(kFarm, {100, 105, std::nullopt, "You travel WEST."})},
        // The hall now shows the air supply; the dive costs 10.
        {"2", room(kHall, {100, 105, 100, "You travel NORTH through the tunnel."})},
        {"1", rows({"You equip your Scuba Equipment and dive into the water!", "",
                    "Press ENTER to continue?"})},
        {"", room(kLanding,
                  {100, 105, 90, "You travel NORTH as you slowly decend the flooded staircase!"})},
        {"1", rows({"The metal door has no visable hand holds or grip.  Try as you might this door",
                    "has been sealed shut.  It must be opened elsewhere.", "",
                    "Press ENTER to continue?"})},
        {"", room(kLanding,
                  {100, 105, 90, "You travel NORTH as you slowly decend the flooded staircase!"})},
        {"2", room(kLeverRoom, {100, 105, 80, "You travel EAST through the corridor."})},
        {"1", pauseOf(2)},
        {"", room(kLeverRoom, {100, 105, 80, "You travel EAST through the corridor."})},
        // The levers: the sign, then the inventory, then back.
        {"3", levers()},
        {"", inventory({"L.E.D. Flashlight", "Bottled Water", "Glowing Red Mushroom",
                        "Glowing Yellow Mushroom", "Scuba Gear", "Bronze Dagger", "Pocket Knife",
                        "Glass Jar of Water"},
                       {kDrink, kEatYellow, kEatRed})},
        {"", room(kLeverRoom, {100, 105, 80, "You travel EAST through the corridor."})},
        {"2", room(kLanding, {100, 105, 70, "You travel WEST through the corridor."})},
        // Climbing up is free.
        {"3", rows({"You accend the flooded staircase and emerge from the water.  You remove your",
                    "Scuba Gear.", "", "Press ENTER to continue?"})},
        {"", room(kHall, {100, 105, 70, "You travel SOUTH."})},
        {"4", inventory({"L.E.D. Flashlight", "Bottled Water", "Glowing Red Mushroom",
                         "Glowing Yellow Mushroom", "Scuba Gear", "Bronze Dagger", "Pocket Knife",
                         "Glass Jar of Water"},
                        {kDrink, kEatYellow, kEatRed})},
        {"", room(kHall, {100, 105, 70, "You travel SOUTH."})},
        {"9", shows("Are you sure you want to quit, all progress will be lost.")},
        {"2", room(kHall, {100, 105, 70, "You travel SOUTH."})},
        {"9", shows("Are you sure you want to quit, all progress will be lost.")},
        {"1", rows({"", "Your total score for this story is  105", "",
                    "Nice work, but you can do better!", "", "", "Press Enter to Continue.?"})},
        {"", [](const replay::Screen& s) { frame::expectMainMenu(s, {true, false}); }},
    };
    walk(kDeveloperMenu + Keys{"1"}, steps);
}

TEST(ChapterTwo, TheLaboratoryItsDeskAndAMixThatChangesNothing) {
    const Rows desk = {"1- Back", "", "2- Take Note", "", "What would you like to do?"};
    const Rows emptyDesk = {"1- Back", "", "What would you like to do?"};
    const Rows mixingTail = {"2- Yellow Mushroom", "4- Bottle of Water", "10- Leave Work Station",
                             "Press the number of ingredient for Slot 1?"};
    const std::vector<Step> steps = {
        {"2115", instructions()},
        {"",
         [](const replay::Screen& s) {
             EXPECT_NE(s.row(1).rfind("Line", 0), 0u);
             expectTail(s, {"1- Attempt Mixing     2- Read instructions     3- Back", "",
                            "What would you like to do?"});
         }},
        {"3", room(kLab, {100, 0})},
        {"3", both(shows("You notice a letter in one of the drawers of the desk."),
                   [desk](const replay::Screen& s) {
                       EXPECT_EQ(s.row(1), "Line 2118");
                       expectTail(s, desk);
                   })},
        {"2", rows({"2119", "Yippie you got note 5!", "", "Press ENTER to continue?"})},
        {"", both(shows("The desk has nothing of interest in it."),
                  [emptyDesk](const replay::Screen& s) { expectTail(s, emptyDesk); })},
        // "2" is still taken, though no longer offered.
        {"2", rows({"2119", "Yippie you got note 5!", "", "Press ENTER to continue?"})},
        {"", shows("The desk has nothing of interest in it.")},
        {"1", room(kLab, {100, 0})},
        {"2", shows("1- Attempt Mixing     2- Read instructions     3- Back")},
        {"1",
         [mixingTail](const replay::Screen& s) {
             EXPECT_EQ(s.row(1), "Line 2117");
             EXPECT_EQ(s.row(7), zoned("Slot 1", "Slot 2"));
             EXPECT_EQ(s.row(8), zoned("Empty", "Empty"));
             expectTail(s, mixingTail);
         }},
        {"4",
         [mixingTail](const replay::Screen& s) {
             EXPECT_EQ(s.row(8), zoned("Bottle of Water", "Empty"));
             Rows tail = mixingTail;
             tail.back() = "Press the number of ingredient for Slot 2?";
             expectTail(s, tail);
         }},
        {"2", rows({"", zoned("Bottle of Water", "Yellow Mushroom"), "1- Yes         2- No", "",
                    "Are you sure you wish to combine these two items??"})},
        {"yes", instructions()},
        {"", shows("1- Attempt Mixing")},
        {"3", room(kLab, {100, 0})},
        {"4", inventory(kDevItems, {kDrink, kEatYellow})},
        {"", room(kLab, {100, 0})},
        {"5", shows("Are you sure you want to quit")},
        {"1", shows("Your total score for this story is  0")},
        {"", nullptr},
        {"6", rows(frame::notesRows(false, false, false, false, true))},
    };
    walk(kDeveloperMenu + Keys{"1"}, steps);
}

// ---------------------------------------------------------------------------
// Colours

// An answer and, on the screen after it, the colour of the first text on
// each of the rows given.
struct Colour {
    std::string answer;
    std::vector<std::pair<int, int>> rows; // row, colour
};

void expectColours(const Keys& prefix, const std::vector<Colour>& steps) {
    Keys answers = prefix;
    for (const Colour& c : steps)
        answers.push_back(c.answer);
    replay::Result r = replay::runWithAttributes(script(answers));
    ASSERT_EQ(r.screens.size(), answers.size() + 2) << r.output;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const replay::Screen& s = after(r, prefix.size() + i + 1);
        for (const auto& [row, colour] : steps[i].rows) {
            std::size_t text = s.row(row).find_first_not_of(' ');
            ASSERT_NE(text, std::string::npos) << "step " << i + 1 << "\n" << s.text();
            EXPECT_EQ(s.attribute(row, static_cast<int>(text) + 1), colour)
                << "step " << i + 1 << " (answer \"" << steps[i].answer << "\"), row " << row
                << "\n"
                << s.text();
        }
    }
}

TEST(ChapterTwoColours, TheUpperTunnels) {
    // clang-format off
    expectColours(kDeveloperMenu + Keys{"1"},
                  {
                      {"2070", {{1, 13}}}, // farm
                      {"3", {{1, 14}}}, // crate
                      {"2", {{1, 13}}},
                      {"1", {{1, 11}}}, // break room
                      {"2", {{1, 3}}}, // fountain
                      {"5", {{1, 11}}},
                      {"3", {{1, 5}}}, // junction
                      {"1", {{1, 12}}}, // the fire burning
                      {"1", {{1, 4}}}, // the burn
                      {"", {{1, 12}}},
                      {"3", {{1, 15}}}, // shaft bottom
                      {"1", {{1, 15}}}, // the climb keeps the colour
                      {"", {{1, 15}}},
                      {"3", {{1, 14}}}, // inventory
                      {"", {{1, 15}}},
                      {"2", {{1, 12}}},
                      {"2", {{1, 5}}},
                      {"2", {{1, 2}}}, // cliff
                      {"2", {{1, 14}}}, // satchel
                      {"5", {{1, 8}}}, // closing it
                      {"", {{1, 2}}},
                  });
    // clang-format on
    // With the extinguisher: the fire goes out and the junction turns brown.
    // clang-format off
    expectColours(kToFarmWithItems + kFarmToFire,
                  {
                      {"6", {{1, 14}}},
                      {"", {{1, 6}}},
                      {"1", {{1, 10}}}, // gas tunnel
                      {"3", {{1, 14}}},
                      {"", {{1, 10}}},
                      {"1", {{1, 9}}}, // waterfall
                      {"2", {{1, 12}}}, // red mushrooms
                      {"1", {{1, 12}}}, // already carrying one: the colour stays
                      {"", {{1, 12}}},
                      {"2", {{1, 9}}},
                      {"3", {{1, 3}}}, // stream
                      {"1", {{1, 4}}}, // the drink
                      {"", {{1, 3}}},
                      {"2", {{1, 3}}},
                  });
    // clang-format on
}

TEST(ChapterTwoColours, TheFloodedStairsAndTheLaboratory) {
    // clang-format off
    expectColours(kToFarm + kGearToHall,
                  {
                      {"4", {{1, 14}}},
                      {"", {{1, 11}}}, // hall
                      {"2", {{1, 15}}}, // supply room
                      {"1", {{1, 11}}},
                      {"1", {{1, 11}}}, // the dive keeps the colour
                      {"", {{1, 9}}}, // landing
                      {"1", {{1, 9}}}, // its door keeps it too
                      {"", {{1, 9}}},
                      {"2", {{1, 9}}}, // lever room
                      {"1", {{1, 15}}}, // its door
                      {"", {{1, 9}}},
                      {"3", {{1, 9}}}, // levers
                      {"", {{1, 14}}},
                      {"", {{1, 9}}},
                      {"2", {{1, 9}}},
                      {"3", {{1, 15}}}, // climbing out
                      {"", {{1, 11}}},
                  });
    // clang-format on
    // The mixing screen: the explanation white, the slot names green, their
    // contents bright cyan, the ingredients yellow, the prompt brown; then
    // the confirmation in green, red and white.
    const std::vector<std::pair<int, int>> mixing = {{1, 15}, {2, 15},  {7, 10}, {8, 11},
                                                     {9, 14}, {13, 14}, {14, 6}};
    // clang-format off
    expectColours(kDeveloperMenu + Keys{"1", "2"},
                  {
                      {"2115", {{1, 15}}}, // instructions
                      {"", {{1, 6}}}, // work station
                      {"3", {{1, 6}}}, // laboratory
                      {"4", {{1, 14}}},
                      {"", {{1, 6}}},
                      {"2", {{1, 6}}},
                      {"1", mixing},
                      {"3", mixing},
                      {"1", {{2, 10}, {3, 4}, {5, 15}}},
                      {"1", {{1, 15}}},
                      {"", {{1, 6}}},
                      {"3", {{1, 6}}},
                      {"3", {{1, 14}}}, // desk
                      {"2", {{1, 14}, {2, 14}}},
                  });
    // clang-format on
}

// ---------------------------------------------------------------------------
// The fire junction

TEST(FireJunction, WalkingIntoTheFireAtFiftyHealthKillsWithoutAnotherPrompt) {
    const Rows burn = {
        "You attempt to step through the fire and are burned for 50 points of damage!",
        "You will have to put this fire out before you can get through here.", "",
        "Press ENTER to continue?"};
    walk(kToFarm + kFarmToFire,
         {
             {"1", rows(burn)},
             {"", room(fireJunction(false),
                       {50, 0, std::nullopt, "You travel WEST through the tunnel."})},
             {"1", rows(burn)},
             // No fire junction in between: the burn death follows at once.
             {"", pauseOf(3)},
             {"", rows({"", "Your total score for this story is  0", "",
                        "You can do better than that!", "", "", "Press Enter to Continue.?"})},
         });
}

TEST(FireJunction, TheUsedExtinguisherLeavesOnlyQuitAndTheWayWest) {
    walk(kToFarmWithItems + kFarmToFire,
         {
             {"6", pauseOf(3)},
             {"", room(fireJunction(false),
                       {100, 15, std::nullopt, "You travel WEST through the tunnel."})},
             // "6" no longer does anything.
             {"6", room(fireJunction(false),
                        {100, 15, std::nullopt, "You travel WEST through the tunnel."})},
             {"1", room(gasTunnel(false),
                        {100, 15, std::nullopt, "You travel WEST through the tunnel."})},
         });
}

TEST(GasTunnel, FiveAndNineBothQuit) {
    Keys toTunnel = kToFarmWithItems + kFarmToFire + Keys{"6", "", "1"};
    walk(toTunnel, {
                       {"5", shows("Are you sure you want to quit")},
                       {"2", room(gasTunnel(false),
                                  {100, 15, std::nullopt, "You travel WEST through the tunnel."})},
                       {"9", shows("Are you sure you want to quit")},
                       {"3", shows("Are you sure you want to quit")},
                       {"2", room(gasTunnel(false),
                                  {100, 15, std::nullopt, "You travel WEST through the tunnel."})},
                       // "4" without gear to take shows the tunnel again.
                       {"4", room(gasTunnel(false),
                                  {100, 15, std::nullopt, "You travel WEST through the tunnel."})},
                   });
}

// ---------------------------------------------------------------------------
// The waterfall cavern

TEST(Waterfall, TheRedMushroomGivesOneHundredTwentyFiveAndAnotherCanBePicked) {
    Keys toCavern = kToFarmWithItems + kFarmToFire + Keys{"6", "", "1", "1"};
    walk(
        toCavern,
        {
            {"4", inventory({"L.E.D. Flashlight", "Bottled Water", "Glowing Red Mushroom",
                             "Glowing Yellow Mushroom", "Scuba Gear", "Bronze Dagger",
                             "Pocket Knife", "Glass Jar of Water"},
                            {kDrink, kEatYellow, kEatRed})},
            {"3",
             rows({"You decide to eat the Glowing Red Mushroom.  It tastes terrible but you feel",
                   "better than ever!  You now have 125 health!", "", "Press Enter to continue?"})},
            {"", room(kWaterfall, {125, 15})},
            // Water does not help above 99.
            {"4", inventory({"L.E.D. Flashlight", "Bottled Water", "Glowing Yellow Mushroom",
                             "Scuba Gear", "Bronze Dagger", "Pocket Knife", "Glass Jar of Water"},
                            {kDrink, kEatYellow})},
            {"1", rows({"Drinking water will not help you at this time!", "",
                        "Press Enter to continue?"})},
            {"", room(kWaterfall, {125, 15})},
            {"2", shows("1- Pick Mushroom")},
            {"1", pauseOf(2)},
            {"", shows("1- Pick Mushroom")},
            {"2", room(kWaterfall, {125, 30})},
        });
}

TEST(Waterfall, TheStreamAtTwentyFiveHealthKillsAfterTheNextAnswer) {
    // A burn leaves 50; the extinguisher opens the way west.
    Keys toCavern = kToFarmWithItems + kFarmToFire + Keys{"1", "", "6", "", "1", "1", "3"};
    walk(toCavern, {
                       {"1", pauseOf(2)},
                       {"", shows("1- Drink Water")},
                       {"3", room(kWaterfall, {25, 15})},
                       {"3", shows("1- Drink Water")},
                       // At 25 the drink brings health to 0, yet the stream is
                       // shown once more ...
                       {"1", pauseOf(2)},
                       {"", both(shows("1- Drink Water"), shows("Line 2038"))},
                       // ... and its next answer, whatever it is, ends the story.
                       {"3", pauseOf(3)},
                       {"", shows("Your total score for this story is  15")},
                   });
}

// ---------------------------------------------------------------------------
// The satchel and note 4

TEST(Satchel, TheLetterReadInAStoryOutsideInStoryReturnsToTheNotesViewer) {
    // Without the developer menu's "1" the story does not count as one, so
    // the letter goes back to the notes viewer, which replays it later.
    Keys toSatchel = kToFarmOutsideStory + Keys{"1", "3", "2", "2"};
    const replay::Result r =
        walk(toSatchel, {
                            {"1", shows(blanks(41) + "October 10th")},
                            {"", rows(frame::notesRows(false, false, false, true, false))},
                            {"4", shows(blanks(41) + "October 10th")},
                            {"", rows(frame::notesRows(false, false, false, true, false))},
                        });
    // The letter: the date, a greeting, three paragraphs, the closing and
    // the signature with blank lines between the parts.
    const replay::Screen& letter = after(r, toSatchel.size() + 1);
    EXPECT_EQ(letter.row(1), "Line 2058");
    EXPECT_EQ(letter.row(3), "");
    EXPECT_EQ(letter.row(letter.cursorRow), "Press ENTER to continue?");
    for (const std::string& row : letter.rows)
        EXPECT_LT(row.size(), 80u);
}

TEST(Satchel, EachOfItsFourStates) {
    Keys toSatchel = kToFarm + Keys{"1", "3", "2", "2"};
    walk(toSatchel,
         {
             {"1", shows("October 10th")},
             // Envelope gone, dagger there.
             {"", both(shows("2- Take Dagger    5- Close Satchel"), lacks("You see an envelope"))},
             // "1" again does nothing.
             {"1", shows("2- Take Dagger    5- Close Satchel")},
             {"2", pauseOf(1)},
             {"", emptySatchel()},
             {"2", shows("The satchel appears to be empty.")},
             {"5", pauseOf(1, "You close the old decayed satchel.")},
             {"", room(kCliff, {100, 30})},
         });
    // Dagger first: the envelope's own row.
    walk(toSatchel,
         {
             {"2", pauseOf(1)},
             {"", both(shows("1- Take Envelope  5- Close Satchel"), lacks("bronzed dagger"))},
         });
}

// ---------------------------------------------------------------------------
// The fountain and the crate

TEST(Fountain, HealsUpToOneHundredAndLeavesOneHundredTwentyFiveAlone) {
    // A burn leaves 50; the break room's fountain heals it.
    Keys toFountain = kToFarm + kFarmToFire + Keys{"1", "", "2", "3", "2"};
    walk(toFountain,
         {
             {"1",
              rows({"You take a drink from the fountain.  You feel your energy return and your",
                    "wounds heal.  You return to 100 health.", "", "Press ENTER to continue?"})},
             {"", shows("1- Drink Water")},
             {"5", room(kBreakRoom, {100, 0, std::nullopt, "You travel NORTH."})},
         });
    // The bottle drunk at 50 is filled again; the red mushroom's 125 stays.
    Keys withBottle =
        kToFarmWithItems + kFarmToFire + Keys{"1", "", "4", "1", "", "", "2", "3", "4", "3", ""};
    walk(withBottle,
         {
             {"2",
              [](const replay::Screen& s) {
                  expectTail(s, {"1- Drink Water", "", "2- Fill Empty Water Bottle", "", "5- Back",
                                 "", "What would you like to do?"});
              }},
             {"2", pauseOf(1, "You fill the empty bottle back up with clean water from the "
                              "fountain.")},
             {"", lacks("2- Fill Empty Water Bottle")},
             {"1", pauseOf(1, "You are not thirsty right now and decide against drinking the "
                              "water.")},
             {"", shows("1- Drink Water")},
             {"5", room(kBreakRoom, {125, 0, std::nullopt, "You travel NORTH."})},
         });
}

TEST(MushroomCrate, GivesAYellowMushroomWhenNoneIsCarriedForNoPoints) {
    walk(kToFarm, {
                      {"4", inventory(kDevItems, {kDrink, kEatYellow})},
                      {"2", rows({"You eat the Slimy Yellow Mushroom and take 25 points of damage, "
                                  "it was poison!",
                                  "", "Press ENTER to continue?"})},
                      {"", room(kFarm, {75, 0})},
                      {"3", shows("1- Take a Mushroom")},
                      {"1", pauseOf(2)},
                      {"", shows("1- Take a Mushroom")},
                      {"2", room(kFarm, {75, 0})},
                      {"4", inventory(kDevItems, {kDrink, kEatYellow})},
                      // The water heals 75 back to 100 and shows the list again.
                      {"1", rows({"You drink the water and regain your health", "?"})},
                      {"", inventory({"L.E.D. Flashlight", "Empty Bottle",
                                      "Glowing Yellow Mushroom", "Pocket Knife"},
                                     {kEatYellow})},
                      {"", room(kFarm, {100, 0})},
                  });
}

TEST(ChapterTwoInventory, PoisonAtTwentyFiveHealthOpensThePoisonDeath) {
    // Three tries at the stairs leave 25.
    walk(kToFarm + Keys{"2", "1", "", "1", "", "1", ""},
         {
             {"4", inventory(kDevItems, {kDrink, kEatYellow})},
             {"2", pauseOf(1)},
             {"", shows("Line 610")},
             {"", shows("Your total score for this story is  0")},
         });
}

// ---------------------------------------------------------------------------
// The flooded stairs and the air supply

TEST(FloodedStairs, WithoutGearEachTryCostsTwentyFiveAndTheFourthDrowns) {
    const Rows tooDeep = {
        "You attempt to go down the flooded staircase.  The water is just too deep!",
        "Almost out of air you rush back to the surface of the water.  You take 25",
        "points of damage!", "", "Press ENTER to continue?"};
    const std::string north = "You travel NORTH through the tunnel.";
    walk(kToFarm + Keys{"2"}, {
                                  {"1", rows(tooDeep)},
                                  {"", room(kHall, {75, 0, std::nullopt, north})},
                                  {"1", rows(tooDeep)},
                                  {"", room(kHall, {50, 0, std::nullopt, north})},
                                  {"1", rows(tooDeep)},
                                  {"", room(kHall, {25, 0, std::nullopt, north})},
                                  {"1", rows(tooDeep)},
                                  // The hall is not shown again: the drowning screen replaces it.
                                  {"", pauseOf(3)},
                                  {"", shows("Your total score for this story is  0")},
                              });
}

TEST(FloodedStairs, NineUnderwaterMovesAndTheTenthEndsTheStory) {
    Keys moves = kToFarm + kGearToHall + Keys{"1", ""};
    for (int i = 0; i < 8; ++i)
        moves.push_back("2");
    replay::Result r = walk(moves, {
                                       // 10 air left after nine moves; the tenth drowns.
                                       {"2", pauseOf(3)},
                                       {"", shows("Your total score for this story is  45")},
                                   });
    // Air after each move: 90 on the landing, then 80, 70 ... 10.
    std::size_t landing = kToFarm.size() + kGearToHall.size() + 2;
    for (int i = 0; i <= 8; ++i) {
        const replay::Screen& s = after(r, landing + static_cast<std::size_t>(i));
        bool lever = i % 2 == 1;
        expectRoom(s, lever ? kLeverRoom : kLanding,
                   {100, 45, 90 - 10 * i,
                    i == 0  ? "You travel NORTH as you slowly decend the flooded staircase!"
                    : lever ? "You travel EAST through the corridor."
                            : "You travel WEST through the corridor."});
    }
}

TEST(FloodedStairs, ClimbingUpIsFreeAndADiveWithTenAirLeftEndsAtTheLanding) {
    Keys toHall = kToFarm + kGearToHall;
    Keys moves = toHall + Keys{"1", "", "3", "", "1", ""};
    replay::Result r = walk(
        moves, {
                   {"2", room(kLeverRoom, {100, 45, 70, "You travel EAST through the corridor."})},
               });
    expectRoom(after(r, toHall.size() + 4), kHall, {100, 45, 90, "You travel SOUTH."});
    expectRoom(after(r, toHall.size() + 6), kLanding,
               {100, 45, 80, "You travel NORTH as you slowly decend the flooded staircase!"});

    // Down to 10 air, back up (free), and one more dive.
    Keys down = toHall + Keys{"1", ""};
    for (int i = 0; i < 8; ++i)
        down.push_back("2");
    walk(down, {
                   {"3", pauseOf(2)},
                   {"", room(kHall, {100, 45, 10, "You travel SOUTH."})},
                   {"1", pauseOf(1, "You equip your Scuba Equipment and dive into the water!")},
                   {"", pauseOf(3)},
                   {"", shows("Your total score for this story is  45")},
               });
}

TEST(FloodedStairs, TheLeversShowTheSignThenTheInventoryThenTheLeverRoom) {
    Keys toLevers = kToFarm + kGearToHall + Keys{"1", "", "2"};
    replay::Result r =
        walk(toLevers,
             {
                 {"3", levers()},
                 {"", inventory({"L.E.D. Flashlight", "Bottled Water", "Glowing Yellow Mushroom",
                                 "Scuba Gear", "Pocket Knife"},
                                {kDrink, kEatYellow})},
                 {"", room(kLeverRoom, {100, 45, 80, "You travel EAST through the corridor."})},
                 {"3", nullptr},
                 {"", nullptr},
                 // The drink is taken from the inventory the levers opened.
                 {"2", pauseOf(1)},
                 {"", room(kLeverRoom, {75, 45, 80, "You travel EAST through the corridor."})},
             });
    EXPECT_EQ(after(r, toLevers.size() + 4).row(1), "Line 2135");
}

TEST(SupplyRoom, TheDeveloperJumpWithTheChapterTwoItemsFindsTheShelfEmpty) {
    walk(kDeveloperMenu + Keys{"2"},
         {
             {"2100", both(room(supplyRoom(false, false), {100, 0}),
                           shows("There is nothing else of interest in this room."))},
             {"2", room(supplyRoom(false, false), {100, 0})},
             {"1", room(kHall, {100, 0, 0, "You travel WEST."})},
         });
}

// ---------------------------------------------------------------------------
// The mixing station

TEST(MixingStation, TenAtEitherSlotLeavesWithoutAConfirmation) {
    Keys toStation = kDeveloperMenu + Keys{"2", "2115", ""};
    const Rows station = {"1- Attempt Mixing     2- Read instructions     3- Back", "",
                          "What would you like to do?"};
    auto atStation = [station](const replay::Screen& s) { expectTail(s, station); };
    walk(toStation,
         {
             {"1",
              [](const replay::Screen& s) {
                  expectTail(s, {"1- Red Mushroom", "2- Yellow Mushroom", "3- Glass Jar of Water",
                                 "4- Bottle of Water", "10- Leave Work Station",
                                 "Press the number of ingredient for Slot 1?"});
              }},
             {"10", atStation},
             {"1", shows("Slot 1")},
             {"1", both(shows(zoned("Red Mushroom", "Empty")),
                        shows("Press the number of ingredient for Slot 2?"))},
             {"10", atStation},
             // The slots start empty again.
             {"1", shows(zoned("Empty", "Empty"))},
         });
}

TEST(MixingStation, UnheldItemsGiveEmptyAndNeitherAnswerChangesAnything) {
    // Without the developer menu's "2": no red mushroom, no jar.
    Keys toStation = kDeveloperMenu + Keys{"2115", "", "1"};
    const Rows items = kDevItems;
    walk(toStation,
         {
             {"1", shows(zoned("empty", "Empty"))},
             {"2", rows({"", zoned("empty", "Yellow Mushroom"), "1- Yes         2- No", "",
                         "Are you sure you wish to combine these two items??"})},
             {"No", instructions()},
             {"", nullptr},
             {"1", nullptr},
             {"2", nullptr},
             {"2", rows({"", zoned("Yellow Mushroom", "Yellow Mushroom"), "1- Yes         2- No",
                         "", "Are you sure you wish to combine these two items??"})},
             {"1", instructions()},
             {"", nullptr},
             {"1", nullptr},
             {"Red Mushroom", shows(zoned("empty", "Empty"))},
             {"x", rows({"", zoned("empty", "empty"), "1- Yes         2- No", "",
                         "Are you sure you wish to combine these two items??"})},
             {"maybe", instructions()},
             {"", nullptr},
             {"3", room(kLab, {100, 0})},
             {"4", inventory(items, {kDrink, kEatYellow})},
         });
}

// ---------------------------------------------------------------------------
// Note 5 and the notes viewer

TEST(Desk, NoteFiveOutsideAStoryReturnsToTheNotesViewerAndReplaysThere) {
    walk(kDeveloperMenu + Keys{"2115", "", "3", "3"},
         {
             {"2", rows({"2119", "Yippie you got note 5!", "", "Press ENTER to continue?"})},
             {"", rows(frame::notesRows(false, false, false, false, true))},
             {"5", rows({"2119", "Yippie you got note 5!", "", "Press ENTER to continue?"})},
             {"", rows(frame::notesRows(false, false, false, false, true))},
         });
}

} // namespace

#endif // GLIMMER_REPLAY
