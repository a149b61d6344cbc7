// The page table: every screen page and image of the runtime.
//
// Records live in chunks of 4,096 that are allocated zero-filled and never
// move, so a pointer to a record stays valid for as long as the record is in
// use; the renderer on the main thread holds such a pointer to the display
// page. Record 0 is never handed out, so record number 0 can mean "no page"
// in the page-number table. Released record numbers go on a stack and are
// reused before a new chunk is added.
//
// The three current pages (write, source, display) are kept as record
// numbers and as record pointers, both atomic: the game thread is the only
// writer, the renderer reads the display page. Only selecting the text mode
// replaces the page the renderer reads; it does so under a display hold
// (port.h) once the host's display loop runs. Every writer records the
// damage it does in the page (screen.h).
//
// Every operation returns at once while an error is pending.
#include "runtime/pages.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <vector>

#include "runtime/errors.h"
#include "runtime/port.h"

namespace rt {
namespace {

constexpr std::int32_t kChunk = 4096; // records added at a time; free-stack growth too
constexpr std::uint32_t kOwnsPalette = 1u;
constexpr std::uint32_t kScreenPageBit = 2u;
constexpr std::uint32_t kOwnsCells = 4u;
constexpr int kPaletteEntries = 256;

constexpr auto relaxed = std::memory_order_relaxed;

constexpr std::array<std::uint32_t, kPaletteEntries> makeStartupPalette() {
    std::array<std::uint32_t, kPaletteEntries> p{};
    for (int i = 0; i < kPaletteEntries; ++i)
        p[i] = 0xFF000000u | (i < 16 ? kTextColours[i] : 0u);
    return p;
}
constexpr std::array<std::uint32_t, kPaletteEntries> kStartupPalette = makeStartupPalette();

struct Table {
    std::vector<std::unique_ptr<ScreenPage[]>> chunks;
    std::int32_t nextUnused = 1;
    std::vector<std::int32_t> freeRecords;
    std::vector<std::int32_t> pageNumbers; // screen page number -> record, 0 = none
    std::atomic<std::int32_t> write{0};
    std::atomic<std::int32_t> source{0};
    std::atomic<std::int32_t> display{0};
    std::atomic<ScreenPage*> writePtr{nullptr};
    std::atomic<ScreenPage*> sourcePtr{nullptr};
    std::atomic<ScreenPage*> displayPtr{nullptr};
};
Table table;

// The test hook's plan for one kind of allocation: skip, then fail.
struct FailurePlan {
    int skip = 0;
    int fail = 0;
};
FailurePlan failStorage;
FailurePlan failRecordArray;
FailurePlan failFreeStack;

bool takeFailure(FailurePlan& plan) {
    if (plan.fail <= 0) return false;
    if (plan.skip > 0) {
        --plan.skip;
        return false;
    }
    --plan.fail;
    return true;
}

std::int32_t capacity() {
    return static_cast<std::int32_t>(table.chunks.size()) * kChunk;
}

ScreenPage& record(std::int32_t k) {
    return table.chunks[k / kChunk][k % kChunk];
}

// Record k when it is a record in use, else null. Wide arithmetic so that
// the most negative handle cannot overflow.
ScreenPage* recordInUse(std::int64_t k) {
    if (k < 1 || k >= table.nextUnused) return nullptr;
    ScreenPage& r = record(static_cast<std::int32_t>(k));
    return r.inUse != 0 ? &r : nullptr;
}

// Every field of the record but the cells and palette pointers and the
// damage.
void copyFields(ScreenPage& d, const ScreenPage& s) {
    d.inUse = s.inUse;
    d.textPage = s.textPage;
    d.consolePage = s.consolePage;
    d.width = s.width;
    d.height = s.height;
    d.bytesPerCell = s.bytesPerCell;
    d.mode = s.mode;
    d.foreground = s.foreground;
    d.background = s.background;
    d.font = s.font;
    d.printTop = s.printTop;
    d.printBottom = s.printBottom;
    d.cursorColumn.store(s.column(), relaxed);
    d.cursorRow.store(s.row(), relaxed);
    d.cursorVisible.store(s.cursorVisible.load(relaxed), relaxed);
    d.cursorFirstLine.store(s.cursorFirstLine.load(relaxed), relaxed);
    d.cursorLastLine.store(s.cursorLastLine.load(relaxed), relaxed);
    d.pendingWrap.store(s.pendingWrap.load(relaxed), relaxed);
    d.ownership = s.ownership;
}

// A record with every field zero (a new page's defaults are not).
constinit const ScreenPage kZeroRecord{.foreground = 0,
                                       .font = 0,
                                       .printTop = 0,
                                       .printBottom = 0,
                                       .cursorColumn{0},
                                       .cursorRow{0},
                                       .cursorFirstLine{0},
                                       .cursorLastLine{0}};

void zeroRecord(ScreenPage& r) {
    copyFields(r, kZeroRecord);
    r.cells = nullptr;
    r.palette = nullptr;
    r.damage.store(ScreenPage::kDamageAll, relaxed);
}

// Every field of the record; the cells and palette pointers are the caller's
// business.
void copyRecord(ScreenPage& d, const ScreenPage& s) {
    copyFields(d, s);
    d.markDamage(ScreenPage::kDamageAll);
}

std::size_t cellCount(const ScreenPage& p) {
    return static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height);
}

std::atomic<std::uint16_t>* allocateCells(std::size_t n) {
    if (takeFailure(failStorage)) return nullptr;
    return new (std::nothrow) std::atomic<std::uint16_t>[n]();
}

std::uint32_t* allocatePalette() {
    if (takeFailure(failStorage)) return nullptr;
    return new (std::nothrow) std::uint32_t[kPaletteEntries];
}

void growRecords() {
    std::unique_ptr<ScreenPage[]> chunk;
    if (!takeFailure(failRecordArray)) chunk.reset(new (std::nothrow) ScreenPage[kChunk]);
    if (chunk == nullptr) outOfMemory(2);
    for (std::int32_t i = 0; i < kChunk; ++i)
        zeroRecord(chunk[i]);
    try {
        table.chunks.push_back(std::move(chunk));
    } catch (const std::bad_alloc&) {
        outOfMemory(2);
    }
}

std::int32_t allocateRecord() {
    if (!table.freeRecords.empty()) {
        const std::int32_t k = table.freeRecords.back();
        table.freeRecords.pop_back();
        return k;
    }
    if (table.nextUnused >= capacity()) growRecords();
    return table.nextUnused++;
}

void freeStorage(ScreenPage& r) {
    if ((r.ownership & kOwnsCells) != 0) delete[] r.cells;
    if ((r.ownership & kOwnsPalette) != 0) delete[] r.palette;
    r.cells = nullptr;
    r.palette = nullptr;
}

void releaseRecord(std::int32_t k) {
    auto& stack = table.freeRecords;
    if (stack.size() == stack.capacity()) {
        if (takeFailure(failFreeStack)) outOfMemory(3);
        try {
            stack.reserve(stack.capacity() + kChunk);
        } catch (const std::bad_alloc&) {
            outOfMemory(3);
        }
    }
    zeroRecord(record(k));
    stack.push_back(k);
}

void setCurrent(std::atomic<std::int32_t>& number, std::atomic<ScreenPage*>& pointer,
                std::int32_t k) {
    number.store(k, relaxed);
    pointer.store(k != 0 ? &record(k) : nullptr, std::memory_order_release);
}

// The text-mode defaults of a new page.
void initTextFields(ScreenPage& r, std::uint16_t width, std::uint16_t height, std::uint16_t mode) {
    r.inUse = 1;
    r.textPage = 1;
    r.consolePage = 0;
    r.width = width;
    r.height = height;
    r.bytesPerCell = 2;
    r.mode = mode;
    r.foreground = 7;
    r.background = 0;
    r.font = 16;
    r.printTop = 1;
    r.printBottom = static_cast<std::int16_t>(std::max(1, height - 1));
    r.cursorColumn.store(1, relaxed);
    r.cursorRow.store(1, relaxed);
    r.cursorVisible.store(0, relaxed);
    r.cursorFirstLine.store(4, relaxed);
    r.cursorLastLine.store(4, relaxed);
    r.pendingWrap.store(0, relaxed);
    r.markDamage(ScreenPage::kDamageAll);
}

// A new screen page with the size and mode of page 0, sharing its palette.
std::int32_t createScreenPage(std::size_t number) {
    const ScreenPage& zero = record(table.pageNumbers[0]);
    std::atomic<std::uint16_t>* cells = allocateCells(cellCount(zero));
    if (cells == nullptr) outOfMemory(2);
    const std::int32_t k = allocateRecord();
    ScreenPage& r = record(k);
    initTextFields(r, zero.width, zero.height, zero.mode);
    r.textPage = zero.textPage;
    r.bytesPerCell = zero.bytesPerCell;
    r.cells = cells;
    r.palette = zero.palette;
    r.ownership = kScreenPageBit | kOwnsCells;
    table.pageNumbers[number] = k;
    return k;
}

std::int32_t resolve(std::int32_t handle) {
    if (handle < 0) {
        const std::int64_t k = -static_cast<std::int64_t>(handle);
        if (recordInUse(k) == nullptr) {
            raiseError(258);
            return 0;
        }
        return static_cast<std::int32_t>(k);
    }
    const auto number = static_cast<std::size_t>(handle);
    if (number < table.pageNumbers.size() && table.pageNumbers[number] != 0) {
        return table.pageNumbers[number];
    }
    if (table.pageNumbers.empty() || table.pageNumbers[0] == 0) {
        raiseError(5); // no text mode selected yet: nothing to take the size from
        return 0;
    }
    try {
        table.pageNumbers.resize(number + 1, 0);
    } catch (const std::bad_alloc&) {
        outOfMemory(2);
    }
    return createScreenPage(number);
}

std::int32_t snapshotRecord(std::int32_t k) {
    const ScreenPage& s = record(k);
    const std::size_t n = cellCount(s);
    std::atomic<std::uint16_t>* cells = allocateCells(n);
    if (cells == nullptr) return -1;
    std::uint32_t* palette = nullptr;
    if (s.palette != nullptr) {
        palette = allocatePalette();
        if (palette == nullptr) {
            delete[] cells;
            return -1;
        }
        std::copy(s.palette, s.palette + kPaletteEntries, palette);
    }
    if (s.cells != nullptr) {
        for (std::size_t i = 0; i < n; ++i)
            cells[i].store(s.cells[i].load(relaxed), relaxed);
    }
    const std::int32_t j = allocateRecord(); // records never move: s stays valid
    ScreenPage& d = record(j);
    copyRecord(d, s);
    d.inUse = 1;
    d.cells = cells;
    d.palette = palette;
    d.ownership = kOwnsCells | (palette != nullptr ? kOwnsPalette : 0u);
    return -j;
}

void emptyTable() {
    setCurrent(table.write, table.writePtr, 0);
    setCurrent(table.source, table.sourcePtr, 0);
    setCurrent(table.display, table.displayPtr, 0);
    for (std::int32_t k = 1; k < table.nextUnused; ++k)
        freeStorage(record(k));
    table.chunks.clear();
    table.nextUnused = 1;
    std::vector<std::int32_t>().swap(table.freeRecords);
    table.pageNumbers.clear();
}

} // namespace

void selectTextMode0() {
    ScopedDisplayHold hold; // the renderer must not read the old table
    emptyTable();
    constexpr std::uint16_t kWidth = 80;
    constexpr std::uint16_t kHeight = 25;
    std::atomic<std::uint16_t>* cells = allocateCells(std::size_t{kWidth} * kHeight);
    std::uint32_t* palette = cells != nullptr ? allocatePalette() : nullptr;
    if (palette == nullptr) {
        delete[] cells;
        outOfMemory(2);
    }
    std::copy(kStartupPalette.begin(), kStartupPalette.end(), palette);
    const std::int32_t k = allocateRecord();
    ScreenPage& r = record(k);
    initTextFields(r, kWidth, kHeight, 0);
    r.cells = cells;
    r.palette = palette;
    r.ownership = kOwnsPalette | kScreenPageBit | kOwnsCells;
    table.pageNumbers.assign(1, k);
    setCurrent(table.write, table.writePtr, k);
    setCurrent(table.source, table.sourcePtr, k);
    setCurrent(table.display, table.displayPtr, k);
}

std::int32_t resolvePage(std::int32_t handle) {
    if (errorPending() != 0) return 0;
    return resolve(handle);
}

void setWritePage(std::int32_t handle) {
    if (errorPending() != 0) return;
    const std::int32_t k = resolve(handle);
    if (k != 0) setCurrent(table.write, table.writePtr, k);
}

void setSourcePage(std::int32_t handle) {
    if (errorPending() != 0) return;
    const std::int32_t k = resolve(handle);
    if (k != 0) setCurrent(table.source, table.sourcePtr, k);
}

std::int32_t getWritePage() {
    return -table.write.load(relaxed);
}
std::int32_t getSourcePage() {
    return -table.source.load(relaxed);
}

std::int32_t snapshotPage(std::int32_t handle) {
    if (errorPending() != 0) return 0;
    const std::int32_t k = resolve(handle);
    return k != 0 ? snapshotRecord(k) : 0;
}

std::int32_t snapshotWritePage() {
    if (errorPending() != 0) return 0;
    const std::int32_t k = table.write.load(relaxed);
    if (k == 0) {
        raiseError(5);
        return 0;
    }
    return snapshotRecord(k);
}

void copyPageCells(std::int32_t from, std::int32_t to) {
    if (errorPending() != 0) return;
    const std::int32_t a = resolve(from);
    if (a == 0) return;
    const std::int32_t b = resolve(to);
    if (b == 0 || a == b) return;
    const ScreenPage& s = record(a);
    ScreenPage& d = record(b);
    if (s.bytesPerCell != d.bytesPerCell || s.width != d.width || s.height != d.height ||
        s.cells == nullptr || d.cells == nullptr) {
        raiseError(5);
        return;
    }
    const std::size_t n = cellCount(s);
    for (std::size_t i = 0; i < n; ++i)
        d.cells[i].store(s.cells[i].load(relaxed), relaxed);
    d.markDamage(ScreenPage::kDamageRowBits);
}

void releaseImage(std::int32_t handle) {
    if (errorPending() != 0) return;
    if (handle >= 0) {
        raiseError(5);
        return;
    }
    const std::int64_t wide = -static_cast<std::int64_t>(handle);
    ScreenPage* r = recordInUse(wide);
    if (r == nullptr) {
        raiseError(258);
        return;
    }
    if ((r->ownership & kScreenPageBit) != 0) {
        raiseError(5);
        return;
    }
    const auto k = static_cast<std::int32_t>(wide);
    const std::int32_t display = table.display.load(relaxed);
    if (table.write.load(relaxed) == k) setCurrent(table.write, table.writePtr, display);
    if (table.source.load(relaxed) == k) setCurrent(table.source, table.sourcePtr, display);
    freeStorage(*r);
    releaseRecord(k);
}

ScreenPage* writePage() {
    return table.writePtr.load(std::memory_order_acquire);
}
ScreenPage* sourcePage() {
    return table.sourcePtr.load(std::memory_order_acquire);
}
ScreenPage* displayPage() {
    return table.displayPtr.load(std::memory_order_acquire);
}

ScreenPage* pageByHandle(std::int32_t handle) {
    if (handle < 0) return recordInUse(-static_cast<std::int64_t>(handle));
    const auto number = static_cast<std::size_t>(handle);
    if (number >= table.pageNumbers.size() || table.pageNumbers[number] == 0) return nullptr;
    return &record(table.pageNumbers[number]);
}

const std::uint32_t* startupPalette() {
    return kStartupPalette.data();
}

PageTableStats pageTableStats() {
    PageTableStats s{};
    s.recordCapacity = capacity();
    s.freeRecords = static_cast<std::int32_t>(table.freeRecords.size());
    s.freeStackCapacity = static_cast<std::int32_t>(table.freeRecords.capacity());
    s.screenPages = static_cast<std::int32_t>(table.pageNumbers.size());
    for (std::int32_t k = 1; k < table.nextUnused; ++k) {
        if (record(k).inUse != 0) ++s.recordsInUse;
    }
    return s;
}

void failNextPageAllocations(PageAllocation what, int count, int skip) {
    const FailurePlan plan{skip, count};
    switch (what) {
    case PageAllocation::PageStorage:
        failStorage = plan;
        break;
    case PageAllocation::RecordArray:
        failRecordArray = plan;
        break;
    case PageAllocation::FreeStack:
        failFreeStack = plan;
        break;
    }
}

} // namespace rt
