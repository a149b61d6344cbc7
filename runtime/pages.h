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

std::int32_t resolvePage(std::int32_t handle);  // record number, 0 on error
void setWritePage(std::int32_t handle);
void setSourcePage(std::int32_t handle);
std::int32_t getWritePage();   // -record number
std::int32_t getSourcePage();
// A full copy of the page (the write page when handle is absent) as a new
// image; returns its negative handle, or -1 when memory runs out.
std::int32_t snapshotPage(std::int32_t handle);
std::int32_t snapshotWritePage();
void copyPageCells(std::int32_t from, std::int32_t to);
void releaseImage(std::int32_t handle);

ScreenPage* writePage();    // null before selectTextMode0
ScreenPage* sourcePage();
// The page the renderer shows. Safe to call from the main thread.
ScreenPage* displayPage();
ScreenPage* pageByHandle(std::int32_t handle);  // null when none

}  // namespace rt
