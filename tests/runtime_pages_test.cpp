// The page table: the start-up page, screen pages, snapshots, cell copies and
// image release, with the handle errors and the record bookkeeping.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/screen.h"

using namespace screentest;

namespace {

class PageTable : public ::testing::Test {
  protected:
    void SetUp() override { freshRuntime(); }
    void TearDown() override {
        rt::failNextPageAllocations(rt::PageAllocation::PageStorage, 0);
        rt::failNextPageAllocations(rt::PageAllocation::RecordArray, 0);
        rt::failNextPageAllocations(rt::PageAllocation::FreeStack, 0);
        rt::resetErrorsAndFlags();
    }
};

std::vector<std::uint16_t> allCells(const rt::ScreenPage& p) {
    std::vector<std::uint16_t> v;
    for (int r = 1; r <= p.height; ++r) {
        for (int c = 1; c <= p.width; ++c)
            v.push_back(p.cell(r, c));
    }
    return v;
}

// A page's settings, cells and palette aside, in one line.
std::string settings(const rt::ScreenPage& p) {
    std::ostringstream o;
    o << "in use " << int(p.inUse) << ", text " << int(p.textPage) << ", console "
      << int(p.consolePage) << "; " << p.width << "x" << p.height << ", " << int(p.bytesPerCell)
      << " bytes a cell, mode " << p.mode << ", font " << p.font << "; colours " << p.foreground
      << " on " << p.background << "; print rows " << p.printTop << ".." << p.printBottom
      << "; cursor " << cursor(p) << ", visible " << int(p.cursorVisible.load()) << ", lines "
      << int(p.cursorFirstLine.load()) << ".." << int(p.cursorLastLine.load());
    return o.str();
}

// A text page of mode 0 when it is made: 80 x 25 blank (zero) cells, grey on
// black, the cursor at the top left, hidden, one line high.
void expectNewTextPage(const rt::ScreenPage& p) {
    EXPECT_EQ(settings(p), "in use 1, text 1, console 0; 80x25, 2 bytes a cell, mode 0, font 16; "
                           "colours 7 on 0; print rows 1..24; cursor {column 1, row 1, pending "
                           "wrap 0}, visible 0, lines 4..4");
    EXPECT_EQ(allCells(p), std::vector<std::uint16_t>(2000, 0));
}

// A screen with text in several colours on every row and the cursor mid-row.
void paintScreen() {
    rt::clearScreen(0, 0, 0);
    for (int i = 0; i < 30; ++i) {
        rt::setTextColour(1 + i % 31, i % 8, 0, 3);
        piece("row " + std::to_string(i) + " of the painted screen");
        lineEnd();
    }
    piece("prompt? ");
}

} // namespace

TEST_F(PageTable, TextModeZeroCreatesPageZeroWithItsStartUpValues) {
    const rt::ScreenPage* p = rt::displayPage();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(rt::writePage(), p);
    EXPECT_EQ(rt::sourcePage(), p);
    EXPECT_EQ(rt::pageByHandle(0), p);
    EXPECT_EQ(rt::pageByHandle(-1), p); // page 0 is record 1
    EXPECT_EQ(rt::getWritePage(), -1);
    EXPECT_EQ(rt::getSourcePage(), -1);
    EXPECT_EQ(rt::resolvePage(0), 1);

    expectNewTextPage(*p);
    EXPECT_EQ(p->ownership, 7u);

    const std::uint32_t text[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                    0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                    0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
    ASSERT_NE(p->palette, nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p->palette[i], 0xFF000000u | text[i]) << i;

    const rt::PageTableStats s = rt::pageTableStats();
    EXPECT_EQ(s.recordCapacity, 4096);
    EXPECT_EQ(s.recordsInUse, 1);
    EXPECT_EQ(s.screenPages, 1);
}

TEST_F(PageTable, SelectingTextModeAgainStartsAFreshTable) {
    paintScreen();
    rt::snapshotWritePage();
    rt::resolvePage(2);
    rt::selectTextMode0();
    const rt::PageTableStats s = rt::pageTableStats();
    EXPECT_EQ(s.recordsInUse, 1);
    EXPECT_EQ(s.screenPages, 1);
    EXPECT_EQ(s.freeRecords, 0);
    EXPECT_EQ(cursor(), (Cursor{1, 1, 0}));
    for (std::uint16_t c : allCells(page()))
        ASSERT_EQ(c, 0);
}

TEST_F(PageTable, ASnapshotAndACopyBackRestoreEveryCellButNotTheCursor) {
    paintScreen();
    const std::vector<std::uint16_t> before = allCells(page());
    const Cursor cursorBefore = cursor();
    const std::int32_t snap = rt::snapshotWritePage();
    ASSERT_LT(snap, -1);

    // The snapshot is a full copy: record, cells and palette of its own.
    const rt::ScreenPage* s = rt::pageByHandle(snap);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(allCells(*s), before);
    EXPECT_EQ(cursor(*s), cursorBefore);
    EXPECT_EQ(s->foreground, page().foreground);
    EXPECT_EQ(s->background, page().background);
    EXPECT_EQ(s->width, 80);
    EXPECT_EQ(s->height, 25);
    EXPECT_EQ(s->printBottom, 24);
    EXPECT_NE(s->cells, page().cells);
    ASSERT_NE(s->palette, nullptr);
    EXPECT_NE(s->palette, page().palette);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(s->palette[i], page().palette[i]);
    EXPECT_EQ(s->ownership, 5u); // owns cells and palette, not a screen page

    // Scroll and overwrite the screen, then copy the snapshot back.
    for (int i = 0; i < 40; ++i) {
        piece("scrolling text that overwrites everything");
        lineEnd();
    }
    rt::setTextColour(14, 0, 0, 1);
    piece("moved");
    const Cursor cursorAfter = cursor();
    ASSERT_NE(allCells(page()), before);

    rt::copyPageCells(snap, 0);
    EXPECT_EQ(rt::errorPending(), 0u);
    EXPECT_EQ(allCells(page()), before);
    EXPECT_EQ(cursor(), cursorAfter);
    EXPECT_EQ(page().foreground, 14);

    rt::releaseImage(snap);
    EXPECT_EQ(rt::errorPending(), 0u);
    EXPECT_EQ(rt::pageByHandle(snap), nullptr);
    EXPECT_EQ(allCells(page()), before); // the screen keeps its own cells
}

TEST_F(PageTable, OutputGoesToTheWritePageAndReleasingItFallsBackToTheDisplayPage) {
    rt::clearScreen(0, 0, 0);
    const std::int32_t snap = rt::snapshotWritePage();
    rt::setWritePage(snap);
    rt::setSourcePage(snap);
    EXPECT_EQ(rt::getWritePage(), snap);
    EXPECT_EQ(rt::getSourcePage(), snap);
    EXPECT_EQ(rt::writePage(), rt::pageByHandle(snap));
    EXPECT_NE(rt::writePage(), rt::displayPage());

    piece("off screen");
    EXPECT_EQ(row(1, *rt::pageByHandle(snap)), "off screen");
    EXPECT_EQ(row(1, *rt::displayPage()), "");

    rt::releaseImage(snap);
    EXPECT_EQ(rt::errorPending(), 0u);
    EXPECT_EQ(rt::writePage(), rt::displayPage());
    EXPECT_EQ(rt::sourcePage(), rt::displayPage());
    EXPECT_EQ(rt::getWritePage(), -1);
    EXPECT_EQ(rt::getSourcePage(), -1);
    piece("on screen");
    EXPECT_EQ(row(1, *rt::displayPage()), "on screen");
}

TEST_F(PageTable, CopyingCellsBetweenPagesOfDifferentSizesRaisesErrorFiveAndChangesNothing) {
    paintScreen();
    const std::int32_t snap = rt::snapshotWritePage();
    rt::clearScreen(0, 0, 0);
    rt::ScreenPage* s = rt::pageByHandle(snap);
    const std::vector<std::uint16_t> screenBefore = allCells(page());
    const std::vector<std::uint16_t> snapBefore = allCells(*s);

    s->height = 24; // a smaller page (its storage stays the larger one)
    rt::copyPageCells(snap, 0);
    EXPECT_EQ(rt::errorPending(), 5u);
    rt::clearError();
    rt::copyPageCells(0, snap);
    EXPECT_EQ(rt::errorPending(), 5u);
    rt::clearError();
    s->height = 25;

    s->width = 40;
    rt::copyPageCells(0, snap);
    EXPECT_EQ(rt::errorPending(), 5u);
    rt::clearError();
    s->width = 80;

    s->bytesPerCell = 1;
    rt::copyPageCells(snap, 0);
    EXPECT_EQ(rt::errorPending(), 5u);
    rt::clearError();
    s->bytesPerCell = 2;

    EXPECT_EQ(allCells(page()), screenBefore);
    EXPECT_EQ(allCells(*s), snapBefore);

    // Onto itself: nothing happens, no error.
    rt::copyPageCells(snap, snap);
    rt::copyPageCells(0, -1);
    EXPECT_EQ(rt::errorPending(), 0u);
    EXPECT_EQ(allCells(page()), screenBefore);
}

TEST_F(PageTable, BadHandlesRaise258AndScreenPagesCannotBeReleased) {
    const std::int32_t snap = rt::snapshotWritePage();
    struct Case {
        const char* what;
        void (*run)(std::int32_t snap);
        std::uint32_t error;
    };
    const Case cases[] = {
        {"release page number 0", [](std::int32_t) { rt::releaseImage(0); }, 5},
        {"release page number 3", [](std::int32_t) { rt::releaseImage(3); }, 5},
        {"release page 0 by record", [](std::int32_t) { rt::releaseImage(-1); }, 5},
        {"release an unused record", [](std::int32_t) { rt::releaseImage(-999); }, 258},
        {"release beyond the array", [](std::int32_t) { rt::releaseImage(-5000000); }, 258},
        {"release the most negative", [](std::int32_t) { rt::releaseImage(INT32_MIN); }, 258},
        {"write page unused record", [](std::int32_t) { rt::setWritePage(-999); }, 258},
        {"source page unused record", [](std::int32_t) { rt::setSourcePage(-2000); }, 258},
        {"copy from unused record", [](std::int32_t s) { rt::copyPageCells(-999, s); }, 258},
        {"copy to unused record", [](std::int32_t s) { rt::copyPageCells(s, -999); }, 258},
        {"resolve unused record", [](std::int32_t) { rt::resolvePage(-3000); }, 258},
        {"snapshot unused record", [](std::int32_t) { rt::snapshotPage(-77); }, 258},
    };
    for (const Case& c : cases) {
        rt::clearError();
        c.run(snap);
        EXPECT_EQ(rt::errorPending(), c.error) << c.what;
        EXPECT_EQ(rt::writePage(), rt::displayPage()) << c.what;
        EXPECT_NE(rt::pageByHandle(snap), nullptr) << c.what;
        EXPECT_EQ(rt::pageTableStats().recordsInUse, 2) << c.what;
    }
    rt::clearError();

    // A screen page made by resolving its number cannot be released either.
    const std::int32_t record = rt::resolvePage(1);
    rt::releaseImage(-record);
    EXPECT_EQ(rt::errorPending(), 5u);
    EXPECT_NE(rt::pageByHandle(1), nullptr);
    rt::clearError();

    // Releasing twice: the second time the record is no longer in use.
    rt::releaseImage(snap);
    EXPECT_EQ(rt::errorPending(), 0u);
    rt::releaseImage(snap);
    EXPECT_EQ(rt::errorPending(), 258u);
}

TEST_F(PageTable, ResolvingANewPageNumberCreatesAScreenPageLikePageZero) {
    rt::setTextColour(3, 0, 0, 1);
    const std::int32_t record = rt::resolvePage(2);
    EXPECT_EQ(rt::errorPending(), 0u);
    ASSERT_GT(record, 1);
    EXPECT_EQ(rt::resolvePage(2), record);
    EXPECT_EQ(rt::pageByHandle(1), nullptr); // numbers in between stay empty
    EXPECT_EQ(rt::pageTableStats().screenPages, 3);

    const rt::ScreenPage* p = rt::pageByHandle(2);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p, rt::pageByHandle(-record));
    expectNewTextPage(*p);
    EXPECT_EQ(p->palette, rt::displayPage()->palette); // shared, not owned
    EXPECT_EQ(p->ownership, 6u);                       // screen page owning its cells

    // Writing to it leaves page 0 alone.
    rt::setWritePage(2);
    EXPECT_EQ(rt::getWritePage(), -record);
    piece("page two");
    EXPECT_EQ(row(1, *p), "page two" + repeat('~', 72));
    EXPECT_EQ(row(1, *rt::displayPage()), repeat('~', 80));

    // A snapshot of a screen page is an image with its own palette copy.
    const std::int32_t snap = rt::snapshotPage(2);
    const rt::ScreenPage* s = rt::pageByHandle(snap);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->ownership, 5u);
    EXPECT_NE(s->palette, p->palette);
    EXPECT_EQ(row(1, *s), "page two" + repeat('~', 72));
}

TEST_F(PageTable, ReleasedRecordsAreReusedLastFirstBeforeTheArrayGrows) {
    const std::int32_t a = rt::snapshotWritePage();
    const std::int32_t b = rt::snapshotWritePage();
    const std::int32_t c = rt::snapshotWritePage();
    EXPECT_EQ(a, -2);
    EXPECT_EQ(b, -3);
    EXPECT_EQ(c, -4);
    rt::releaseImage(a);
    rt::releaseImage(c);
    EXPECT_EQ(rt::pageTableStats().freeRecords, 2);
    EXPECT_EQ(rt::pageTableStats().freeStackCapacity, 4096);
    EXPECT_EQ(rt::snapshotWritePage(), c);
    EXPECT_EQ(rt::snapshotWritePage(), a);
    EXPECT_EQ(rt::snapshotWritePage(), -5);
    EXPECT_EQ(rt::pageTableStats().freeRecords, 0);
    EXPECT_EQ(rt::pageTableStats().recordsInUse, 5);
}

TEST_F(PageTable, TheRecordArrayAndTheFreeStackGrowBy4096AndRecordsNeverMove) {
    paintScreen();
    const rt::ScreenPage* screen = rt::displayPage();
    const std::int32_t first = rt::snapshotWritePage();
    const rt::ScreenPage* firstImage = rt::pageByHandle(first);

    std::vector<std::int32_t> images{first};
    for (int i = 1; i < 5000; ++i)
        images.push_back(rt::snapshotWritePage());
    EXPECT_EQ(images.back(), -5001);
    rt::PageTableStats s = rt::pageTableStats();
    EXPECT_EQ(s.recordCapacity, 8192);
    EXPECT_EQ(s.recordsInUse, 5001);
    // The renderer's page and earlier images stay where they were.
    EXPECT_EQ(rt::displayPage(), screen);
    EXPECT_EQ(rt::pageByHandle(first), firstImage);
    EXPECT_EQ(allCells(*firstImage), allCells(*screen));

    for (std::int32_t h : images)
        rt::releaseImage(h);
    EXPECT_EQ(rt::errorPending(), 0u);
    s = rt::pageTableStats();
    EXPECT_EQ(s.recordsInUse, 1);
    EXPECT_EQ(s.freeRecords, 5000);
    EXPECT_EQ(s.freeStackCapacity, 8192);
    EXPECT_EQ(s.recordCapacity, 8192);

    // Reused records come back zero-filled and then fully copied.
    const std::int32_t again = rt::snapshotWritePage();
    EXPECT_EQ(again, images.back());
    EXPECT_EQ(allCells(*rt::pageByHandle(again)), allCells(*screen));
    EXPECT_EQ(cursor(*rt::pageByHandle(again)), cursor(*screen));
}

TEST_F(PageTable, EveryOperationReturnsAtOnceWhileAnErrorIsPending) {
    paintScreen();
    const std::int32_t snap = rt::snapshotWritePage();
    rt::clearScreen(0, 0, 0);
    const std::vector<std::uint16_t> screenBefore = allCells(page());
    rt::raiseError(5);

    EXPECT_EQ(rt::snapshotWritePage(), 0);
    EXPECT_EQ(rt::snapshotPage(0), 0);
    EXPECT_EQ(rt::resolvePage(3), 0);
    rt::setWritePage(snap);
    rt::setSourcePage(snap);
    rt::copyPageCells(snap, 0);
    rt::releaseImage(snap);
    rt::releaseImage(-12345);
    EXPECT_EQ(rt::errorPending(), 5u);

    const rt::PageTableStats s = rt::pageTableStats();
    EXPECT_EQ(s.recordsInUse, 2);
    EXPECT_EQ(s.screenPages, 1);
    EXPECT_EQ(rt::writePage(), rt::displayPage());
    EXPECT_EQ(rt::sourcePage(), rt::displayPage());
    EXPECT_NE(rt::pageByHandle(snap), nullptr);
    EXPECT_EQ(allCells(page()), screenBefore);
}

TEST_F(PageTable, ASnapshotThatCannotGetItsCellsOrPaletteReturnsMinusOne) {
    rt::failNextPageAllocations(rt::PageAllocation::PageStorage, 1); // the cells
    EXPECT_EQ(rt::snapshotWritePage(), -1);
    rt::failNextPageAllocations(rt::PageAllocation::PageStorage, 1, 1); // the palette
    EXPECT_EQ(rt::snapshotWritePage(), -1);
    EXPECT_EQ(rt::errorPending(), 0u);
    EXPECT_EQ(rt::pageTableStats().recordsInUse, 1);
    EXPECT_EQ(rt::snapshotWritePage(), -2); // nothing was used up
}

using PageTableDeathTest = PageTable;

TEST_F(PageTableDeathTest, ARecordArrayThatCannotGrowIsCriticalErrorTwo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            rt::failNextPageAllocations(rt::PageAllocation::RecordArray, 1);
            rt::selectTextMode0();
        },
        ::testing::ExitedWithCode(0), "Critical Error #2: Out of memory");
    EXPECT_EXIT(
        {
            for (int i = 0; i < 4094; ++i)
                rt::snapshotWritePage();
            rt::failNextPageAllocations(rt::PageAllocation::RecordArray, 1);
            rt::snapshotWritePage();
        },
        ::testing::ExitedWithCode(0), "Critical Error #2: Out of memory");
}

TEST_F(PageTableDeathTest, AFreeStackThatCannotGrowIsCriticalErrorThree) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::int32_t snap = rt::snapshotWritePage();
            rt::failNextPageAllocations(rt::PageAllocation::FreeStack, 1);
            rt::releaseImage(snap);
        },
        ::testing::ExitedWithCode(0), "Critical Error #3: Out of memory");
}

// The renderer reads the display page on the main thread while the game
// thread takes snapshots, switches its write page and releases images the way
// line input does (run under ThreadSanitizer too).
TEST(PageSharing, TheDisplayPageStaysReadableWhileLineInputSwapsWritePages) {
    freshRuntime();
    DisplayReader renderer;
    int i = 0;
    for (; i < 200 || (renderer.frames() < 5 && i < 100000); ++i) {
        const std::int32_t before = rt::snapshotWritePage();
        const std::int32_t work = rt::snapshotWritePage();
        piece("typed " + std::to_string(i));
        rt::copyPageCells(before, work);
        rt::setWritePage(work);
        piece("redrawn");
        rt::setWritePage(0);
        rt::copyPageCells(work, 0);
        lineEnd();
        rt::releaseImage(work);
        rt::releaseImage(before);
        rt::releaseTemporaries(1, 0);
    }
    renderer.stop();
    EXPECT_GE(renderer.frames(), 5);
    EXPECT_EQ(rt::errorPending(), 0u);
    EXPECT_EQ(rt::pageTableStats().recordsInUse, 1);
}
