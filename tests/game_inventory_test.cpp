// The Chapter 1 inventory screen, the notes viewer and the end-of-demo
// screen, played through the replay driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/game_walk.h"
#include "tests/support/replay.h"

#ifdef GLIMMER_REPLAY

using frame::expectMainMenu;
using frame::expectRows;
using frame::kDeveloperItemRows;
using frame::kStars74;
using frame::operator+;
using frame::Rows;
using frame::screen;

namespace {

// The developer menu hands out its items; "2000" leaves it through the
// end-of-demo screen for the main menu, from where Chapter 1's living room
// (scene 103) offers "5- Check Inventory".
std::string developerThenLivingRoom(const std::string& entries = "") {
    return std::string(frame::kOpenDeveloperMenu) + entries + "2000\n\n1\n";
}
// Screens up to the living room for developerThenLivingRoom with n extra
// developer-menu entries.
std::size_t livingRoomScreen(std::size_t entries = 0) {
    return frame::kDeveloperMenuScreen + entries + 3;
}

// The eight items of the developer menu, with both offers: the list runs two
// rows past the print area and the screen scrolls twice, taking the header
// line and the empty line after it.
const std::vector<std::string> kDeveloperItemsRows =
    Rows{kStars74} + kDeveloperItemRows +
    Rows{kStars74,
         "",
         "Press 1 to drink Bottled Water, or ENTER to continue.",
         "",
         "Press 2 if you want to eat the Slimy Yellow Mushroom",
         "",
         "?"};

TEST(Inventory, ListsTheDeveloperMenuItemsAndBothOffers) {
    replay::Result r = replay::run(developerThenLivingRoom() + "5\n");
    const replay::Screen& s = screen(r, livingRoomScreen() + 1);
    expectRows(s, kDeveloperItemsRows);
    EXPECT_EQ(s.cursorRow, 24);
    EXPECT_EQ(s.cursorColumn, 3);
}

TEST(Inventory, DeveloperMenuEntryThreeTakesTheItemsAway) {
    replay::Result r = replay::run(std::string(frame::kOpenDeveloperMenu) + "3\n1\n5\n");
    expectRows(screen(r, frame::kDeveloperMenuScreen + 3),
               {"Line 600", "", kStars74, kStars74, "", "Press Enter to continue", "?"});
}

TEST(Inventory, EmptyEntryGoesBackToTheScene) {
    replay::Result r = replay::run(developerThenLivingRoom() + "5\n\n");
    std::size_t room = livingRoomScreen();
    EXPECT_EQ(screen(r, room + 2).text(), screen(r, room).text());
}

TEST(Inventory, PoisonMushroomThenWaterEmptiesTheBottle) {
    replay::Result r = replay::run(developerThenLivingRoom() + "5\n2\n\n5\n1\n\n\n");
    std::size_t n = livingRoomScreen();
    expectRows(screen(r, n + 2),
               {"",
                "You eat the Slimy Yellow Mushroom and take 25 points of damage, it was poison!",
                "", "Press ENTER to continue?"});
    EXPECT_TRUE(screen(r, n + 3).contains("Health  75")) << screen(r, n + 3).text();
    // The mushroom is gone; the water is offered alone.
    expectRows(screen(r, n + 4),
               {"Line 600", "",
                kStars74,   "L.E.D. Flashlight",
                "",         "Smoke Bomb",
                "",         "Disposible Lighter",
                "",         "Knife",
                "",         "Bottled Water",
                "",         "Sharp Metal Rod",
                "",         "Rusty Key",
                "",         kStars74,
                "",         "Press 1 to drink Bottled Water, or ENTER to continue.",
                "",         "?"});
    const replay::Screen& drink = screen(r, n + 5);
    expectRows(drink, {"", "You drink the water and regain your health", "?"});
    EXPECT_EQ(drink.cursorRow, 3);
    EXPECT_EQ(drink.cursorColumn, 3);
    // The screen again: an empty bottle, no offer at all, a bare prompt.
    expectRows(screen(r, n + 6), {"Line 600", "",
                                  kStars74,   "L.E.D. Flashlight",
                                  "",         "Smoke Bomb",
                                  "",         "Disposible Lighter",
                                  "",         "Knife",
                                  "",         "Empty Bottle",
                                  "",         "Sharp Metal Rod",
                                  "",         "Rusty Key",
                                  "",         kStars74,
                                  "",         "?"});
    EXPECT_TRUE(screen(r, n + 7).contains("Health  100")) << screen(r, n + 7).text();
}

TEST(Inventory, WaterAtFullHealthDoesNotHelpAndStaysFull) {
    replay::Result r = replay::run(developerThenLivingRoom() + "5\n1\n\n5\n");
    std::size_t n = livingRoomScreen();
    expectRows(screen(r, n + 2),
               {"Drinking water will not help you at this time!", "", "Press Enter to continue?"});
    EXPECT_EQ(screen(r, n + 3).text(), screen(r, n).text());
    expectRows(screen(r, n + 4), kDeveloperItemsRows);
}

TEST(Inventory, RedMushroomIsEatenThoughNotListed) {
    // "2" adds the Chapter 2 items, the red mushroom among them.
    replay::Result r = replay::run(developerThenLivingRoom("2\n") + "5\n3\n\n5\n3\n");
    std::size_t n = livingRoomScreen(1);
    EXPECT_FALSE(screen(r, n + 1).contains("Red")) << screen(r, n + 1).text();
    expectRows(screen(r, n + 2),
               {"", "You decide to eat the Glowing Red Mushroom.  It tastes terrible but you feel",
                "better than ever!  You now have 125 health!", "", "Press Enter to continue?"});
    EXPECT_TRUE(screen(r, n + 3).contains("Health  125")) << screen(r, n + 3).text();
    // Eaten: "3" now just goes back.
    EXPECT_EQ(screen(r, n + 5).text(), screen(r, n + 3).text());
}

TEST(Inventory, PoisonAtTwentyFiveHealthEndsTheStory) {
    // Three tries through the flooded hall north of the entrance hall
    // (scene 235) leave 25 health.
    replay::Result r =
        replay::run(std::string(frame::kOpenDeveloperMenu) + "235\n1\n\n1\n\n1\n\n4\n2\n\n\n\n");
    std::size_t n = frame::kDeveloperMenuScreen + 8;
    EXPECT_TRUE(screen(r, n - 1).contains("Health 25")) << screen(r, n - 1).text();
    EXPECT_TRUE(screen(r, n + 1).contains("it was poison!")) << screen(r, n + 1).text();
    std::size_t score = n + 2;
    if (screen(r, score).contains("Line 610")) ++score; // the poison death screen
    EXPECT_TRUE(screen(r, score).contains("Your total score for this story is"))
        << screen(r, score).text();
    expectMainMenu(screen(r, score + 1));
}

TEST(Inventory, WorkshopKeepsTheInventoryColour) {
    // Entrance hall -> tunnel -> workshop (scene 283), inventory, back.
    replay::Result r =
        replay::runWithAttributes(std::string(frame::kOpenDeveloperMenu) + "235\n3\n3\n3\n\n");
    const replay::Screen& workshop = screen(r, frame::kDeveloperMenuScreen + 5);
    int row = workshop.findRow("1- Exit the room");
    ASSERT_NE(row, 0) << workshop.text();
    EXPECT_EQ(workshop.attribute(row, 2), 0x0E);
}

TEST(NotesViewer, ListsFiveLockedNotesInAFreshRun) {
    replay::Result r = replay::runWithAttributes("6\n");
    const replay::Screen& s = screen(r, 2);
    expectRows(s, frame::notesRows(false, false, false));
    EXPECT_EQ(s.cursorRow, 12);
    EXPECT_EQ(s.cursorColumn, 62);
    EXPECT_EQ(s.attribute(1, 1), 0x0E);
}

TEST(NotesViewer, AnyEntryWithoutACollectedNoteReturnsToTheMainMenu) {
    for (const char* entry : {"", "1", "2", "3", "4", "5", "6", "x"}) {
        SCOPED_TRACE(entry);
        replay::Result r = replay::run(std::string("6\n") + entry + "\n");
        expectMainMenu(screen(r, 3));
    }
}

TEST(NotesViewer, LockedNoteNextToACollectedOneReturnsToTheMainMenu) {
    replay::Result r = replay::run("5\nK2071\n\n6\n2\n");
    expectMainMenu(screen(r, 6), {.chapter2 = true});
}

TEST(NotesViewer, ReplayedNoteComesBackToTheViewer) {
    struct Case {
        const char* password;
        const char* note;
        const char* date;
    };
    for (const Case& c : {Case{"K2071", "1", "July 5th, 1945"}, Case{"P5208", "2", "August 1945"},
                          Case{"R6473", "3", "August 4th, 1945"}}) {
        SCOPED_TRACE(c.note);
        replay::Result r =
            replay::run(std::string("5\n") + c.password + "\n\n6\n" + c.note + "\n\n");
        const replay::Screen& note = screen(r, 6);
        EXPECT_TRUE(note.contains(c.date)) << note.text();
        EXPECT_EQ(screen(r, 7).text(), screen(r, 5).text());
    }
}

TEST(EndOfDemo, PointsToTheWebSiteAndReturnsToTheMainMenu) {
    replay::Result r = replay::runWithAttributes("5\nM3146\n\n2\n\n");
    const replay::Screen& s = screen(r, 5);
    expectRows(s, {"", "Keep an eye on www.glimmerdeep-adventure.net for future updates on the",
                   "game.", "", "Press ENTER to continue?"});
    EXPECT_EQ(s.attribute(2, 1), 0x0F);
    expectMainMenu(screen(r, 6), {.chapter2 = true});
}

} // namespace

#endif // GLIMMER_REPLAY
