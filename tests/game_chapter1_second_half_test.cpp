// The second half of Chapter 1 played through the replay driver: the
// foreman's office, the junction, the greenhouse, the dead end with the key,
// the spider corridor and lair, the spider fight, the elevator shaft with its
// password and the poison death screen.
//
// The whole chapter is played from the main menu to the score screen with
// every status block of the second half checked; then once per combination
// of the three notes, with the password it prints typed into a fresh run.
// The rest are the cases where a wrong order of tests, a wrong amount or a
// flag set at the wrong moment would show: the office door's three states,
// the smoke bomb and key that come back, the junction after the glowing
// object, the dead end's shifting menu, knife and fist fights, the smoke
// cover's two turns, rod throws, mixing and poisoning, a defeat with the
// poison still acting, the lair after the win and the poison death.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/game_walk.h"
#include "tests/support/replay.h"

#ifdef GLIMMER_REPLAY

namespace {

using namespace frame;

// The status block and the empty line after it.
void expectStatusBlock(const replay::Screen& s, const Status& want) {
    expectStatus(s, want);
    int r = statusRowOf(s);
    if (r != 0) {
        EXPECT_EQ(s.row(r + 2), "") << "screen " << s.number;
    }
}

const std::string kEquals75(75, '=');
const std::string kEquals76(76, '=');
const std::string kItemsHeading = std::string(25, ' ') + "Current Items";

// The fight screen's health row: the spider's number, the next 14-column
// print zone, 23 blanks and the player's number.
std::string healthRow(int spider, int player) {
    std::string row = "Spider's Health " + num(spider) + " ";
    row.resize(28, ' ');
    return row + std::string(23, ' ') + "Player Health " + num(player);
}

struct Fight {
    int spider;
    int player;
    bool knife = true;
    bool smoke = false;
    bool poisoned = false;
};

// The whole fight screen.
std::vector<std::string> fightRows(const Fight& f) {
    std::vector<std::string> rows = {kEquals75, "", healthRow(f.spider, f.player), "", ""};
    if (f.knife) rows.push_back("You have equiped your pocket knife and stand ready to fight.");
    if (f.smoke) {
        rows.push_back(
            "A cloud of smoke surrounds the large spider.  It is unable to see you right now.");
    }
    if (f.poisoned) rows.push_back("The spider looks weakened from the effects of the poison.");
    if (f.spider <= 25) {
        rows.push_back(
            "The spider is barely able to stand from the wounds you have inflicted on it.");
        rows.push_back("While it is near death it still has the will to fight!");
    }
    if (f.spider >= 100 && !f.smoke) {
        rows.push_back("The spider looks angry and ready to attack at any moment.");
    }
    for (const char* r :
         {"", "=", "", f.knife ? "1- Attack spider with knife" : "1- Attack spider with fist", "",
          "2- Combine Items", "", "3- Use Item", "", "4- Quit Game", "", "What is your choice?"}) {
        rows.push_back(std::string(r) == "=" ? kEquals75 : r);
    }
    return rows;
}

void expectFight(const replay::Screen& s, const Fight& f) {
    SCOPED_TRACE("fight screen " + std::to_string(s.number) + "\n" + s.text());
    expectRows(s, fightRows(f));
}

// An attack turn: the blow, the spider's answer and the poison.
enum class Answer { Strike, Smoke };
void expectAttack(const replay::Screen& s, bool knife, Answer answer, bool poison) {
    SCOPED_TRACE("attack screen " + std::to_string(s.number) + "\n" + s.text());
    std::vector<std::string> rows = {"", kEquals76,
                                     knife ? "You slash the spider with your knife doing 25 "
                                             "points of damage."
                                           : "You punch the spider for 10 points of damage.",
                                     ""};
    if (answer == Answer::Smoke) {
        rows.push_back(
            "The spider lets out a loud high pitched shrill as it randomly attacks empty");
        rows.push_back("air.  It is unable to hit you due to the smoke clouding its vision");
    } else {
        rows.push_back("The spider strikes you for 25 points of damage.");
    }
    rows.push_back("");
    if (poison) {
        rows.push_back("The spider takes an additional 10 points of damage from the poison");
        rows.push_back("");
    }
    for (const std::string& r :
         {std::string(), kEquals76, std::string(), std::string("Press ENTER to continue?")}) {
        rows.push_back(r);
    }
    expectRows(s, rows);
}

// ---------------------------------------------------------------------------
// Keys

// The first half, from the main menu to the office hallway: knife, water,
// newspaper, flashlight and gummie bears, the raft, the rod, the lighter and
// notes 1 and 2 (200 points there). The notes can be left out.
const Keys kToBunkRoom = {"1", "6", "2", "",  "3", "",  "1", "2", "2", "4", "",  "1", "", "1",
                          "1", "",  "",  "4", "2", "2", "",  "3", "",  "6", "1", "",  "2"};
const Keys kNote1 = {"1", "", ""};
const Keys kBunkRoomToLunchbox = {"3", "3", "2", "2", "",  "1", "3", "2", "2", "",  "1", "1", "1",
                                  "1", "",  "2", "",  "1", "3", "3", "1", "",  "2", "2", "1", ""};
const Keys kNote2 = {"2", ""};
const Keys kLunchboxToOfficeHallway = {"3", "1", "1", "2"};

Keys firstHalf(bool note1 = true, bool note2 = true) {
    return kToBunkRoom + (note1 ? kNote1 : Keys{}) + kBunkRoomToLunchbox +
           (note2 ? kNote2 : Keys{}) + kLunchboxToOfficeHallway;
}

// From the office hallway (480).
const Keys kLockedDoor = {"2", ""};                   // back at 480
const Keys kFetchKey = {"3", "3", "2", "", "1", "1"}; // 500, 510, the key, back to 480
const Keys kOpenOffice = {"2", ""};                   // the key opens the door: office
const Keys kDeskBomb = {"2", "2", ""};                // desk, the bomb, desk
const Keys kNote3 = {"1", "", ""};                    // drawer, letter, desk
// Desk, office, hallway, junction, greenhouse, the mushroom, junction,
// corridor, lair.
const Keys kDeskToLair = {"3", "1", "3", "2", "4", "1", "", "1", "4", "2"};
const Keys kIntoFight = {"2", ""};
// Mix and apply, light the bomb, the poisoned rod in the smoke, three slashes.
const Keys kBestFight = {"2", "1", "", "2", "", "5", "3", "1", "",
                         "3", "4", "", "1", "", "1", "",  "1", ""};
// The spider's death, down the shaft, the chapter screen and the score screen.
const Keys kEnding = {"", "2", "", "", "", ""};

Keys wholeChapter(bool note1, bool note2, bool note3) {
    return firstHalf(note1, note2) + kLockedDoor + kFetchKey + kOpenOffice + kDeskBomb +
           (note3 ? kNote3 : Keys{}) + kDeskToLair + kIntoFight + kBestFight + kEnding;
}

// The developer menu's jump into the lair, then into the fight.
Keys developerFight(const Keys& extraWords = {}) {
    return kDeveloperMenu + extraWords + Keys{"530", "2", ""};
}

// ---------------------------------------------------------------------------
// The whole chapter

// The screen shows the marker and the status block given, or none.
Check at(std::string marker, std::optional<Status> status) {
    return [marker, status](const replay::Screen& s) {
        EXPECT_TRUE(s.contains(marker)) << marker << "\n" << s.text();
        if (status) {
            expectStatusBlock(s, *status);
        } else {
            EXPECT_EQ(statusRowOf(s), 0) << s.text();
        }
    };
}

TEST(ChapterOneSecondHalf, WholeChapterFromTheMainMenuToTheScoreScreen) {
    const Keys first = firstHalf();
    const std::vector<Step> steps = {
        {first.back(), at("You continue EAST moving deeper into the mine.", Status{52, 100, 200})},
        // The locked door, then the knife-pry option is offered.
        {"2", at("Your going to need a key to enter this room.", std::nullopt)},
        {"", at("4- Attempt to pry door with knife", Status{52, 100, 200})},
        // Junction, dead end, the key.
        {"3", at("You travel EAST.", Status{48, 100, 200})},
        {"3", at("You notice an old rusted key laying on the ground near the wall.",
                 Status{49, 100, 200})},
        {"2", at("You bend over and pick the rusty old key up off the ground.", std::nullopt)},
        {"", at("1- Travel back NORTH     2- Check Inventory     3- Quit", Status{49, 100, 210})},
        {"1", at("You travel NORTH.", Status{48, 100, 210})},
        {"1", at("You continue to travel WEST through the mines.", Status{52, 100, 210})},
        // The key opens the office.
        {"2", at("Press Enter to continue", std::nullopt)},
        {"", at("1- Exit Room           2- Examine Desk       3- Search Cabinet",
                Status{55, 100, 220})},
        {"2", at("Laying on the floor under the desk you see a large smoke bomb.",
                 Status{50, 100, 220})},
        {"2", at("You pick the smoke bomb up off the floor.", std::nullopt)},
        {"", at("Otherwise you do not see anything else of interest.", Status{50, 100, 230})},
        {"1", at("Press ENTER to continue", std::nullopt)},
        {"", at("August 4th, 1945", std::nullopt)},
        {"", at("1- Search Drawer", Status{50, 100, 245})},
        {"3", at("4- Check Inventory     5- Quit", Status{55, 100, 245})},
        {"1", at("You travel SOUTH exiting the Foreman's Office.", Status{52, 100, 245})},
        // Greenhouse and the mushroom.
        {"3", at("You travel EAST.", Status{48, 100, 245})},
        {"2", at("4- Inspect Glowing Object       5- Quit", Status{49, 100, 245})},
        {"4", at("1- Take Mushroom        2- Back", std::nullopt)},
        {"1", at("Press ENTER to continue", std::nullopt)},
        {"", at("You do not see anything else of interest in this room.", Status{49, 100, 245})},
        {"1", at("You travel WEST.", Status{48, 100, 245})},
        // Corridor, lair, the fight.
        {"4", at("You begin to travel NORTH even deeper into the mine.  As you continue down",
                 Status{49, 100, 245})},
        {"2", at("1- Travel EAST   2- Go to Elevator Shaft   3- Check Inventory    4- Quit",
                 Status{49, 100, 245})},
        {"2", at("Press ENTER to continue", std::nullopt)},
        {"", at(healthRow(150, 100), std::nullopt)},
        {"2", at("1- Mix Mushroom with Water", std::nullopt)},
        {"1", at("Press ENTER to continue", std::nullopt)},
        {"", at("2- Apply Glowing Concotion to Metal Rod", std::nullopt)},
        {"2", at("You apply the thick concoction to the Sharp Metal Rod.", std::nullopt)},
        {"", at("Poisoned Sharp Metal Rod", std::nullopt)},
        {"5", at(healthRow(150, 100), std::nullopt)},
        {"3", at("1- Smoke Bomb", std::nullopt)},
        {"1", at("Keep in mind this smoke cloud won't last forever...", std::nullopt)},
        {"", at(healthRow(150, 100), std::nullopt)},
        {"3", at("4- Poisoned Sharp Metal Rod", std::nullopt)},
        {"4", at("Press ENTER to continue", std::nullopt)},
        {"", at(healthRow(100, 100), std::nullopt)},
        {"1", at("It is unable to hit you due to the smoke clouding its vision", std::nullopt)},
        {"", at(healthRow(65, 100), std::nullopt)},
        {"1", at("The spider strikes you for 25 points of damage.", std::nullopt)},
        {"", at(healthRow(30, 75), std::nullopt)},
        {"1",
         at("The spider takes an additional 10 points of damage from the poison", std::nullopt)},
        // The spider's death (+30), the lair after the fight, the shaft (+50).
        {"", at("Press ENTER to continue", std::nullopt)},
        {"", at("1- Travel EAST   2- Go to Elevator Shaft   3- Check Inventory    4- Quit",
                Status{49, 50, 320})},
        {"2", at("Press ENTER to continue", std::nullopt)},
        {"", at("Press ENTER to continue", std::nullopt)},
        {"", at("Your total score for Chapter One is  370", std::nullopt)},
        {"", at("Your total score for this story is  370", std::nullopt)},
        {"", at("  2- Chapter 2 - The Plunge (Unlocked)", std::nullopt)},
    };
    // The first half's last answer leads to the first step's screen.
    replay::Result r = walk(Keys(first.begin(), first.end() - 1), steps);
    // The crossroad, whose status labels are six characters wide.
    EXPECT_TRUE(screen(r, first.size()).contains(std::string(55, ' ') + "Score  200"));
    const std::size_t answers = first.size() - 1 + steps.size();

    // The fight screens in full.
    const std::size_t fight = first.size() + 29;
    expectFight(screen(r, fight), {150, 100});
    expectFight(screen(r, fight + 9), {150, 100, true, true});
    expectFight(screen(r, fight + 12), {100, 100, true, true, true});
    expectAttack(screen(r, fight + 13), true, Answer::Smoke, true);
    // smokeTurns is 0 now, but the cover lasts until the next attack turn.
    expectFight(screen(r, fight + 14), {65, 100, true, true, true});
    expectAttack(screen(r, fight + 15), true, Answer::Strike, true);
    expectFight(screen(r, fight + 16), {30, 75, true, false, true});
    expectAttack(screen(r, fight + 17), true, Answer::Strike, true);

    // The chapter screen and the score screen.
    expectRows(screen(r, answers - 1),
               {"", "Congratulation's on completing chapter one!  To continue the story select",
                "chapter two from the main menu.", "", "Your total score for Chapter One is  370",
                "", "Your password is V8419", "", "Press ENTER to continue?"});
    expectRows(screen(r, answers), {"", "Your total score for this story is  370", "",
                                    "Excellent work, you are a Grade A explorer!", "", "",
                                    "Press Enter to Continue.?"});
    // A new game at the main menu with Chapter 2 unlocked.
    frame::expectMainMenu(r.last(), {true, false});
}

TEST(ChapterOneSecondHalf, ThePasswordCarriesTheNotesFoundIntoAFreshRun) {
    struct Case {
        bool note1, note2, note3;
        const char* password;
    };
    const Case cases[] = {
        {false, false, false, "M3146"}, {true, false, false, "K2071"},
        {false, true, false, "P5208"},  {false, false, true, "R6473"},
        {true, true, false, "T7325"},   {true, false, true, "W9562"},
        {false, true, true, "X1684"},   {true, true, true, "V8419"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        int score = 370 - (c.note1 ? 0 : 15) - (c.note2 ? 0 : 25) - (c.note3 ? 0 : 15);
        auto notes = [&](const replay::Screen& s) {
            expectRows(s, {c.note1 ? "1- Dear Helen (Collected)" : "1- Locked", "",
                           c.note2 ? "2- Lock Out (Collected)" : "2- Locked", "",
                           c.note3 ? "3- Foreman's Diary (Collected)" : "3- Locked", "",
                           "4- Locked", "", "5- Locked", "", "",
                           "Pick a Note to Read, or press ENTER to return to main menu.?"});
        };

        // The chapter played through, then the notes viewer in the same run.
        Keys chapter = wholeChapter(c.note1, c.note2, c.note3);
        replay::Result r = play(chapter + Keys{"6"});
        const replay::Screen& end = screen(r, chapter.size() - 1);
        EXPECT_EQ(end.row(5), "Your total score for Chapter One is " + num(score));
        EXPECT_EQ(end.row(7), std::string("Your password is ") + c.password);
        EXPECT_EQ(screen(r, chapter.size()).row(2),
                  "Your total score for this story is " + num(score));
        notes(r.last());

        // The password typed into a fresh run restores the same notes.
        replay::Result fresh = play({"5", c.password, "", "6"});
        EXPECT_EQ(screen(fresh, 3).row(1), "You have unlocked Chapter 2!");
        frame::expectMainMenu(screen(fresh, 4), {true, false});
        notes(fresh.last());
    }
}

// ---------------------------------------------------------------------------
// The office, the junction, the greenhouse and the dead end

TEST(ForemansOffice, TheDoorIsLockedWithoutTheKeyAndTurnsThePlayerBack) {
    Keys a = firstHalf() + Keys{"2"};
    replay::Result r = play(a + Keys{"", "4", ""});
    // Nothing but the two lines and the pause, in the hallway's colour.
    expectRows(screen(r, a.size() + 1),
               {"",
                "You attempt to turn the handle on the door and discover that the room is locked.",
                "Your going to need a key to enter this room.", "", "Press ENTER to continue?"});
    // Back in the hallway, where trying the door has made the pry option
    // appear; one attempt hides it again.
    const replay::Screen& hallway = screen(r, a.size() + 2);
    EXPECT_TRUE(hallway.contains("4- Attempt to pry door with knife")) << hallway.text();
    expectStatus(hallway, {52, 100, 200});
    EXPECT_TRUE(screen(r, a.size() + 3).contains("you might break your knife"));
    EXPECT_FALSE(r.last().contains("4- Attempt to pry door with knife"));
    EXPECT_TRUE(r.last().contains("1- WEST to previous area"));
}

TEST(ForemansOffice, TheKeyOpensTheDoorOnceForTenPointsAndComesBackAtTheDeadEnd) {
    Keys a = firstHalf() + kFetchKey;
    // Carrying the key: no pry option in the hallway.
    replay::Result atHallway = play(a);
    EXPECT_FALSE(atHallway.last().contains("4- Attempt to pry door with knife"));

    Keys b = a + Keys{"2"};
    // The key in the lock, the office, out and in again (straight into the
    // office), then the key once more from the dead end (another 10) and the
    // office still open.
    Keys more = {"", "1", "2", "1", "3", "3", "2", "", "1", "1", "2"};
    replay::Result r = play(b + more);
    const replay::Screen& unlock = screen(r, b.size() + 1);
    EXPECT_EQ(unlock.row(1), "");
    EXPECT_EQ(unlock.row(5), "");
    EXPECT_EQ(unlock.row(6), "Press Enter to continue?");
    EXPECT_EQ(statusRowOf(unlock), 0);
    auto office = [](int score) {
        return Rows{""} + statusRows({55, 100, score}) +
               Rows{"The office looks as if a tornado went through it.  A desk lies upside",
                    "down among the broken parts of a chair, and crushed file cabinets and",
                    "scattered papers fill the back of the room.",
                    "",
                    "1- Exit Room           2- Examine Desk       3- Search Cabinet",
                    "",
                    "4- Check Inventory     5- Quit",
                    "",
                    "What is your choice?"};
    };
    expectRows(screen(r, b.size() + 2), office(220));
    EXPECT_TRUE(screen(r, b.size() + 3).contains("You travel SOUTH exiting the Foreman's Office."));
    expectRows(screen(r, b.size() + 4), office(220)); // no key message the second time
    // The key lies at the dead end again and is worth 10 points again.
    const replay::Screen& deadEnd = screen(r, b.size() + 7);
    EXPECT_TRUE(
        deadEnd.contains("You notice an old rusted key laying on the ground near the wall."));
    EXPECT_TRUE(deadEnd.contains("2- Get Key"));
    expectStatus(screen(r, b.size() + 9), {49, 100, 230});
    // The open office takes the player straight in, key or not.
    expectRows(r.last(), office(230));
}

TEST(ForemansOffice, CabinetSearchChangesNothingAndReturnsToTheOffice) {
    Keys a = firstHalf() + kFetchKey + kOpenOffice;
    replay::Result r = play(a + Keys{"3", "", "x"});
    const replay::Screen& cabinet = screen(r, a.size() + 2);
    EXPECT_EQ(cabinet.row(4), "");
    EXPECT_EQ(cabinet.row(5), "Press Enter to Continue?");
    EXPECT_EQ(statusRowOf(cabinet), 0);
    EXPECT_EQ(screen(r, a.size() + 3).text(), screen(r, a.size() + 1).text());
    // An answer that matches nothing shows the office again.
    EXPECT_EQ(r.last().text(), screen(r, a.size() + 1).text());
}

// The foreman's desk at full health, with the smoke bomb under it or not.
Rows deskScreen(int score, bool bomb) {
    Rows rows = Rows{""} + statusRows({50, 100, score}) +
                Rows{"You turn the desk back over.  It is in very poor condition, but one of",
                     "its drawers still looks intact."};
    if (bomb) rows.push_back("Laying on the floor under the desk you see a large smoke bomb.");
    rows = rows +
           Rows{"Otherwise you do not see anything else of interest.", "", "1- Search Drawer", ""};
    if (bomb) rows = rows + Rows{"2- Get Smoke Bomb", ""};
    return rows + Rows{"3- Back", "", "What is your choice?"};
}

TEST(ForemansOffice, DeskOffersTheBombOnlyWhileItLiesThereAndTheDrawerOnce) {
    Keys a = firstHalf() + kFetchKey + kOpenOffice + Keys{"2"};
    replay::Result r = play(a + Keys{"2", "", "2", "1", "", "", "1", "", "4"});
    expectRows(screen(r, a.size() + 1), deskScreen(220, true));
    expectRows(screen(r, a.size() + 2),
               {"You pick the smoke bomb up off the floor.", "", "Press ENTER to continue?"});
    const Rows desk = deskScreen(230, false);
    expectRows(screen(r, a.size() + 3), desk);
    // "2" once the bomb is taken: the desk again, no message, no points.
    expectRows(screen(r, a.size() + 4), desk);
    // The drawer: three lines and the pause, then the letter (15 points).
    const replay::Screen& drawer = screen(r, a.size() + 5);
    EXPECT_EQ(drawer.row(4), "");
    EXPECT_EQ(drawer.row(5), "Press ENTER to continue?");
    EXPECT_TRUE(screen(r, a.size() + 6).contains("*promote*"));
    const Rows after = deskScreen(245, false);
    expectRows(screen(r, a.size() + 7), after);
    // The drawer a second time: a message, and no more points.
    expectRows(screen(r, a.size() + 8),
               {"You have all ready searched the desk drawer, there is nothing else in it.", "",
                "Press ENTER to continue?"});
    expectRows(screen(r, a.size() + 9), after);
    // Junk at the desk shows the desk again.
    expectRows(r.last(), after);
}

TEST(ForemansOffice, TheLetterReadFromTheNotesViewerGoesBackToTheViewer) {
    replay::Result r = play({"5", "R6473", "", "6", "3", ""});
    const replay::Screen& letter = screen(r, 6);
    EXPECT_EQ(letter.row(1), "");
    EXPECT_TRUE(letter.row(2).starts_with("To the Director of the Laboratory"));
    EXPECT_TRUE(letter.row(2).ends_with("August 4th, 1945"));
    EXPECT_TRUE(letter.contains("*promote*"));
    EXPECT_EQ(letter.row(letter.cursorRow), "Press ENTER to continue?");
    EXPECT_EQ(letter.row(letter.cursorRow - 1), "");
    EXPECT_TRUE(r.last().contains("3- Foreman's Diary (Collected)"));
    EXPECT_TRUE(r.last().contains("Pick a Note to Read"));
}

TEST(ForemansOffice, SmokeBombUsedInTheFightLiesUnderTheDeskAgain) {
    // The whole chapter up to the lair after the fight, then back to the desk.
    Keys a = firstHalf() + kLockedDoor + kFetchKey + kOpenOffice + kDeskBomb + kNote3 +
             kDeskToLair + kIntoFight + kBestFight + Keys{""};
    Keys back = {"1", "1", "1", "2", "2"}; // corridor, junction, hallway, office, desk
    replay::Result r = play(a + back + Keys{"2", ""});
    expectStatus(screen(r, a.size() + 1), {49, 50, 320});
    EXPECT_TRUE(screen(r, a.size() + 2).contains("You travel back to the EAST through the mine."));
    const replay::Screen& desk = screen(r, a.size() + 6);
    EXPECT_TRUE(desk.contains("Laying on the floor under the desk you see a large smoke bomb."));
    EXPECT_TRUE(desk.contains("2- Get Smoke Bomb"));
    expectStatus(desk, {50, 50, 320});
    expectStatus(r.last(), {50, 50, 330});
}

TEST(Junction, BackFromTheGlowingObjectLandsOnTheJunctionWithTheLastMove) {
    // Came NORTH from the dead end, into the greenhouse, to the mushroom and
    // back: the junction, still saying NORTH.
    Keys a = firstHalf() + Keys{"3", "3", "1", "2", "4", "2"};
    replay::Result r = play(a);
    const std::vector<std::string> junction =
        statusRows({48, 100, 200}) +
        Rows{
            "You travel NORTH.",
            "",
            "The hallway splits off in all four directions and a chilling breeze",
            "blows through it.  To the EAST stand a pair of double doors, one of",
            "them hanging by a single hinge.  The hallway runs on to the NORTH and",
            "to the SOUTH, and leads back to the WEST.",
            "",
            "1- Travel WEST              2- Enter EAST room           3- Travel SOUTH",
            "",
            "4- Travel NORTH             5- Check Inventory           6- Quit",
            "",
            "What is your choice?",
        };
    expectRows(screen(r, a.size() - 2), junction);
    expectRows(screen(r, a.size() - 1),
               {
                   statusRow(49, "Health ", 100),
                   statusRow(49, "Score  ", 200),
                   "",
                   "You push through the doors into a room with a much "
                   "higher ceiling.",
                   "Decrepit tables, many of them collapsed, stand in rows "
                   "under large rusty",
                   "light fixtures, and large pots of soil sit on top of "
                   "them.  This was",
                   "once a greenhouse, but nothing alive is left to tell "
                   "what grew here.",
                   "",
                   "From under one of the broken tables you notice a faint "
                   "glow coming from",
                   "something on the ground.",
                   "",
                   "1- Exit Room       2- Turn lights on     3- Check "
                   "Inventory",
                   "",
                   "4- Inspect Glowing Object       5- Quit",
                   "",
                   "What is your choice?",
               });
    expectRows(screen(r, a.size()),
               {"You bend down and look under the broken table.  Growing "
                "out of a rotting",
                "piece of wood is a strange mushroom, white with dimly "
                "glowing yellow",
                "spots.  You have never seen anything like it before.", "",
                "1- Take Mushroom        2- Back", "", "What is your choice?"});
    expectRows(screen(r, a.size() + 1), junction);
    // No score for the mushroom; the greenhouse then offers no object, and
    // "4" there shows the greenhouse again.
    replay::Result m = play(a + Keys{"2", "4", "1", "", "4"});
    const replay::Screen& greenhouse = screen(m, a.size() + 5);
    EXPECT_TRUE(greenhouse.contains("You do not see anything else of interest in this room."));
    EXPECT_FALSE(greenhouse.contains("4- Inspect Glowing Object"));
    EXPECT_TRUE(greenhouse.contains("5- Quit"));
    expectStatus(greenhouse, {49, 100, 200});
    EXPECT_EQ(m.last().text(), greenhouse.text());
}

TEST(Greenhouse, TheLightsDoNotWork) {
    Keys a = firstHalf() + Keys{"3", "2"};
    replay::Result r = play(a + Keys{"2", ""});
    const replay::Screen& lights = screen(r, a.size() + 2);
    EXPECT_EQ(lights.row(4), "");
    EXPECT_EQ(lights.row(5), "Press ENTER to continue?");
    EXPECT_EQ(r.last().text(), screen(r, a.size() + 1).text());
}

TEST(SouthernDeadEnd, MenuNumbersShiftWithTheKey) {
    // Without the key: "3" is the inventory, "4" the quit confirmation.
    Keys a = firstHalf() + Keys{"3", "3"};
    replay::Result r = play(a + Keys{"3", "", "4", "2"});
    const replay::Screen& without = screen(r, a.size() + 1);
    EXPECT_TRUE(without.contains(
        "1- Travel back NORTH     2- Get Key       3- Check Inventory       4- Quit"));
    EXPECT_TRUE(screen(r, a.size() + 2).contains("Press 1 to drink Bottled Water"));
    EXPECT_EQ(screen(r, a.size() + 3).text(), without.text());
    EXPECT_TRUE(screen(r, a.size() + 4).contains("Are you sure you want to quit"));
    EXPECT_EQ(r.last().text(), without.text());

    // With the key: "2" is the inventory, "3" quits and "4" is nothing.
    Keys b = a + Keys{"2", ""};
    replay::Result k = play(b + Keys{"2", "", "4", "3", "2"});
    const replay::Screen& with = screen(k, b.size() + 1);
    expectRows(with,
               statusRows({49, 100, 210}) +
                   Rows{
                       "You travel SOUTH past an old conveyor belt with piles of coal and dust",
                       "beside it, until the hallway comes to a dead end.  The way WEST is",
                       "blocked by a huge pile of rubble, and there is no way past it for now.",
                       "This might be the other side of the blocked path you found earlier.",
                       "If you could find a way past all this rubble, an escape from the mine",
                       "might still be possible.",
                       "",
                       "1- Travel back NORTH     2- Check Inventory     3- Quit",
                       "",
                       "What is your choice?",
                   });
    EXPECT_TRUE(screen(k, b.size() + 2).contains("Rusty Key"));
    EXPECT_EQ(screen(k, b.size() + 3).text(), with.text());
    EXPECT_EQ(screen(k, b.size() + 4).text(), with.text());
    EXPECT_TRUE(screen(k, b.size() + 5).contains("Are you sure you want to quit"));
    EXPECT_EQ(k.last().text(), with.text());
}

TEST(SpiderCorridor, OpeningLineFollowsTheLastMove) {
    // The developer menu's jump in a fresh run: no move yet, no opening line.
    replay::Result r = play(kDeveloperMenu + Keys{"520"});
    expectRows(r.last(),
               Rows{"Line 520"} + statusRows({49, 100, 0}) +
                   Rows{
                       "the hallway more and more spiders cover the walls, and thick cobwebs "
                       "hang",
                       "from the ceiling.  The smell of death fills the air.  Dead rodents "
                       "lie",
                       "wrapped in cocoons, with hundreds of tiny spiders crawling over "
                       "them.",
                       "Something far bigger than these did this.  As you watch, spiders "
                       "pour",
                       "out of a cocooned rat at your feet.  The hallway branches off to the",
                       "WEST, or leads back to the SOUTH.",
                       "",
                       "1- Go SOUTH     2- Travel WEST     3- Check Inventory      4- Quit",
                       "",
                       "What is your choice?",
                   });
    // WEST into the lair and back EAST.
    replay::Result back = play(kDeveloperMenu + Keys{"520", "2", "1"});
    EXPECT_EQ(back.last().row(5),
              "You travel back to the EAST through the mine.  As you continue down");
    // SOUTH to the junction and NORTH again.
    replay::Result north = play(kDeveloperMenu + Keys{"520", "1", "4"});
    EXPECT_TRUE(screen(north, 7).contains("You travel SOUTH."));
    EXPECT_EQ(north.last().row(5),
              "You begin to travel NORTH even deeper into the mine.  As you continue down");
}

// ---------------------------------------------------------------------------
// The fight

TEST(SpiderFight, KnifeNeedsSixSlashesAndTheSpiderAnswersEveryOne) {
    // Three slashes (the player at 25), the water, three more.
    Keys a = developerFight();
    Keys turns = {"1", "", "1", "", "1", "", "3", "3", "", "1", "", "1", "", "1", ""};
    replay::Result r = play(a + turns + Keys{"", "x", "3", ""});
    std::size_t at = a.size() + 1;
    expectFight(screen(r, at), {150, 100});
    int spider = 150, player = 100;
    for (int i = 0; i < 3; ++i) {
        expectAttack(screen(r, at + 1), true, Answer::Strike, false);
        spider -= 25;
        player -= 25;
        expectFight(screen(r, at + 2), {spider, player});
        at += 2;
    }
    EXPECT_TRUE(screen(r, at + 1).contains("3- Bottled Water"));
    expectRows(screen(r, at + 2),
               {"You chug the water as fast as you can!  You feel much better now.", "",
                "Press ENTER to continue?"});
    player = 100;
    expectFight(screen(r, at + 3), {spider, player});
    at += 3;
    for (int i = 0; i < 3; ++i) {
        expectAttack(screen(r, at + 1), true, Answer::Strike, false);
        spider -= 25;
        player -= 25;
        if (spider > 0) expectFight(screen(r, at + 2), {spider, player});
        at += 2;
    }
    // The sixth slash was answered too; the next fight screen is the win.
    const replay::Screen& win = screen(r, at);
    EXPECT_EQ(win.row(1), "Line 560");
    EXPECT_EQ(win.row(win.cursorRow), "Press ENTER to continue?");
    expectStatus(screen(r, at + 1), {49, 25, 30});
    EXPECT_EQ(screen(r, at + 2).text(), screen(r, at + 1).text()); // junk
    EXPECT_TRUE(screen(r, at + 3).contains("Sharp Metal Rod"));    // the inventory
    EXPECT_EQ(r.last().text(), screen(r, at + 1).text());          // and back
}

TEST(SpiderFight, WithoutHealingThePlayerFallsOnTheFourthAnswer) {
    Keys a = developerFight();
    Keys turns = {"1", "", "1", "", "1", "", "1", ""};
    replay::Result r = play(a + turns + Keys{"", "x", "1", ""});
    std::size_t at = a.size() + 1 + turns.size();
    // The fourth answer leaves the spider at 50: the defeat.
    const std::vector<std::string> defeat =
        Rows{"Line 555"} + statusRows({49, 0, 0}) +
        Rows{
            "You are too badly wounded to go on fighting.  Your legs give way and you",
            "fall to the ground.  The spider slowly wraps you up in a thick cocoon of",
            "silk, and as it pulls the last strands tight around you, you lose",
            "consciousness.",
            "",
            "Press ENTER to continue?",
        };
    expectRows(screen(r, at), defeat);
    const std::vector<std::string> question = {"1- Continue       2- Quit", "",
                                               "Would you like to Continue or Quit?"};
    expectRows(screen(r, at + 1), question);
    expectRows(screen(r, at + 2), question);
    // Continue: the approach again, then a new spider at 150 and full health.
    EXPECT_EQ(screen(r, at + 3).row(1), "Line 535");
    expectFight(r.last(), {150, 100});
}

TEST(SpiderFight, KillingBlowThatAlsoKillsThePlayerIsAWin) {
    // Three slashes, the water, two slashes (spider 25, player 50), the
    // gummie bears (player 25), the last slash: both at 0.
    Keys a = developerFight({"gummie"});
    Keys turns = {"1", "", "1", "", "1", "", "3", "3", "", "1", "", "1", "", "3", "2", ""};
    replay::Result r = play(a + turns + Keys{"1", "", "", "4"});
    std::size_t at = a.size() + 1 + turns.size();
    expectFight(screen(r, at), {25, 25});
    expectAttack(screen(r, at + 1), true, Answer::Strike, false);
    EXPECT_EQ(screen(r, at + 2).row(1), "Line 560");
    expectStatus(screen(r, at + 3), {49, 0, 30});
    // Health 0 after the win: quitting needs no confirmation.
    EXPECT_TRUE(r.last().contains("Your total score for this story is  30"));
}

TEST(SpiderFight, FistPunchesForTenAndTheSpiderStrikesBack) {
    // The chapter without the knife (and so without its 10 points).
    Keys noKnife = Keys(kToBunkRoom.begin(), kToBunkRoom.begin() + 1) +
                   Keys(kToBunkRoom.begin() + 7, kToBunkRoom.end()) + kNote1 + kBunkRoomToLunchbox +
                   kNote2 + kLunchboxToOfficeHallway;
    replay::Result check = play(noKnife);
    ASSERT_TRUE(check.last().contains("You continue EAST moving deeper into the mine."));
    expectStatus(check.last(), {52, 100, 190});
    EXPECT_FALSE(check.last().contains("4- Attempt to pry door with knife"));

    Keys a = noKnife + Keys{"3", "4", "2", "2", ""};
    Keys turns = {"1", "", "1", "", "1", "", "1", ""};
    replay::Result r = play(a + turns);
    std::size_t at = a.size() + 1;
    expectFight(screen(r, at), {150, 100, false});
    int spider = 150, player = 100;
    for (int i = 0; i < 4; ++i) {
        expectAttack(screen(r, at + 1), false, Answer::Strike, false);
        spider -= 10;
        player -= 25;
        if (player > 0) expectFight(screen(r, at + 2), {spider, player, false});
        at += 2;
    }
    // 150 needs 15 punches, but the fourth answer is the defeat.
    EXPECT_EQ(spider, 110);
    EXPECT_TRUE(r.last().contains("You are too badly wounded to go on fighting."));
}

TEST(SpiderFight, SmokeCoversExactlyTwoAttackTurns) {
    Keys a = developerFight();
    Keys bomb = {"3", "1", ""};
    Keys turns = {"1", "", "1", "", "1", ""};
    replay::Result r = play(a + bomb + turns);
    std::size_t at = a.size() + 1;
    expectRows(screen(r, at + 2),
               {"You light the smoke bomb with your lighter and throw it at the spider.",
                "It lands with a pop and thick smoke pours out of it.  The spider begins to",
                "panic unable to see you.  Keep in mind this smoke cloud won't last forever...", "",
                "Press ENTER to continue?"});
    // Smoke up: no angry line although the spider is at 150.
    expectFight(screen(r, at + 3), {150, 100, true, true});
    expectAttack(screen(r, at + 4), true, Answer::Smoke, false);
    expectFight(screen(r, at + 5), {125, 100, true, true});
    expectAttack(screen(r, at + 6), true, Answer::Smoke, false);
    // The counter is 0 but the cover still shows until the next attack.
    expectFight(screen(r, at + 7), {100, 100, true, true});
    expectAttack(screen(r, at + 8), true, Answer::Strike, false);
    expectFight(r.last(), {75, 75});
}

TEST(SpiderFight, UseItemScreenEndsSpentSmoke) {
    Keys a = developerFight();
    Keys b = a + Keys{"3", "1", "", "1", "", "1", ""};
    // The use-item screen drawn with the counter at 0 clears the smoke; the
    // rod thrown from it is answered by the spider.
    replay::Result r = play(b + Keys{"3", "6"});
    expectFight(screen(r, b.size() + 1), {100, 100, true, true});
    expectFight(r.last(), {100, 100});
    replay::Result rod = play(b + Keys{"3", "4", ""});
    EXPECT_TRUE(screen(rod, b.size() + 3).contains("attacks you for 25"));
    expectFight(rod.last(), {50, 75});
}

TEST(SpiderFight, RodThrownInTheSmokeCostsATurnOfCover) {
    Keys a = developerFight();
    Keys b = a + Keys{"3", "1", ""};
    replay::Result r = play(b + Keys{"3", "4", "", "1", "", "1", ""});
    std::size_t at = b.size() + 2;
    const replay::Screen& items = screen(r, at);
    EXPECT_TRUE(items.contains("4- Sharp Metal Rod"));
    EXPECT_FALSE(items.contains("1- Smoke Bomb"));
    const replay::Screen& thrown = screen(r, at + 1);
    EXPECT_TRUE(thrown.contains("attacks in random"));
    EXPECT_FALSE(thrown.contains("attacks you for 25"));
    expectFight(screen(r, at + 2), {100, 100, true, true});
    // One turn of cover left.
    expectAttack(screen(r, at + 3), true, Answer::Smoke, false);
    expectFight(screen(r, at + 4), {75, 100, true, true});
    expectAttack(screen(r, at + 5), true, Answer::Strike, false);
    expectFight(r.last(), {50, 75});
    // The rod is gone from the use-item screen.
    replay::Result gone = play(b + Keys{"3", "4", "", "3"});
    EXPECT_FALSE(gone.last().contains("Sharp Metal Rod"));
}

TEST(SpiderFight, RodThrownWithoutSmokeIsAnswered) {
    Keys a = developerFight();
    replay::Result r = play(a + Keys{"3", "4", ""});
    expectRows(screen(r, a.size() + 3),
               {"You hurl the sharp metal rod at the spider and it pierces its body for",
                "50 points of damage.  The spider shrieks in pain and attacks you for 25",
                "points of damage.", "", "Press ENTER to continue?"});
    expectFight(r.last(), {100, 75});
}

TEST(SpiderFight, MixingTakesTheBottleAndApplyingGivesItBackEmpty) {
    Keys a = developerFight();
    replay::Result r = play(a + Keys{"2", "2", "1", "", "1", "2", "", "5", "3"});
    std::size_t at = a.size() + 1;
    // Before: the full bottle and the mushroom; only mixing is offered.
    const std::vector<std::string> before =
        Rows{kStars74, kItemsHeading, ""} + kDeveloperItemRows + Rows{kStars74,
                                                                      "",
                                                                      "1- Mix Mushroom with Water",
                                                                      "",
                                                                      "5- Back to fight!",
                                                                      "",
                                                                      "What is your choice?"};
    // 26 rows: the print area's 24 rows have scrolled the first two away.
    expectRows(screen(r, at + 1), std::vector<std::string>(before.begin() + 2, before.end()));
    // "2" before mixing shows the screen again.
    EXPECT_EQ(screen(r, at + 2).text(), screen(r, at + 1).text());
    expectRows(screen(r, at + 3),
               {"You tear the mushroom into tiny pieces and mix them into your bottle of",
                "water.  The water slowly thickens into a green paste-like substance.", "",
                "Press ENTER to continue?"});
    const replay::Screen& mixed = screen(r, at + 4);
    EXPECT_FALSE(mixed.contains("Bottled Water"));
    EXPECT_FALSE(mixed.contains("Empty Plasic Bottle"));
    EXPECT_FALSE(mixed.contains("Glowing Yellow Mushroom"));
    EXPECT_TRUE(mixed.contains("Thick Glowing Concoction"));
    EXPECT_FALSE(mixed.contains("1- Mix Mushroom with Water"));
    EXPECT_TRUE(mixed.contains("2- Apply Glowing Concotion to Metal Rod"));
    // "1" again: nothing to mix.
    EXPECT_EQ(screen(r, at + 5).text(), mixed.text());
    const replay::Screen& applied = screen(r, at + 7);
    EXPECT_TRUE(applied.contains("Empty Plasic Bottle"));
    EXPECT_TRUE(applied.contains("Poisoned Sharp Metal Rod"));
    EXPECT_FALSE(applied.contains("Thick Glowing Concoction"));
    EXPECT_FALSE(applied.contains("2- Apply"));
    // Combining costs no turn.
    expectFight(screen(r, at + 8), {150, 100});
    expectRows(r.last(), {
                             kStars74,
                             kItemsHeading,
                             "",
                             "L.E.D. Flashlight",
                             "",
                             "1- Smoke Bomb",
                             "",
                             "Disposible Lighter",
                             "",
                             "Knife",
                             "",
                             "Empty Plasic Bottle",
                             "",
                             "4- Poisoned Sharp Metal Rod",
                             "",
                             "Rusty Key",
                             "",
                             "6- Back",
                             kStars74,
                             "",
                             "Which item would you like to use?",
                         });
    // 15 points for mixing and 15 for applying: the fight shows no score, so
    // quit to the score screen.
    replay::Result score = play(a + Keys{"2", "1", "", "2", "", "5", "4", "1"});
    EXPECT_TRUE(score.last().contains("Your total score for this story is  30"));
}

TEST(SpiderFight, PoisonedRodPoisonsForTheRestOfTheFightAndAfterADefeat) {
    Keys a = developerFight();
    Keys mix = {"2", "1", "", "2", "", "5"};
    Keys slashes = {"1", "", "1", "", "1", ""}; // spider 75, player 25
    Keys rod = {"3", "4", ""};                  // spider 25, player 0
    Keys b = a + mix + slashes + rod;
    replay::Result r = play(b + Keys{"", "1", "", "1", ""});
    expectRows(screen(r, b.size()),
               {"You hurl the poisoned rod at the spider for 50 points of damage.  The",
                "poison on its tip enters the spider's blood stream, and the spider",
                "attacks you for 25 points of damage.", "", "Press ENTER to continue?"});
    EXPECT_EQ(screen(r, b.size() + 1).row(1), "Line 555");
    // A new spider at 150, still poisoned.
    expectFight(screen(r, b.size() + 4), {150, 100, true, false, true});
    expectAttack(screen(r, b.size() + 5), true, Answer::Strike, true);
    expectFight(r.last(), {115, 75, true, false, true});

    // Poisoned in the smoke: the spider misses and the poison still acts.
    Keys c = a + mix + Keys{"3", "1", "", "3", "4", ""};
    replay::Result s = play(c + Keys{"1", ""});
    EXPECT_TRUE(screen(s, c.size()).contains("the spider attacks in a random direction."));
    expectFight(screen(s, c.size() + 1), {100, 100, true, true, true});
    expectAttack(screen(s, c.size() + 2), true, Answer::Smoke, true);
    expectFight(s.last(), {65, 100, true, true, true});
}

TEST(SpiderFight, UseItemRowsAndTheirConditions) {
    Keys a = developerFight({"gummie"});
    // The mushroom is only considered; junk, and the water's "3" once drunk,
    // show the screen again.
    replay::Result r = play(a + Keys{"3", "5", "", "x", "3", "", "3", "3", "2", ""});
    std::size_t at = a.size() + 1;
    const replay::Screen& items = screen(r, at + 1);
    EXPECT_TRUE(items.contains("5- Glowing Yellow Mushroom"));
    EXPECT_TRUE(items.contains("2- Gummie Bears"));
    expectRows(screen(r, at + 2),
               {"You consider throwing the glowing yellow mushrom at the spider, however you",
                "decide there might be a better use for it.", "", "Press ENTER to continue?"});
    EXPECT_EQ(screen(r, at + 3).text(), items.text());
    EXPECT_EQ(screen(r, at + 4).text(), items.text());
    EXPECT_TRUE(screen(r, at + 5).contains("You chug the water"));
    expectFight(screen(r, at + 6), {150, 100});
    const replay::Screen& drunk = screen(r, at + 7);
    EXPECT_TRUE(drunk.contains("Empty Plasic Bottle"));
    EXPECT_FALSE(drunk.contains("3- Bottled Water"));
    EXPECT_EQ(screen(r, at + 8).text(), drunk.text());
    // The gummie bears without smoke cost 25.
    EXPECT_TRUE(screen(r, at + 9).contains("and attacks you for 25 points of damage."));
    expectFight(r.last(), {150, 75});

    // In the smoke they cost a turn of cover instead.
    replay::Result s = play(a + Keys{"3", "1", "", "3", "2", "", "1", "", "1", ""});
    EXPECT_TRUE(screen(s, at + 5).contains("in the cloud of smoke."));
    expectFight(screen(s, at + 6), {150, 100, true, true});
    expectAttack(screen(s, at + 7), true, Answer::Smoke, false);
    expectAttack(screen(s, at + 9), true, Answer::Strike, false);
}

TEST(SpiderFight, DrinkingAt125HealthSetsHundred) {
    // The red mushroom from the developer menu's "2", eaten in the lair.
    Keys a = kDeveloperMenu + Keys{"2", "530", "3", "3", "", "2", ""};
    replay::Result r = play(a + Keys{"3", "3", ""});
    expectStatus(screen(r, a.size() - 1), {49, 125, 0});
    expectFight(screen(r, a.size() + 1), {150, 125});
    expectFight(r.last(), {150, 100});
}

TEST(SpiderFight, UnlitSmokeBombBouncesOffAndIsGone) {
    // The chapter without the lighter from the lunchbox.
    Keys noLighter = kToBunkRoom + kNote1 +
                     Keys(kBunkRoomToLunchbox.begin(), kBunkRoomToLunchbox.end() - 2) + kNote2 +
                     kLunchboxToOfficeHallway;
    Keys a =
        noLighter + kFetchKey + kOpenOffice + kDeskBomb + Keys{"3", "1", "3", "4", "2", "2", ""};
    replay::Result r = play(a + Keys{"3", "1", "", "3"});
    expectFight(screen(r, a.size() + 1), {150, 100});
    EXPECT_FALSE(screen(r, a.size() + 2).contains("Disposible Lighter"));
    expectRows(screen(r, a.size() + 3),
               {"You throw the smoke bomb at the spider and it bounces off its head doing",
                "no damage at all.  The spider attacks you for 25 points of damage.  You",
                "had nothing to light the smoke bomb with.", "", "Press ENTER to continue?"});
    expectFight(screen(r, a.size() + 4), {150, 75});
    EXPECT_FALSE(r.last().contains("Smoke Bomb"));
}

TEST(SpiderFight, QuittingAsksAndNoResumesTheFight) {
    Keys a = developerFight();
    replay::Result r = play(a + Keys{"1", "", "4", "3", "2", "4", "1"});
    std::size_t at = a.size() + 3;
    expectFight(screen(r, at), {125, 75});
    EXPECT_TRUE(screen(r, at + 1).contains("Are you sure you want to quit"));
    EXPECT_TRUE(screen(r, at + 2).contains("Are you sure you want to quit"));
    EXPECT_EQ(screen(r, at + 3).text(), screen(r, at).text());
    EXPECT_TRUE(r.last().contains("Your total score for this story is  0"));
    // Continue-or-quit's "2": the score screen at once.
    Keys lose = {"1", "", "1", "", "1", "", "1", "", ""};
    replay::Result q = play(a + lose + Keys{"2"});
    EXPECT_TRUE(q.last().contains("Your total score for this story is  0"));
}

TEST(SpiderLair, AfterTheWinTheLairIsTheLairAfterTheFight) {
    Keys a = developerFight();
    Keys win = {"3", "4", "", "1", "", "1", "", "3", "3", "", "1", "", "1", "", ""};
    Keys b = a + win;
    replay::Result r = play(b + Keys{"1", "2", "3", "", "4", "2"});
    const std::vector<std::string> after =
        Rows{"Line 565"} + statusRows({49, 50, 30}) +
        Rows{
            "You step over spiders and dead rodents as you head WEST into the large",
            "room covered in webs.  At the rear of the room is the old elevator shaft,",
            "and in front of it lie the remains of the spider you killed.  The way",
            "back is to the EAST.",
            "",
            "1- Travel EAST   2- Go to Elevator Shaft   3- Check Inventory    4- Quit",
            "",
            "What is your choice?",
        };
    expectRows(screen(r, b.size() + 1), after);
    EXPECT_EQ(screen(r, b.size() + 2).row(5),
              "You travel back to the EAST through the mine.  As you continue down");
    // The lair shows the dead spider's room; inventory and quit's "No" come
    // back to it.
    expectRows(screen(r, b.size() + 3), after);
    EXPECT_TRUE(screen(r, b.size() + 4).contains("Line 600"));
    expectRows(screen(r, b.size() + 5), after);
    EXPECT_TRUE(screen(r, b.size() + 6).contains("Are you sure you want to quit"));
    expectRows(r.last(), after);
    // The lair forwards a second time too, and the developer jump as well.
    replay::Result jump = play(b + Keys{"1", "2", "4", "1", "", "blimx", "10", "530"});
    EXPECT_EQ(jump.last().row(1), "Line 565");
}

// ---------------------------------------------------------------------------
// The end of the chapter and the poison death

TEST(ChapterOneEnding, DeveloperJumpUnlocksChapterTwoWithFiftyPoints) {
    replay::Result r = play(kDeveloperMenu + Keys{"570", "", "", "", ""});
    const std::size_t at = kDeveloperMenu.size() + 2;
    const replay::Screen& shaft = screen(r, at);
    expectRowsAt(shaft, {{1, "Line 570"}, {8, ""}, {9, "Press ENTER to continue?"}});
    expectRowsAt(screen(r, at + 1),
                 {{1, "Line 570"}, {2, ""}, {6, ""}, {7, "Press ENTER to continue?"}});
    expectRows(screen(r, at + 2),
               {"Line 570", "",
                "Congratulation's on completing chapter one!  To continue the story select",
                "chapter two from the main menu.", "", "Your total score for Chapter One is  50",
                "", "Your password is M3146", "", "Press ENTER to continue?"});
    // No quit question: the score screen, then the main menu with Chapter 2.
    expectRows(screen(r, at + 3),
               {"", "Your total score for this story is  50", "", "You can do better than that!",
                "", "", "Press Enter to Continue.?"});
    frame::expectMainMenu(r.last(), {true, false});

    // With all notes from the developer menu's "4".
    replay::Result all = play(kDeveloperMenu + Keys{"4", "570", "", ""});
    EXPECT_EQ(all.last().row(8), "Your password is V8419");
}

TEST(PoisonDeath, EatingTheMushroomAtTwentyFiveHealth) {
    // The mushroom from the developer menu, three wounds in the flooded hall.
    Keys a = kDeveloperMenu + Keys{"235", "1", "", "1", "", "1", "", "4"};
    replay::Result r = play(a + Keys{"2", "", ""});
    EXPECT_TRUE(screen(r, a.size()).contains(std::string(49, ' ') + "Health 25"));
    EXPECT_TRUE(
        screen(r, a.size() + 1).contains("Press 2 if you want to eat the Slimy Yellow Mushroom"));
    expectRows(screen(r, a.size() + 3),
               {"", "Line 610", "", "", statusRow(49, "Health ", 0), statusRow(49, "Score  ", 0),
                "", "With the injuries you have already sustained, the poison quickly spreads",
                "and weakens your whole body.  You fall to the ground with an intense pain",
                "in your stomach.  You try to get back up but you cannot, and slowly",
                "everything around you goes dark.", "", "Press ENTER to continue?"});
    // Health 0: the score screen without the quit question.
    EXPECT_TRUE(r.last().contains("Your total score for this story is  0"));
}

// ---------------------------------------------------------------------------
// Colours

TEST(ChapterOneSecondHalf, EveryScreenHasItsColour) {
    // The developer-mode tour of the golden case: office, desk, drawer,
    // letter, junction, greenhouse, dead end, corridor, lair, a lost and a
    // won fight, the shaft and the poison death.
    std::string keys = replay::detail::readFile(
        GLIMMER_SOURCE_DIR "/tests/replay/chapter1_second_half_developer.keys");
    ASSERT_FALSE(keys.empty());
    replay::Result r = replay::runWith(GLIMMER_REPLAY, {"--attributes"}, keys);
    ASSERT_TRUE(r.scriptEnd);
    struct Want {
        const char* text; // the first row starting with it, on any screen
        int colour;
    };
    const Want wants[] = {
        {"Line 490", 8},
        {"Line 493", 7},
        {"Line 496", 14},
        {"To the Director of the Laboratory", 14},
        {"Line 500", 13},
        {"Line 505", 2},
        {"Line 510", 9},
        {"You bend over and pick the rusty old key", 14},
        {"Line 520", 12},
        {"Line 530", 12},
        {"Line 535", 11},
        {"Spider's Health ", 12},
        {"You have equiped your pocket knife", 15},
        {"A cloud of smoke surrounds the large spider.", 7},
        {"The spider looks weakened from the effects of the poison.", 10},
        {"The spider looks angry and ready to attack at any moment.", 4},
        {"1- Attack spider with knife", 12},
        {"You slash the spider with your knife", 5},
        {"The spider strikes you for 25 points of damage.", 4},
        {"The spider lets out a loud high pitched shrill", 4},
        {"The spider takes an additional 10 points of damage", 10},
        {"Line 555", 4},
        {"1- Continue       2- Quit", 14},
        {"                         Current Items", 14},
        {"Line 560", 5},
        {"Line 565", 3},
        {"You step over the dead spider", 9},
        {"You search the walls of the shaft", 9},
        {"Congratulation's on completing chapter one!", 14},
        {"Line 610", 4},
    };
    for (const Want& w : wants) {
        SCOPED_TRACE(w.text);
        bool found = false;
        for (const replay::Screen& s : r.screens) {
            for (int row = 1; row <= replay::kRows && !found; ++row) {
                if (s.row(row).starts_with(w.text)) {
                    found = true;
                    EXPECT_EQ(s.attribute(row, 1), w.colour)
                        << "screen " << s.number << " row " << row;
                }
            }
            if (found) break;
        }
        EXPECT_TRUE(found);
    }
    // The near-death lines: five slashes with a drink after the third.
    Keys near = developerFight() + Keys{"1", "", "1", "", "1", "", "3", "3", "", "1", "", "1", ""};
    replay::Result n = replay::runWithAttributes(script(near));
    const replay::Screen& last = n.last();
    int row = last.findRow("The spider is barely able to stand");
    ASSERT_NE(row, 0) << last.text();
    EXPECT_EQ(last.attribute(row, 1), 4);
    EXPECT_EQ(last.attribute(row + 1, 1), 4);
    EXPECT_TRUE(last.row(row + 1).starts_with("While it is near death"));
    EXPECT_EQ(last.attribute(row + 3, 1), 12); // the rule after them
}

} // namespace

#endif // GLIMMER_REPLAY
