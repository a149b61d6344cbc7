// A text page of its own, outside the page table, for the renderer's tests
// and benchmarks: 80 columns of the 16-pixel font, `cellCount` cells filled
// with one cell value, and a copy of the start-up palette.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/palette.h"
#include "runtime/screen.h"

namespace support {

struct TextPage {
    explicit TextPage(int cellCount = 2000, std::uint16_t fill = rt::makeCell(' ', 0x07))
        : cells(
              std::make_unique<std::atomic<std::uint16_t>[]>(static_cast<std::size_t>(cellCount))),
          palette(host::defaultPalette256(), host::defaultPalette256() + 256) {
        page.inUse = 1;
        page.textPage = 1;
        page.width = 80;
        page.height = 25;
        page.bytesPerCell = 2;
        page.font = 16;
        for (int i = 0; i < cellCount; ++i)
            cells[static_cast<std::size_t>(i)].store(fill);
        page.cells = cells.get();
        page.palette = palette.data();
    }

    rt::ScreenPage page;
    std::unique_ptr<std::atomic<std::uint16_t>[]> cells;
    std::vector<std::uint32_t> palette;
};

} // namespace support
