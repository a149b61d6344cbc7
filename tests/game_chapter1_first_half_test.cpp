// The first half of Chapter 1 played through the replay driver: the
// apartment, the hardware store, the mine gate, the mine entrance with its
// flooded hall, bunk room, workshop and raft, and the deeper mine up to the
// office hallway. Every status block on the best path is checked, then the
// cases where a wrong order of tests, a missing flag or a wrong wound would
// show: the score reset through the Chapter 1 start, the numeric pauses,
// the store's order of tests, the deaths, the one-off note, the repeatable
// lumber and raft, the metal rod, the trash room, the lunchbox and the
// knife-pry option.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/game_walk.h"
#include "tests/support/replay.h"

#ifdef GLIMMER_REPLAY

namespace {

using namespace frame;

// Keys from a fresh main menu to a chosen point. Each list is a sequence of
// answers; the screen count of a script is its answer count plus one.
const std::vector<std::string> kStartChapter = {"1"};
// Bedroom: light on, knife (+10), back to the living room.
const std::vector<std::string> kKnife = {"6", "2", "", "3", "", "1"};
// Kitchen: the bottle of water from the refrigerator (+10), back.
const std::vector<std::string> kWater = {"2", "2", "4", "", "1", "", "1"};
// The newspaper (+10) and its two pauses.
const std::vector<std::string> kNewspaper = {"1", "", ""};
// Out of the apartment and into the store.
const std::vector<std::string> kToStore = {"4", "2"};
// The flashlight, then out of the store and into the mine (+15).
const std::vector<std::string> kFlashlightIntoMine = {"2", "", "6", "1", ""};
// From the entrance hall: lumber at the dead end, the raft at the bench and
// back to the entrance hall.
const std::vector<std::string> kBuildRaft = {"3", "2", "2", "",  "1", "3",
                                             "2", "2", "",  "1", "1", "1"};
// Entrance hall to the far side of the flood on the raft.
const std::vector<std::string> kCross = {"1", ""};

// Main menu to the entrance hall with knife, water, newspaper, flashlight:
// score 45 there.
std::vector<std::string> toEntrance() {
    return kStartChapter + kKnife + kWater + kNewspaper + kToStore + kFlashlightIntoMine;
}
// ... and on to the far side of the flood (score 45 + 15 + 25 + 50 = 135).
std::vector<std::string> toFarSide() {
    return toEntrance() + kBuildRaft + kCross;
}

// ---------------------------------------------------------------------------
// The best path

std::string healthRow(int column, Style style, int health) {
    return statusRow(column, style == Style::Seven ? "Health " : "Health", health);
}
std::string scoreRow(int column, Style style, int score) {
    return statusRow(column, style == Style::Seven ? "Score  " : "Score ", score);
}

// The screen shows the marker and, where given, the status block.
Check at(std::string marker, std::optional<Status> status) {
    return [marker, status](const replay::Screen& s) {
        EXPECT_TRUE(s.contains(marker)) << marker << "\n" << s.text();
        if (status) expectStatus(s, *status);
    };
}

constexpr Style S7 = Style::Seven;
constexpr Style S6 = Style::Six;

TEST(ChapterOneFirstHalf, BestPathFromTheMainMenuToTheOfficeHallway) {
    const std::vector<Step> steps = {
        // Apartment
        {"1", at("Chapter 1 - The Discovery", Status{49, 100, 0, S7})},
        {"6",
         at("The room is so dark you can't really see anything else.", Status{49, 100, 0, S7})},
        {"2", at("You turn the lights on in your room.", std::nullopt)},
        {"", at("Now that the light is turned on you see a Pocket Knife laying on the floor.",
                Status{49, 100, 0, S7})},
        {"3", at("You pick up your trusty pocket knife off the floor and carry it with you.",
                 std::nullopt)},
        {"", at("With the light on you can see more clearly, there is nothing else in here.",
                Status{49, 100, 10, S7})},
        {"1", at("Chapter 1 - The Discovery", Status{49, 100, 10, S7})},
        {"2", at("1- Exit to Living Room    2- Search Refrigerator    3- Check Inventory",
                 Status{53, 100, 10, S7})},
        {"2", at("Towards the back you see a single bottle of water.", Status{50, 100, 10, S7})},
        {"4",
         at("You grab your last bottle of water and decide to take it with you.", std::nullopt)},
        {"", at("You see nothing else of use in here.", Status{50, 100, 20, S7})},
        {"1", at("You close the refrigerator door.", std::nullopt)},
        {"", at("1- Exit to Living Room    2- Search Refrigerator    3- Check Inventory",
                Status{53, 100, 20, S7})},
        {"1", at("Chapter 1 - The Discovery", Status{49, 100, 20, S7})},
        {"1", at("Press Enter to continue", std::nullopt)},
        {"", at("Press ENTER to continue", std::nullopt)},
        {"", at("Chapter 1 - The Discovery", Status{49, 100, 30, S7})},
        {"4", at("2- Continue on to Hardware Store", Status{51, 100, 30, S7})},
        // Hardware store
        {"2", at("Which object(s) should Rob buy?", Status{47, 100, 30, S6})},
        {"2", at("You decide to purchase the flashlight for your journey.", std::nullopt)},
        {"", at("Which object(s) should Rob buy?", Status{47, 100, 30, S6})},
        {"3", at("You decide to purchase a package of gummie bears.", std::nullopt)},
        {"", at("Which object(s) should Rob buy?", Status{47, 100, 30, S6})},
        // Mine gate
        {"6", at("1- Break chain and enter mine", Status{53, 100, 30, S7})},
        {"1", at("Press ENTER to continue", std::nullopt)},
        // Entrance hall (+15 for entering with a light), bunk room and note
        {"", at("1- Go NORTH through the flooded hallway", Status{49, 100, 45, S6})},
        {"2", at(" 1- Search cabinet", Status{54, 100, 45, S6})},
        {"1", at("It reads:", std::nullopt)},
        {"", at("You can not make anything out past this point.", std::nullopt)},
        {"", at(" 1- Search cabinet", Status{54, 100, 60, S6})},
        {"3", at("You travel EAST.", Status{49, 100, 60, S6})},
        // Tunnel, dead end and lumber
        {"3", at("You head EAST down the tunnel traveling deeper into the mine. You feel",
                 Status{58, 100, 60, S6})},
        {"2", at("Laying on top of the rubble are several old pieces of scrap lumber.",
                 Status{53, 100, 60, S6})},
        {"2",
         at("You gather the scrap lumber and decide to lug it around with you.", std::nullopt)},
        {"", at("You see nothing else of interest in this area.", Status{53, 100, 75, S6})},
        // Workshop and the raft
        {"1", at("You head WEST down the tunnel traveling back towards the entrance.  You feel",
                 Status{58, 100, 75, S6})},
        {"3", at(" 1- Exit the room          2- Use Work Bench", Status{54, 100, 75, S6})},
        {"2", at("scrap lumber you found earlier.", Status{49, 100, 75, S6})},
        {"2", at("Press Enter to continue", std::nullopt)},
        {"", at("of this workbench.", Status{49, 100, 100, S6})},
        {"1", at(" 1- Exit the room          2- Use Work Bench", Status{54, 100, 100, S6})},
        {"1", at("You travel SOUTH out of the workshop and into the tunnel.  You feel",
                 Status{58, 100, 100, S6})},
        // The crossing: 25 on pushing off and 25 on landing
        {"1", at("You travel WEST.", Status{49, 100, 100, S6})},
        {"1", at("Press Enter to Continue", Status{51, 100, 150, S6})},
        // The far side and the rod
        {"", at("2- Grab Metal Object", Status{52, 100, 150, S6})},
        {"2",
         at("You reach over and pick the sharp metal rod up and take it with you.", std::nullopt)},
        {"", at("2- Attempt to go SOUTH", Status{52, 100, 160, S6})},
        // Crossroad, west to the trash room
        {"1", at(" 1- Go SOUTH to flooded section", Status{55, 100, 160, S6})},
        {"3", at("You travel WEST and continue down the hallway.", Status{51, 100, 160, S7})},
        {"3", at("1- Exit Room        2- Search Room       3- Check Inventory",
                 Status{50, 100, 160, S7})},
        {"1", at("Press ENTER to continue", Status{49, 100, 160, S7})},
        // Lunch room and lunchbox
        {"", at("You travel SOUTH barely escaping with your life!", Status{51, 100, 160, S7})},
        {"2", at("1- Leave room        2- Search Lunchbox", Status{54, 100, 160, S7})},
        {"2",
         at("There is an old lighter laying beside the coffee thermos.", Status{54, 100, 160, S7})},
        {"1", at("You pick the lighter up out of the box.", std::nullopt)},
        {"", at("You also see a folded sheet of paper laying on the bottom of the lunchbox",
                Status{54, 100, 175, S7})},
        {"2", at("Truely yours,", std::nullopt)},
        {"",
         at("There appears to be nothing else of use in this lunchbox.", Status{54, 100, 200, S7})},
        {"3", at("1- Leave room        2- Search Lunchbox", Status{54, 100, 200, S7})},
        // Back east past the crossroad to the office hallway
        {"1", at("You travel NORTH and emerge back in the hallway.", Status{51, 100, 200, S7})},
        {"1", at("You travel EAST.", Status{55, 100, 200, S6})},
        {"2", at("You continue EAST moving deeper into the mine.", Status{52, 100, 200, S7})},
    };
    replay::Result r = walk({}, steps);
    EXPECT_TRUE(screen(r, 1).contains("1- Chapter 1 - The Discovery")) << r.output;
}

// ---------------------------------------------------------------------------
// Whole screens where the layout is fixed

TEST(ChapterOneFirstHalf, LivingRoomLayoutWithAndWithoutDeveloperHeader) {
    replay::Result r = replay::run(script({"1", "7", "1", "", "fzorp", "", "1"}));
    const std::vector<std::string> body = {
        "",
        "Chapter 1 - The Discovery",
        "",
        "You stand in the living room of your small one bedroom apartment, in a",
        "small town where nothing much ever happens.  Doors lead to your bedroom",
        "and to the bathroom, the kitchen lies straight ahead and the front door",
        "is behind you.  This morning's newspaper rests on the coffee table.",
        "",
        "1- Read Newspaper     2- Enter Kitchen        3- Enter Bathroom",
        "",
        "4- Exit Apartment     5- Check Inventory      6- Enter Bedroom",
        "",
        "7- Quit",
        "",
        "what is your choice??",
    };
    expectRows(screen(r, 2), statusRows({49, 100, 0}) + body);
    EXPECT_EQ(screen(r, 2).cursorRow, 18);
    EXPECT_EQ(screen(r, 2).cursorColumn, 23);

    // Developer mode: "Line 100" and the empty line after it belong to the
    // header.
    expectRows(screen(r, 8), Rows{"Line 100", ""} + statusRows({49, 100, 0}) + body);
}

TEST(ChapterOneFirstHalf, HardwareStoreLayoutWithMoneyLine) {
    replay::Result r = replay::run(script(kStartChapter + kKnife + kWater + kNewspaper + kToStore));
    const replay::Screen& store = r.last();
    expectRows(store, {
                          "",
                          healthRow(47, S6, 100),
                          scoreRow(47, S6, 30),
                          std::string(47, ' ') + "Money  6",
                          "",
                          "Before heading out to the mine you go into town for some supplies.  You",
                          "find an old hardware store with four things that catch your interest.",
                          "",
                          "Which object(s) should Rob buy?",
                          "",
                          "1- Bottled Water($1.00)                2- LED Flashlight($4.00)",
                          "",
                          "3- Package of gummie bears ($1.00)     4- Pocket Knife ($2.00)",
                          "",
                          "5- Check Inventory                     6- Exit Store",
                          "",
                          "What is your choice??",
                      });
}

TEST(ChapterOneFirstHalf, WorkbenchLinesFollowLumberAndRaft) {
    // At the bench without lumber, then with it, then after building.
    std::vector<std::string> a = toEntrance() + std::vector<std::string>{"3", "3", "2"};
    replay::Result r = replay::run(script(a));
    expectRows(r.last(),
               Rows{"", ""} + statusRows({49, 100, 45, S6}) +
                   Rows{
                       "You stand in front of the workbench and look at the available tools.",
                       "There is an old hammer, dull saw,  and a box of old rusty nails.",
                       "Right now you don't have any materials that can be used with",
                       "workbench.",
                       "",
                       " 1- Exit Workbench",
                       "",
                       "What is your choice?",
                   });
    // "2" without lumber shows the bench again; "x" too.
    replay::Result again = replay::run(script(a + std::vector<std::string>{"2", "x"}));
    EXPECT_EQ(again.screens[a.size() + 1].text(), r.last().text());
    EXPECT_EQ(again.screens[a.size() + 2].text(), r.last().text());
}

// ---------------------------------------------------------------------------
// The apartment

TEST(Apartment, LeavingTooEarlyStartsTheScoreOverAtZero) {
    // Knife and water (20 points), then the front door without the paper.
    std::vector<std::string> a = kStartChapter + kKnife + kWater;
    replay::Result r = replay::run(script(a + std::vector<std::string>{"4", ""}));
    expectStatus(screen(r, a.size() + 1), {49, 100, 20, S7});
    expectRows(screen(r, a.size() + 2),
               {"You feel as if your not quite ready to leave yet.  Maybe you should look around",
                "the apartment before leaving.", "", "Press Enter to Continue?"});
    expectStatus(r.last(), {49, 100, 0, S7});

    // The paper without the water: the same message and the same reset.
    std::vector<std::string> b = kStartChapter + kNewspaper;
    replay::Result p = replay::run(script(b + std::vector<std::string>{"4", ""}));
    expectStatus(screen(p, b.size() + 1), {49, 100, 10, S7});
    EXPECT_TRUE(screen(p, b.size() + 2).contains("You feel as if your not quite ready"));
    expectStatus(p.last(), {49, 100, 0, S7});
}

TEST(Apartment, TheNewspaperIsReadOnceAndRereadingResetsTheScore) {
    std::vector<std::string> a = kStartChapter + kKnife + kNewspaper; // 20 points
    replay::Result r = replay::run(script(a + std::vector<std::string>{"1", "", "1", ""}));
    expectStatus(screen(r, a.size() + 1), {49, 100, 20, S7});
    expectRows(screen(r, a.size() + 2),
               {"You have all ready read the newspaper and have no desire to read it again.", "",
                "Press Enter to Continue?"});
    expectStatus(screen(r, a.size() + 3), {49, 100, 0, S7});
    // Still refused: the 10 points cannot be earned again.
    EXPECT_TRUE(screen(r, a.size() + 4).contains("You have all ready read the newspaper"));
    expectStatus(r.last(), {49, 100, 0, S7});
}

TEST(Apartment, NumericPausesKeepDigitsAndEraseLetters) {
    // The light switch message reads a number: letters vanish as typed.
    replay::Result r = replay::run("1\n6\n2\na1b2c");
    ASSERT_TRUE(r.scriptEnd);
    const replay::Screen& s = r.last();
    EXPECT_EQ(s.kind, "script-end");
    EXPECT_EQ(s.row(3), "Press ENTER to continue? 12");
    EXPECT_EQ(s.cursorColumn, 28);
    // Enter after the digits goes on to the bedroom.
    replay::Result on = replay::run("1\n6\n2\na1b2c\n");
    EXPECT_TRUE(on.last().contains("2- Turn Lightswitch Off"));

    // The knife message reads text: everything typed stays.
    replay::Result t = replay::run("1\n6\n2\n\n3\na1b2c");
    EXPECT_EQ(t.last().row(3), "Press ENTER to continue? a1b2c");

    // The not-ready message and the store's flashlight message are numeric
    // too; the store's water message is not.
    replay::Result n = replay::run("1\n4\nx7y");
    EXPECT_EQ(n.last().row(4), "Press Enter to Continue? 7");
    std::vector<std::string> store = kStartChapter + kKnife + kWater + kNewspaper + kToStore;
    replay::Result f = replay::run(script(store) + "2\nq9");
    EXPECT_EQ(f.last().row(3), "Press ENTER to continue? 9");
    replay::Result w = replay::run(script(store) + "1\nq9");
    EXPECT_TRUE(w.last().contains("is enough and opt out of buying more."));
    EXPECT_EQ(w.last().row(4), "Press ENTER to continue? q9");
}

TEST(Apartment, BedroomOffersTheKnifeOnlyWithTheLightOn) {
    replay::Result r = replay::run(script({"1", "6", "3", "2", "", "3", "", "3", "2", ""}));
    // Dark: "3" is not offered and shows the bedroom again.
    EXPECT_FALSE(screen(r, 3).contains("3- Pick up Pocket Knife"));
    EXPECT_EQ(screen(r, 4).text(), screen(r, 3).text());
    EXPECT_TRUE(screen(r, 6).contains("3- Pick up Pocket Knife"));
    // With the knife carried, "3" does nothing more.
    expectStatus(screen(r, 8), {49, 100, 10, S7});
    EXPECT_EQ(screen(r, 9).text(), screen(r, 8).text());
    EXPECT_TRUE(screen(r, 10).contains("You turn the lights back off."));
    EXPECT_TRUE(r.last().contains("The room is so dark you can't really see anything else."));
    EXPECT_TRUE(r.last().contains("2- Turn Lightswitch On"));
}

// ---------------------------------------------------------------------------
// The hardware store

std::vector<std::string> storeWith(std::initializer_list<std::string> before) {
    std::vector<std::string> a = kStartChapter;
    a.insert(a.end(), before.begin(), before.end());
    return a + kWater + kNewspaper + kToStore;
}

const char* kNoMoney = "You do not have enough money to purchase that item.";

TEST(HardwareStore, FlashlightWithLessThanFourDollarsIsNotEnoughMoney) {
    // Gummies (1) and knife (2) leave 3 dollars.
    std::vector<std::string> a = storeWith({});
    replay::Result r = replay::run(script(a + std::vector<std::string>{"3", "", "4", "", "2", ""}));
    EXPECT_TRUE(screen(r, a.size() + 5).contains("Money  3"));
    expectRows(screen(r, a.size() + 6), {kNoMoney, "", "Press ENTER to continue?"});
    EXPECT_TRUE(r.last().contains("Money  3"));
}

TEST(HardwareStore, SecondFlashlightWithTwoDollarsIsNotEnoughMoney) {
    // Flashlight (4), then "2" again with 2 dollars: not enough money wins
    // over the flashlight already carried.
    std::vector<std::string> a = storeWith({});
    replay::Result r = replay::run(script(a + std::vector<std::string>{"2", "", "2", ""}));
    EXPECT_TRUE(screen(r, a.size() + 3).contains("Money  2"));
    EXPECT_TRUE(screen(r, a.size() + 4).contains(kNoMoney));
}

TEST(HardwareStore, WaterAndGummiesWithNoMoneyLeftAreNotEnoughMoney) {
    // The apartment's bottle is always carried into the store: with money
    // the store refuses a second one; flashlight and knife then spend it all.
    std::vector<std::string> a = storeWith({});
    replay::Result r = replay::run(
        script(a + std::vector<std::string>{"1", "", "2", "", "4", "", "1", "", "3", "", "4", ""}));
    std::size_t n = a.size() + 1;
    expectRows(screen(r, n + 1),
               {"At the risk of encumbering yourself you decide that one bottle of water",
                "is enough and opt out of buying more.", "", "Press ENTER to continue?"});
    EXPECT_TRUE(screen(r, n + 6).contains("Money  0"));
    // Water carried and no money: not enough money comes first.
    EXPECT_TRUE(screen(r, n + 7).contains(kNoMoney));
    // Gummies with no money.
    EXPECT_TRUE(screen(r, n + 9).contains(kNoMoney));
    // The knife just bought: carried wins over the money.
    EXPECT_TRUE(screen(r, n + 11).contains("You are all ready carrying a pocket knife"));
    EXPECT_TRUE(r.last().contains("Money  0"));
}

TEST(HardwareStore, GummiesOnceWhileMoneyLasts) {
    std::vector<std::string> a = storeWith({});
    replay::Result r = replay::run(script(a + std::vector<std::string>{"3", "", "3", ""}));
    expectRows(screen(r, a.size() + 4), {"You all ready purchased a package of gummie bears.", "",
                                         "Press ENTER to continue?"});
    EXPECT_TRUE(r.last().contains("Money  5"));
}

TEST(HardwareStore, KnifeIsRefusedWhenCarriedWhateverTheMoney) {
    const char* refused =
        "You are all ready carrying a pocket knife and decide against buying another.";
    std::vector<std::string> a = storeWith({"6", "2", "", "3", "", "1"});
    // With 6 dollars, then with 0 after flashlight, water... the refusal wins
    // over not enough money.
    replay::Result r =
        replay::run(script(a + std::vector<std::string>{"4", "", "2", "", "3", "", "4", ""}));
    std::size_t n = a.size() + 1;
    expectRows(screen(r, n + 1), {refused, "", "Press ENTER to continue?"});
    EXPECT_TRUE(screen(r, n + 6).contains("Money  1"));
    EXPECT_TRUE(screen(r, n + 7).contains(refused));
}

TEST(HardwareStore, KnifeBoughtForTwoDollarsThenRefusedWithNoMoneyLeft) {
    std::vector<std::string> a = storeWith({});
    replay::Result r = replay::run(script(a + std::vector<std::string>{"4", "", "2", "", "4"}));
    std::size_t n = a.size() + 1;
    EXPECT_TRUE(
        screen(r, n + 1).contains("You decide to buy the pocket knife for your adventure."));
    EXPECT_TRUE(screen(r, n + 2).contains("Money  4"));
    EXPECT_TRUE(screen(r, n + 3).contains("You decide to purchase the flashlight"));
    EXPECT_TRUE(screen(r, n + 4).contains("Money  0"));
    // Knife carried and no money: the refusal, not the money screen.
    EXPECT_TRUE(screen(r, n + 5).contains("You are all ready carrying a pocket knife"));
}

TEST(HardwareStore, InventoryComesBackToTheStoreInItsColour) {
    std::vector<std::string> a = storeWith({});
    replay::Result r = replay::runWithAttributes(script(a + std::vector<std::string>{"5", ""}));
    const replay::Screen& store = r.last();
    EXPECT_TRUE(store.contains("Which object(s) should Rob buy?"));
    int row = store.findRow("Which object(s)");
    EXPECT_EQ(store.attribute(row, 1), 0x0e);
    EXPECT_EQ(screen(r, a.size() + 1).attribute(row, 1), 0x06);
}

// ---------------------------------------------------------------------------
// The mine gate and death in the dark

TEST(MineGate, WithoutTheFlashlightTheDarkEndsTheStoryWithFivePoints) {
    // Knife, water and newspaper (30 points), then gummies but no light.
    std::vector<std::string> a = storeWith({"6", "2", "", "3", "", "1"});
    std::vector<std::string> b = a + std::vector<std::string>{"3", "", "6", "1", "", ""};
    replay::Result r = replay::run(script(b));
    std::size_t n = a.size() + 1;
    EXPECT_TRUE(screen(r, n + 3).contains("1- Break chain and enter mine"));
    const replay::Screen& dark = screen(r, n + 5);
    expectRows(dark,
               Rows{""} + statusRows({45, 100, 30, S6}) +
                   Rows{
                       "The mine is pitch black.  You cannot see your own hand in front of your",
                       "face, but you nervously press on deeper into the darkness.",
                       "You stop and eat your gummie bears to calm your nerves.  They taste",
                       "fantastic, but you still cannot see a thing.",
                       "Slowly madness takes over.  You run screaming in random directions",
                       "through the tunnels and are never heard from again.",
                       "",
                       "Press Enter to continue?",
                   });
    // No quit question: straight to the score screen with 5 more points.
    const replay::Screen& score = r.last();
    EXPECT_TRUE(score.contains("Your total score for this story is  35")) << score.text();
    EXPECT_FALSE(score.contains("Are you sure"));
}

TEST(MineGate, DarkWithoutGummiesHasNoGummieLines) {
    std::vector<std::string> a = kStartChapter + kWater + kNewspaper + kToStore;
    replay::Result r = replay::run(script(a + std::vector<std::string>{"6", "1", "", ""}));
    const replay::Screen& dark = screen(r, a.size() + 4);
    EXPECT_TRUE(dark.contains("The mine is pitch black."));
    EXPECT_FALSE(dark.contains("gummie"));
    expectStatus(dark, {45, 100, 20, S6});
    EXPECT_TRUE(r.last().contains("Your total score for this story is  25"));
    // After the score screen a new story starts at 100 health and 0 points.
    replay::Result next =
        replay::run(script(a + std::vector<std::string>{"6", "1", "", "", "", "1"}));
    expectStatus(next.last(), {49, 100, 0, S7});
}

// ---------------------------------------------------------------------------
// The flooded hall

// Four tries at the water with one key after the keys `a`: three wounds of
// 25 points, each followed by the room again, then drowning and the score
// screen with no quit question.
struct Drowning {
    const char* key;
    int woundColumn;
    const char* woundPrompt;
    int roomColumn;
    int drownedColumn;
    const char* drownedPrompt;
    int score;
};

void expectThreeWoundsThenDrowning(const std::vector<std::string>& a, const Drowning& d) {
    const std::string k = d.key;
    replay::Result r =
        replay::run(script(a + std::vector<std::string>{k, "", k, "", k, "", k, ""}));
    std::size_t n = a.size() + 1;
    const int healths[] = {75, 50, 25};
    for (int i = 0; i < 3; ++i) {
        const replay::Screen& wound = screen(r, n + 1 + 2 * static_cast<std::size_t>(i));
        expectStatus(wound, {d.woundColumn, healths[i], d.score, S6});
        expectPrompt(wound, d.woundPrompt);
        expectStatus(screen(r, n + 2 + 2 * static_cast<std::size_t>(i)),
                     {d.roomColumn, healths[i], d.score, S6});
    }
    const replay::Screen& drowned = screen(r, n + 7);
    expectStatus(drowned, {d.drownedColumn, 0, d.score, S6});
    expectPrompt(drowned, d.drownedPrompt);
    EXPECT_TRUE(
        r.last().contains("Your total score for this story is  " + std::to_string(d.score)));
    EXPECT_FALSE(r.last().contains("Are you sure"));
}

TEST(FloodedHall, ThreeWoundsThenDeathOnTheFourthTry) {
    expectThreeWoundsThenDrowning(
        toEntrance(), {"1", 54, "Press Enter to continue.", 49, 53, "Press Enter to Continue", 45});
}

TEST(FloodedHall, WoundScreenLayout) {
    std::vector<std::string> a = toEntrance();
    replay::Result r = replay::run(script(a + std::vector<std::string>{"1"}));
    expectRows(r.last(),
               Rows{"", ""} + statusRows({54, 75, 45, S6}) +
                   Rows{
                       "You try to wade across the flooded hallway, but on your very first step",
                       "a sharp piece of metal slices into your foot.  The wound takes 25 points",
                       "of your health!  You quickly step back out of the murky water.  There",
                       "has to be another way across.",
                       "",
                       "Press Enter to continue.?",
                   });
}

// ---------------------------------------------------------------------------
// Bunk room, dead end, workshop

TEST(BunkRoom, TheNoteIsGivenOnce) {
    std::vector<std::string> a = toEntrance() + std::vector<std::string>{"2"};
    replay::Result r = replay::run(script(a + std::vector<std::string>{"1", "", "", "1", ""}));
    std::size_t n = a.size() + 1;
    expectStatus(screen(r, n), {54, 100, 45, S6});
    expectPrompt(screen(r, n + 1), "");
    expectStatus(screen(r, n + 3), {54, 100, 60, S6});
    expectRows(screen(r, n + 4), {"", "", "You have all ready searched this cabinet.", "",
                                  "Press Enter to continue?"});
    expectStatus(r.last(), {54, 100, 60, S6});
}

TEST(BunkRoom, NoteOneReplaysFromTheNotesViewerAndReturnsThere) {
    // Collect the note, quit the story, then open it from the viewer.
    std::vector<std::string> a = toEntrance() + std::vector<std::string>{"2", "1", "", ""};
    replay::Result r =
        replay::run(script(a + std::vector<std::string>{"4", "1", "", "6", "1", "", ""}));
    std::size_t n = a.size() + 1;
    EXPECT_TRUE(screen(r, n + 2).contains("Your total score for this story is  60"));
    EXPECT_TRUE(screen(r, n + 4).contains("1- Dear Helen (Collected)"));
    const replay::Screen& note = screen(r, n + 5);
    expectRows(note, {
                         "",
                         std::string(77, '*'),
                         "Dear Helen                                                     "
                         "July 5th, 1945",
                         "",
                         "The work down here is stressful and the overtime never stops.  I think",
                         "of you every night.  Morale is low and the men are tired.  They have",
                         "kept us underground for what feels like an eternity, and some of the",
                         "men have not seen daylight in months.  I am sorry I have not written",
                         "sooner, I have been working non-stop in the hope of earning a promotion",
                         "so that we can finally",
                         std::string(77, '*'),
                         "You can not make anything out past this point.",
                         "",
                         "Press Enter to Continue?",
                     });
    EXPECT_TRUE(screen(r, n + 6).contains("1- Dear Helen (Collected)"));
    EXPECT_TRUE(r.last().contains("1- Chapter 1 - The Discovery"));
}

TEST(CaveIn, LumberAndRaftCanBeMadeAgainUntilTheRaftIsUsed) {
    // Gather, build, gather again, build again: 15 + 25 + 15 + 25.
    std::vector<std::string> a = toEntrance() + kBuildRaft;
    std::vector<std::string> again = {"3", "2", "2", "", "1", "3", "2", "2", "", "1", "3", ""};
    replay::Result r = replay::run(script(a + again));
    std::size_t n = a.size() + 1;
    expectStatus(screen(r, n), {49, 100, 85, S6});
    const replay::Screen& deadEnd = screen(r, n + 2);
    EXPECT_TRUE(deadEnd.contains("Laying on top of the rubble are several old pieces"));
    EXPECT_TRUE(deadEnd.contains(" 2- Gather Lumber"));
    expectStatus(screen(r, n + 4), {53, 100, 100, S6});
    const replay::Screen& bench = screen(r, n + 7);
    // Lumber and the raft both carried: both texts.
    EXPECT_TRUE(bench.contains("scrap lumber you found earlier."));
    EXPECT_TRUE(bench.contains("of this workbench."));
    EXPECT_TRUE(bench.contains(" 2- Craft A Crude Raft"));
    expectStatus(screen(r, n + 9), {49, 100, 125, S6});
    // The inventory lists one raft and no lumber.
    const replay::Screen& inv = screen(r, n + 11);
    EXPECT_TRUE(inv.contains("Raft"));
    EXPECT_FALSE(inv.contains("Scrap Lumber"));
}

TEST(CaveIn, ResumeTextIs293AndTheQuitQuestionComesBackHere) {
    std::vector<std::string> a = toEntrance() + std::vector<std::string>{"3", "2"};
    replay::Result r = replay::run(script(a + std::vector<std::string>{"4", "2", "3", ""}));
    std::size_t n = a.size() + 1;
    EXPECT_TRUE(screen(r, n + 1).contains("Are you sure you want to quit"));
    EXPECT_EQ(screen(r, n + 2).text(), screen(r, n).text());
    EXPECT_EQ(r.last().text(), screen(r, n).text());
}

TEST(Workshop, KeepsTheColourOfTheScreenItComesBackFrom) {
    std::vector<std::string> a = toEntrance() + std::vector<std::string>{"3", "3"};
    replay::Result r =
        replay::runWithAttributes(script(a + std::vector<std::string>{"3", "", "7"}));
    std::size_t n = a.size() + 1;
    int row = screen(r, n).findRow("1- Exit the room");
    EXPECT_EQ(screen(r, n).attribute(row, 2), 0x0a);
    EXPECT_EQ(screen(r, n + 2).attribute(row, 2), 0x0e);
    // An answer that matches nothing goes through 280, which sets colour 10.
    EXPECT_EQ(r.last().attribute(row, 2), 0x0a);
}

// ---------------------------------------------------------------------------
// The far side of the flood

TEST(FarSide, TheRodChangesTheRowsAndChoiceTwo) {
    std::vector<std::string> a = toFarSide();
    replay::Result r = replay::run(script(a + std::vector<std::string>{"2", "", "2", ""}));
    std::size_t n = a.size() + 1;
    const replay::Screen& before = screen(r, n);
    expectStatus(before, {52, 100, 135, S6});
    EXPECT_EQ(before.row(before.findRow("1- Continue")),
              "1- Continue North         2- Grab Metal Object     3- Check Inventory");
    EXPECT_TRUE(before.contains("4- Attempt to go South    5- Quit"));
    const replay::Screen& after = screen(r, n + 2);
    expectStatus(after, {52, 100, 145, S6});
    EXPECT_EQ(after.row(after.findRow("1- Continue")),
              "1- Continue NORTH         2- Attempt to go SOUTH       3- Check Inventory");
    EXPECT_EQ(after.row(after.findRow("1- Continue") + 2), "4- Quit");
    EXPECT_FALSE(after.contains("Grab Metal Object"));
    // "2" with the rod carried is the way south: a wound.
    expectStatus(screen(r, n + 3), {51, 75, 145, S6});
    EXPECT_TRUE(screen(r, n + 3).contains("Press ENTER to continue"));
    expectStatus(r.last(), {52, 75, 145, S6});
}

TEST(FarSide, GoingSouthWoundsThreeTimesThenDrowns) {
    expectThreeWoundsThenDrowning(
        toFarSide(), {"4", 51, "Press ENTER to continue", 52, 54, "Press Enter to continue", 135});
}

TEST(FarSide, QuitIsFourWithTheRodAndFiveWithout) {
    std::vector<std::string> a = toFarSide();
    replay::Result r =
        replay::run(script(a + std::vector<std::string>{"5", "2", "2", "", "5", "4"}));
    std::size_t n = a.size() + 1;
    EXPECT_TRUE(screen(r, n + 1).contains("Are you sure you want to quit"));
    EXPECT_EQ(screen(r, n + 2).text(), screen(r, n).text());
    EXPECT_EQ(screen(r, n + 5).text(), screen(r, n + 4).text()); // "5" now matches nothing
    EXPECT_TRUE(r.last().contains("Are you sure you want to quit"));
}

// ---------------------------------------------------------------------------
// The deeper mine

// From the far side: the rod, then west to the hallway end (score 145).
const std::vector<std::string> kToHallwayEnd = {"2", "", "1", "3"};

TEST(TrashRoom, SearchAtFiftyHealthLeavesTwentyFiveAndTheRoomGone) {
    std::vector<std::string> a = toFarSide() + std::vector<std::string>{"4", "", "4", ""} +
                                 kToHallwayEnd + std::vector<std::string>{"3"};
    replay::Result r = replay::run(script(a + std::vector<std::string>{"2", "", "3"}));
    std::size_t n = a.size() + 1;
    expectStatus(screen(r, n), {50, 50, 145, S7});
    const replay::Screen& hurt = screen(r, n + 1);
    expectStatus(hurt, {51, 25, 145, S7});
    expectPrompt(hurt, "Press Enter to continue");
    const replay::Screen& end = screen(r, n + 2);
    EXPECT_TRUE(end.contains("You travel SOUTH barely escaping with your life!"));
    EXPECT_TRUE(end.contains(
        "The NORTH room has collapsed upon itself, you can no longer enter that room."));
    EXPECT_FALSE(end.contains("3- Remove the boards"));
    // "3" is no longer accepted.
    EXPECT_EQ(r.last().text(), end.text());
}

TEST(TrashRoom, SearchAtTwentyFiveHealthKills) {
    std::vector<std::string> a = toFarSide() + std::vector<std::string>{"4", "", "4", "", "4", ""} +
                                 kToHallwayEnd + std::vector<std::string>{"3"};
    replay::Result r = replay::run(script(a + std::vector<std::string>{"2", ""}));
    std::size_t n = a.size() + 1;
    expectStatus(screen(r, n), {50, 25, 145, S7});
    const replay::Screen& dead = screen(r, n + 1);
    expectStatus(dead, {53, 0, 145, S7});
    expectPrompt(dead, "Press ENTER to continue");
    EXPECT_TRUE(r.last().contains("Your total score for this story is  145"));
    EXPECT_FALSE(r.last().contains("Are you sure"));
}

TEST(TrashRoom, InventoryInsideLeavesTheRoomStanding) {
    std::vector<std::string> a = toFarSide() + kToHallwayEnd + std::vector<std::string>{"3"};
    replay::Result r =
        replay::run(script(a + std::vector<std::string>{"3", "", "4", "2", "1", ""}));
    std::size_t n = a.size() + 1;
    EXPECT_TRUE(screen(r, n + 1).contains("Sharp Metal Rod"));
    EXPECT_EQ(screen(r, n + 2).text(), screen(r, n).text());
    EXPECT_EQ(screen(r, n + 4).text(), screen(r, n).text()); // quit, "No"
    const replay::Screen& end = r.last();
    EXPECT_TRUE(end.contains("The NORTH room has collapsed upon itself"));
    expectStatus(end, {51, 100, 145, S7});
}

TEST(HallwayEnd, LayoutBeforeTheCollapse) {
    std::vector<std::string> a = toFarSide() + kToHallwayEnd;
    replay::Result r = replay::run(script(a));
    expectRows(
        r.last(),
        Rows{""} + statusRows({51, 100, 145, S7}) +
            Rows{
                "You travel WEST and continue down the hallway.  Alot of the walls are",
                "crumbled and decayed.  Broken mining picks litter the hall and crude",
                "graffiti covers the walls.  At the end of the hallway are two rooms.",
                "The room to the NORTH'S door is laying on the floor and it is boarded up.",
                "The nails holding the boards have rusted away, you can enter the room.",
                "There is a door that leads to another room SOUTH of you.  The hallway EAST of",
                "you leads back to the previous area.",
                "",
                "1- EAST to previous area        2- Enter Room to SOUTH",
                "",
                "3- Remove the boards and enter NORTH room",
                "",
                "4- Check Inventory              5- Quit",
                "",
                "What would you like to do?",
            });
}

TEST(Lunchbox, PaperFirstThenLighterTurnsTheBoxGrey) {
    std::vector<std::string> a = toFarSide() + kToHallwayEnd + std::vector<std::string>{"2"};
    replay::Result r =
        replay::runWithAttributes(script(a + std::vector<std::string>{"2", "2", "", "1", "", "3"}));
    std::size_t n = a.size() + 1;
    const replay::Screen& full = screen(r, n + 1);
    int row = full.findRow("The hinges creak");
    EXPECT_EQ(full.attribute(row, 1), 0x0e);
    EXPECT_TRUE(full.contains("There is an old lighter laying beside the coffee thermos."));
    EXPECT_TRUE(full.contains("1- Get Lighter"));
    EXPECT_TRUE(full.contains("2- Get Paper"));
    // The note first: +25, then back to the box without the paper.
    const replay::Screen& note = screen(r, n + 2);
    EXPECT_TRUE(note.contains("Truely yours,"));
    EXPECT_EQ(note.row(2), std::string(74, '*'));
    const replay::Screen& lighterOnly = screen(r, n + 3);
    expectStatus(lighterOnly, {54, 100, 170, S7});
    EXPECT_EQ(lighterOnly.attribute(row, 1), 0x0e);
    EXPECT_FALSE(lighterOnly.contains("Get Paper"));
    EXPECT_FALSE(lighterOnly.contains("folded sheet"));
    // The lighter's message is one line longer than the screen.
    const replay::Screen& msg = screen(r, n + 4);
    EXPECT_EQ(msg.row(1),
              "You pick the lighter up out of the box.  You never know when this might come in");
    EXPECT_EQ(msg.row(2), "handy.");
    const replay::Screen& empty = screen(r, n + 5);
    expectStatus(empty, {54, 100, 185, S7});
    EXPECT_EQ(empty.attribute(row, 1), 0x08);
    EXPECT_TRUE(empty.contains("There appears to be nothing else of use in this lunchbox."));
    EXPECT_FALSE(empty.contains("1- Get Lighter"));
    EXPECT_TRUE(empty.contains("3- Close Lunchbox"));
    EXPECT_TRUE(r.last().contains("1- Leave room        2- Search Lunchbox"));
}

TEST(Lunchbox, TakenItemsAreNotOfferedAgain) {
    std::vector<std::string> a = toFarSide() + kToHallwayEnd + std::vector<std::string>{"2", "2"};
    replay::Result r =
        replay::run(script(a + std::vector<std::string>{"1", "", "1", "2", "", "2"}));
    std::size_t n = a.size() + 1;
    expectStatus(screen(r, n + 2), {54, 100, 160, S7});
    EXPECT_EQ(screen(r, n + 3).text(), screen(r, n + 2).text()); // "1" again: nothing
    expectStatus(screen(r, n + 5), {54, 100, 185, S7});
    EXPECT_EQ(r.last().text(), screen(r, n + 5).text()); // "2" again: nothing
}

TEST(Lunchbox, NoteTwoReplaysFromTheNotesViewerAndReturnsThere) {
    std::vector<std::string> a = toFarSide() + kToHallwayEnd +
                                 std::vector<std::string>{"2", "2", "2", "", "3", "4", "1", ""};
    replay::Result r = replay::run(script(a + std::vector<std::string>{"6", "2", "", ""}));
    std::size_t n = a.size() + 1;
    EXPECT_TRUE(screen(r, n + 1).contains("2- Lock Out (Collected)"));
    EXPECT_FALSE(screen(r, n + 1).contains("1- Dear Helen (Collected)"));
    EXPECT_TRUE(screen(r, n + 2).contains("Truely yours,"));
    EXPECT_TRUE(screen(r, n + 3).contains("2- Lock Out (Collected)"));
    EXPECT_TRUE(r.last().contains("1- Chapter 1 - The Discovery"));
}

TEST(OfficeHallway, PryOptionIsHiddenBeforeTheDoorWasTried) {
    std::vector<std::string> a = toFarSide() + std::vector<std::string>{"1", "2"};
    replay::Result r = replay::run(script(a + std::vector<std::string>{"4"}));
    std::size_t n = a.size() + 1;
    const replay::Screen& hall = screen(r, n);
    expectRows(hall,
               Rows{""} + statusRows({52, 100, 135, S7}) +
                   Rows{
                       "You continue EAST moving deeper into the mine.  This section feels as if",
                       "it goes on forever.  Spiders and insects skitter into the cracks in the",
                       "walls whenever your light falls on them.  To the NORTH is a door under",
                       "an old sign that reads Foreman's Office, and the hallway continues on",
                       "to the EAST.",
                       "",
                       "1- WEST to previous area    2- NORTH into Foreman's Office   3- Continue "
                       "EAST",
                       "",
                       "5- Check Inventory          6- Quit",
                       "",
                       "What is your choice?",
                   });
    EXPECT_EQ(r.last().text(), hall.text());
    // West goes back to the crossroad.
    replay::Result w = replay::run(script(a + std::vector<std::string>{"1"}));
    EXPECT_TRUE(w.last().contains("You travel WEST."));
    EXPECT_TRUE(w.last().contains(" 1- Go SOUTH to flooded section"));
}

TEST(OfficeHallway, PryOptionAfterTheLockedDoorOnceOnly) {
    std::vector<std::string> a = toFarSide() + std::vector<std::string>{"1", "2"};
    replay::Result probe = replay::run(script(a + std::vector<std::string>{"2"}));
    ASSERT_TRUE(probe.last().contains("Your going to need a key to enter this room."))
        << probe.last().text();
    replay::Result r = replay::run(script(a + std::vector<std::string>{"2", "", "4", "", "4"}));
    std::size_t n = a.size() + 1;
    const replay::Screen& offered = screen(r, n + 2);
    EXPECT_TRUE(offered.contains("4- Attempt to pry door with knife"));
    const replay::Screen& pry = screen(r, n + 3);
    EXPECT_TRUE(pry.contains("Press ENTER to continue"));
    EXPECT_EQ(statusRowOf(pry), 0);
    const replay::Screen& after = screen(r, n + 4);
    EXPECT_FALSE(after.contains("4- Attempt to pry door with knife"));
    EXPECT_EQ(r.last().text(), after.text());

    // Without the knife the option stays hidden even after the door.
    std::vector<std::string> noKnife = kStartChapter + kWater + kNewspaper + kToStore +
                                       kFlashlightIntoMine + kBuildRaft + kCross +
                                       std::vector<std::string>{"1", "2", "2", ""};
    replay::Result k = replay::run(script(noKnife));
    EXPECT_FALSE(k.last().contains("4- Attempt to pry door with knife"));
}

// ---------------------------------------------------------------------------
// Developer-menu jumps and headers

TEST(DeveloperJumps, EntranceHallAndCrossroadFromTheDeveloperMenu) {
    replay::Result r = replay::run(std::string(frame::kOpenDeveloperMenu) + "235\n");
    const replay::Screen& hall = r.last();
    EXPECT_EQ(hall.row(1), "Line 235");
    expectStatus(hall, {49, 100, 0, S6});
    EXPECT_TRUE(hall.contains("1- Go NORTH through the flooded hallway"));

    replay::Result c = replay::run(std::string(frame::kOpenDeveloperMenu) + "420\n3\n2\n2\n2\n\n");
    EXPECT_EQ(c.screens[5].row(2), "Line 420");
    EXPECT_EQ(c.screens[5].row(3), "");
    // The note read after a jump (inStory "0") returns to the notes viewer.
    EXPECT_TRUE(c.last().contains("2- Lock Out (Collected)"));
}

TEST(DeveloperHeaders, HeaderLinesAndTheirEmptyLines) {
    // Bunk room: "Line 255" and an empty line only in developer mode, then
    // the empty line of every mode.
    std::vector<std::string> a = std::vector<std::string>{"fzorp", ""} + toEntrance();
    replay::Result r = replay::run(script(a + std::vector<std::string>{"2", "1"}));
    std::size_t n = a.size() + 1;
    EXPECT_EQ(screen(r, n).row(1), "Line 235");
    const replay::Screen& bunk = screen(r, n + 1);
    EXPECT_EQ(bunk.row(1), "");
    EXPECT_EQ(bunk.row(2), "Line 255");
    EXPECT_EQ(bunk.row(3), "");
    EXPECT_EQ(bunk.row(4), "");
    expectStatus(bunk, {54, 100, 45, S6});
    EXPECT_EQ(statusRowOf(bunk), 5);
    const replay::Screen& cabinet = r.last();
    EXPECT_EQ(cabinet.row(1), "Line 262");
    EXPECT_EQ(cabinet.row(2), "");
    EXPECT_EQ(cabinet.row(5), "You pull open the decrepit cabinet.  Inside there is nothing but a");

    // Without developer mode the bunk room starts with two empty lines.
    replay::Result p = replay::run(script(toEntrance() + std::vector<std::string>{"2"}));
    EXPECT_EQ(statusRowOf(p.last()), 3);
    EXPECT_EQ(p.last().row(1), "");
}

} // namespace

#endif // GLIMMER_REPLAY
