// Helpers for tests that script the text screen: print pieces the way the
// game's statements do and read rows of a page back as strings.
#pragma once

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>

#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/screen.h"
#include "runtime/strings.h"

namespace screentest {

// A fresh runtime: flags and errors cleared, a new string store, an empty
// keyboard ring, text mode 0.
inline void freshRuntime() {
    rt::resetErrorsAndFlags();
    rt::initStringStore();
    rt::resetLowMemory();
    rt::selectTextMode0();
}

inline rt::ScreenPage& page() {
    return *rt::writePage();
}

inline rt::RuntimeString* text(std::string_view s) {
    return rt::literal(s.data(), static_cast<std::int32_t>(s.size()));
}

// print with no line end.
inline void put(std::string_view s) {
    rt::print(text(s), 0);
}
// A game piece: make fit, then print with no line end.
inline void piece(std::string_view s) {
    rt::RuntimeString* t = text(s);
    if (rt::errorPending() == 0) rt::makeFit(t);
    rt::print(t, 0);
}
// The bare line end of the game's statements.
inline void lineEnd() {
    rt::print(rt::emptyString(), 1);
}

inline void moveTo(int column, int row, rt::ScreenPage& p = page()) {
    p.cursorColumn.store(static_cast<std::int16_t>(column));
    p.cursorRow.store(static_cast<std::int16_t>(row));
}

// Row r of the page as text, trailing blanks removed; character 0 shows as
// `zero` ('~' by default, so untouched cells stay visible).
inline std::string row(int r, const rt::ScreenPage& p = page(), char zero = '~') {
    std::string s;
    for (int c = 1; c <= p.width; ++c) {
        const std::uint8_t ch = rt::cellCharacter(p.cell(r, c));
        s.push_back(ch == 0 ? zero : static_cast<char>(ch));
    }
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

inline std::uint8_t attr(int r, int c, const rt::ScreenPage& p = page()) {
    return rt::cellAttribute(p.cell(r, c));
}

// True when every cell of row r has attribute a.
inline bool rowAttributesAre(int r, std::uint8_t a, const rt::ScreenPage& p = page()) {
    for (int c = 1; c <= p.width; ++c) {
        if (attr(r, c, p) != a) return false;
    }
    return true;
}

struct Cursor {
    int column;
    int row;
    int pendingWrap;
    bool operator==(const Cursor&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Cursor& c) {
    return o << "{column " << c.column << ", row " << c.row << ", pending wrap " << c.pendingWrap
             << "}";
}
inline Cursor cursor(const rt::ScreenPage& p = page()) {
    return {p.column(), p.row(), p.pendingWrap.load()};
}

inline std::string repeat(char c, int n) {
    return std::string(static_cast<std::size_t>(n), c);
}

// Characters 'A'.. cycling through the alphabet, n of them.
inline std::string letters(int n, char first = 'A') {
    std::string s;
    for (int i = 0; i < n; ++i)
        s.push_back(static_cast<char>('A' + (first - 'A' + i) % 26));
    return s;
}

// The renderer's side of the sharing tests: a thread that reads every cell,
// a palette entry and the cursor of the display page, frame after frame,
// until stopped.
class DisplayReader {
  public:
    DisplayReader()
        : thread_([this] {
              std::uint32_t sum = 0;
              while (!done_.load(std::memory_order_acquire)) {
                  const rt::ScreenPage* p = rt::displayPage();
                  for (int r = 1; r <= p->height; ++r) {
                      for (int c = 1; c <= p->width; ++c)
                          sum += p->cell(r, c);
                  }
                  sum += p->palette[7] +
                         static_cast<std::uint32_t>(p->column() + p->row() + p->pendingWrap.load() +
                                                    p->cursorVisible.load());
                  frames_.fetch_add(1, std::memory_order_relaxed);
              }
              (void)sum;
          }) {}
    ~DisplayReader() { stop(); }
    int frames() const { return frames_.load(std::memory_order_relaxed); }
    void stop() {
        done_.store(true, std::memory_order_release);
        if (thread_.joinable()) thread_.join();
    }

  private:
    std::atomic<bool> done_{false};
    std::atomic<int> frames_{0};
    std::thread thread_;
};

} // namespace screentest
