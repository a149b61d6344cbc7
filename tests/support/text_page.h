// A text page of its own, outside the page table, for the renderer's tests
// and benchmarks: `columns` x `rows` cells (all zero) of one font, and a copy
// of the start-up palette.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/palette.h"
#include "runtime/screen.h"

namespace support {

struct TextPage {
    explicit TextPage(int columns = 80, int rows = 25, int font = 16)
        : page{.inUse = 1,
               .textPage = 1,
               .width = static_cast<std::uint16_t>(columns),
               .height = static_cast<std::uint16_t>(rows),
               .bytesPerCell = 2,
               .font = font},
          cells(std::make_unique<std::atomic<std::uint16_t>[]>(static_cast<std::size_t>(columns) *
                                                               static_cast<std::size_t>(rows))),
          palette(host::defaultPalette256(), host::defaultPalette256() + 256) {
        page.cells = cells.get();
        page.palette = palette.data();
    }

    void put(int row, int column, std::uint8_t ch, std::uint8_t attribute) { // 1-based
        page.setCell(row, column, rt::makeCell(ch, attribute));
    }
    void fill(std::uint8_t ch, std::uint8_t attribute) {
        for (int r = 1; r <= page.height; ++r)
            for (int c = 1; c <= page.width; ++c)
                put(r, c, ch, attribute);
    }
    void cursorAt(int row, int column, bool visible = true) {
        page.cursorRow.store(static_cast<std::int16_t>(row));
        page.cursorColumn.store(static_cast<std::int16_t>(column));
        page.cursorVisible.store(visible ? 1 : 0);
        page.markCursor();
    }

    rt::ScreenPage page;
    std::unique_ptr<std::atomic<std::uint16_t>[]> cells;
    std::vector<std::uint32_t> palette;
};

} // namespace support
