// The page table.
//
// Every ScreenPage lives in one table of records that grows 4,096 records at
// a time; released record numbers are reused first. Screen page numbers 0, 1,
// ... map to record numbers; a negative handle -k names record k directly
// (images, snapshots, or any page by its record number). The table names the
// write page (where print goes), the source page and the display page (what
// the renderer shows). The game only ever has text page 0 plus the short-lived
// snapshots line input takes for its redraws.
#pragma once

#include <cstdint>

#include "runtime/screen.h"

namespace rt {

// Empties the table and creates screen page 0 as the 80 x 25 text page with
// its start-up values; it becomes the write, source and display page.
void selectTextMode0();

// Screen page numbers (handle >= 0) with no page yet get one the size of
// page 0. Record number, or 0 on an error (258 for a negative handle naming
// no record in use) or while an error is pending.
std::int32_t resolvePage(std::int32_t handle);
void setWritePage(std::int32_t handle);
void setSourcePage(std::int32_t handle);
std::int32_t getWritePage(); // -record number
std::int32_t getSourcePage();
// A full copy of the page (the write page when handle is absent) as a new
// image; returns its negative handle, or -1 when memory runs out. Record 1 is
// always screen page 0, so -1 never names an image. 0 (no image) when the
// handle is bad or an error is pending.
std::int32_t snapshotPage(std::int32_t handle);
std::int32_t snapshotWritePage();
void copyPageCells(std::int32_t from, std::int32_t to);
void releaseImage(std::int32_t handle);

ScreenPage* writePage(); // null before selectTextMode0
ScreenPage* sourcePage();
// The page the renderer shows. Safe to call from the main thread.
ScreenPage* displayPage();
ScreenPage* pageByHandle(std::int32_t handle); // null when none

// The 256-entry start-up palette (0xAARRGGBB) that text page 0 copies: the
// 16 text colours first, opaque black after them.
const std::uint32_t* startupPalette();

// Bookkeeping of the table, for tests.
struct PageTableStats {
    std::int32_t recordCapacity; // records the array holds (a multiple of 4,096)
    std::int32_t recordsInUse;
    std::int32_t freeRecords; // entries on the free record-number stack
    std::int32_t freeStackCapacity;
    std::int32_t screenPages; // entries of the page-number table
};
PageTableStats pageTableStats();

// Test hook: after skip more allocations of the given kind succeed, the
// next count fail as if memory had run out (page storage: the cells or the
// palette of a new page, in that order).
enum class PageAllocation : std::uint8_t { PageStorage, RecordArray, FreeStack };
void failNextPageAllocations(PageAllocation what, int count, int skip = 0);

} // namespace rt
