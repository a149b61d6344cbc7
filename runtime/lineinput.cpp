// Line input: the INPUT statement's editor.
//
// The editor keeps one line of at most 255 characters. After every change it
// splits the line into fields (one per variable; quotes and commas separate
// them unless variable 1 is a whole-line string), checks the last field
// against its variable and stores it there at once. A change that makes the
// line unacceptable is taken back by erasing the last character again, so
// the statement never ends in an error.
//
// Keys come from the keyboard ring through readKey, polled every 10 ms; the
// ring is filled by the host on another thread (or, in the replay driver and
// the tests, by the port's sleep). Typed characters are echoed with print at
// the cursor, wrapping and scrolling like any output. An erase redraws
// instead: two snapshots of the write page are taken at the start; the first
// keeps the screen as it was, the second is a work page onto which the first
// is copied, the line printed from the saved start cursor, and the result
// copied back to the screen with its cursor. So the screen always shows what
// was there before input plus the current line, whatever the echo scrolled.
//
// Single-precision fields are checked character by character against the
// shape and range of a single (checkSingleField) and converted with strtof
// in the "C" locale; a text that would overflow to infinity is refused.
#include "runtime/lineinput.h"

#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/port.h"
#include "runtime/screen.h"

namespace rt {
namespace {

constexpr std::uint32_t kMaxVariables = 64;
constexpr int kMaxLine = 255;
constexpr std::uint32_t kSizeMask = 0x1FF;

struct Variable {
    std::uint32_t kind = 0;
    void* address = nullptr;
};
Variable variables[kMaxVariables + 1]; // indexed from 1

bool isStringKind(std::uint32_t kind) {
    return (kind & kKindString) != 0;
}
bool isSingleKind(std::uint32_t kind) {
    return !isStringKind(kind) && (kind & kKindFloat) != 0 && (kind & kSizeMask) == 32;
}

// A line or a field: never more than 255 characters.
struct Line {
    char c[kMaxLine + 1];
    int n = 0;
};

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

float convertDecimal(const char* text, std::size_t n) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    char small[kMaxLine + 2];
    std::string large;
    const char* z = small;
    if (n < sizeof small) {
        std::memcpy(small, text, n);
        small[n] = '\0';
    } else {
        large.assign(text, n);
        z = large.c_str();
    }
    return cLocale != static_cast<locale_t>(0) ? strtof_l(z, nullptr, cLocale)
                                               : std::strtof(z, nullptr);
}

FieldCheck checkBased(const unsigned char* s, std::int32_t n, float* value) {
    if (n == 1) return FieldCheck::Acceptable; // "&" alone gives 0
    const unsigned char kind = s[1];
    std::uint64_t u = 0;
    if (kind == 'H' || kind == 'h') {
        if (n > 18) return FieldCheck::Unacceptable;
        for (std::int32_t i = 2; i < n; ++i) {
            unsigned char c = s[i];
            unsigned d;
            if (isDigit(c)) {
                d = c - '0';
            } else if (c >= 'A' && c <= 'F') {
                d = c - 'A' + 10;
            } else if (c >= 'a' && c <= 'f') {
                d = c - 'a' + 10;
            } else {
                return FieldCheck::Unacceptable;
            }
            u = u * 16 + d;
        }
    } else if (kind == 'O' || kind == 'o') {
        if (n > 24) return FieldCheck::Unacceptable;
        if (n == 24 && s[2] != '0' && s[2] != '1') return FieldCheck::Unacceptable;
        for (std::int32_t i = 2; i < n; ++i) {
            unsigned char c = s[i];
            if (c < '0' || c > '7') return FieldCheck::Unacceptable;
            u = u * 8 + (c - '0');
        }
    } else {
        return FieldCheck::Unacceptable;
    }
    *value = static_cast<float>(u);
    return FieldCheck::Acceptable;
}

// Compares the first seven significant digits (padded with zeros) with a
// seven-digit limit: <0, 0 or >0.
int compareSeven(const unsigned char* intDigits, std::int32_t i, const unsigned char* fracDigits,
                 std::int32_t f, std::int32_t skipFrac, const char* limit) {
    char seven[7];
    int k = 0;
    for (std::int32_t j = 0; j < i && k < 7; ++j)
        seven[k++] = static_cast<char>(intDigits[j]);
    for (std::int32_t j = skipFrac; j < f && k < 7; ++j)
        seven[k++] = static_cast<char>(fracDigits[j]);
    while (k < 7)
        seven[k++] = '0';
    return std::memcmp(seven, limit, 7);
}

FieldCheck checkDecimal(const unsigned char* s, std::int32_t n, float* value) {
    std::int32_t pos = 0;
    if (s[pos] == '-') ++pos;
    if (pos == n) return FieldCheck::Acceptable; // "-" alone gives 0

    // Integer part: a lone "0" (followed only by "." if anything), or digits
    // starting with a non-zero one. The lone zero is not an integer digit.
    const unsigned char* intDigits = s + pos;
    std::int32_t i = 0;
    bool nonZero = false;
    if (s[pos] == '0') {
        ++pos;
        intDigits = s + pos;
        if (pos < n && s[pos] != '.') return FieldCheck::Unacceptable;
    } else {
        while (pos < n && isDigit(s[pos])) {
            ++i;
            ++pos;
        }
        if (i > 0) nonZero = true;
    }

    const unsigned char* fracDigits = s + pos;
    std::int32_t f = 0;
    std::int32_t z = 0;
    bool fracAllZero = true;
    if (pos < n && s[pos] == '.') {
        ++pos;
        fracDigits = s + pos;
        while (pos < n && isDigit(s[pos])) {
            if (s[pos] != '0') fracAllZero = false;
            if (fracAllZero) ++z;
            ++f;
            ++pos;
        }
        if (!fracAllZero) nonZero = true;
        if (f == 1 && fracDigits[0] == '0') z = 0; // a fraction of exactly "0"
    }

    std::int64_t e = 0;
    if (pos < n && (s[pos] == 'E' || s[pos] == 'e')) {
        if (pos == 0 || s[pos - 1] == '.' || !nonZero) return FieldCheck::Unacceptable;
        ++pos;
        bool negative = false;
        if (pos < n && (s[pos] == '+' || s[pos] == '-')) {
            negative = s[pos] == '-';
            ++pos;
        }
        if (pos < n && s[pos] == '0' && pos + 1 < n && isDigit(s[pos + 1])) {
            return FieldCheck::Unacceptable; // a leading 0 only as the only digit
        }
        while (pos < n && isDigit(s[pos])) {
            if (e < 1000000) e = e * 10 + (s[pos] - '0');
            ++pos;
        }
        if (negative) e = -e;
    }
    if (pos != n) return FieldCheck::Unacceptable;

    if (z >= 44) return FieldCheck::Unacceptable;
    if (!(i == 0 && fracAllZero)) {
        const std::int64_t p = i > 0 ? i : -static_cast<std::int64_t>(z);
        const std::int64_t x = e + p;
        const std::int32_t skip = i > 0 ? 0 : z;
        if (x > 39) return FieldCheck::Unacceptable;
        if (x == 39 && compareSeven(intDigits, i, fracDigits, f, skip, "3402823") > 0) {
            return FieldCheck::Unacceptable;
        }
        if (f > 0 && (i > 0 ? i + f > 8 : f - z > 8)) return FieldCheck::Unacceptable;
        if (x < -44) return FieldCheck::Unacceptable;
        if (x == -44 && compareSeven(intDigits, i, fracDigits, f, skip, "1401298") < 0) {
            return FieldCheck::Unacceptable;
        }
    }

    const float v = convertDecimal(reinterpret_cast<const char*>(s), static_cast<std::size_t>(n));
    // The digit rules let through a few texts just above the largest single
    // (3402823.9e32, 340282399999...): those would become infinity.
    if (!std::isfinite(v)) return FieldCheck::Unacceptable;
    *value = v;
    return FieldCheck::Acceptable;
}

// ---- The editor ----

class Editor {
  public:
    Editor(std::uint32_t n, int lineEnd) : n_(n), lineEnd_(lineEnd) {}
    void run();

  private:
    bool checkLine();
    bool storeString(const Variable& v, const Line& field);
    bool storeSingle(const Variable& v, const Line& field);
    void clearVariables();
    void redraw();
    void printCharacter(unsigned char c);
    int waitForKey(); // the key's character, or -1 on a stop request
    void finish();

    std::uint32_t n_;
    int lineEnd_;
    bool wholeLine_ = false;
    DisplayMode savedMode_ = DisplayMode::Automatic;
    std::int32_t screen_ = 0;
    std::int32_t original_ = 0; // first snapshot: the screen before input
    std::int32_t work_ = 0;     // second snapshot: the redraw page
    std::int16_t startColumn_ = 1;
    std::int16_t startRow_ = 1;
    std::uint8_t startWrap_ = 0;
    std::uint8_t savedCursorVisible_ = 0;
    std::uint32_t temporaryBase_ = 0;
    Line current_;
    int pendingTabs_ = 0;
};

void Editor::clearVariables() {
    for (std::uint32_t k = 1; k <= n_; ++k) {
        const Variable& v = variables[k];
        if (v.address == nullptr) continue;
        if (isStringKind(v.kind)) {
            assign(static_cast<RuntimeString*>(v.address), emptyString());
        } else if (isSingleKind(v.kind)) {
            *static_cast<float*>(v.address) = 0.0f;
        } else {
            std::size_t bytes = ((v.kind & kSizeMask) + 7) / 8;
            if (bytes > 8) bytes = 8;
            std::memset(v.address, 0, bytes);
        }
    }
}

bool Editor::storeString(const Variable& v, const Line& field) {
    auto* target = static_cast<RuntimeString*>(v.address);
    if (target->fixedLength != 0 && field.n > target->length) return false;
    assign(target, literal(field.c, field.n)); // copies, then frees the literal
    return true;
}

bool Editor::storeSingle(const Variable& v, const Line& field) {
    auto* target = static_cast<float*>(v.address);
    *target = 0.0f;
    float value = 0.0f;
    if (checkSingleField(field.c, field.n, &value) != FieldCheck::Acceptable) return false;
    *target = value;
    return true;
}

// Splits the current line into fields and checks and stores the last one.
bool Editor::checkLine() {
    Line field;
    std::uint32_t index = 1;
    bool atStart = true;
    bool quoted = false;
    bool closed = false;
    for (int j = 0; j < current_.n; ++j) {
        const char c = current_.c[j];
        if (wholeLine_) {
            field.c[field.n++] = c;
            continue;
        }
        if (closed || (!quoted && c == ',')) {
            if (c != ',') return false; // only a comma may follow a closing quote
            if (index == n_) return false;
            ++index;
            field.n = 0;
            atStart = true;
            closed = false;
            continue;
        }
        if (quoted) {
            if (c == '"') {
                quoted = false;
                closed = true;
            } else {
                field.c[field.n++] = c;
            }
            continue;
        }
        if (atStart && c == '"') {
            quoted = true;
            atStart = false;
            continue;
        }
        field.c[field.n++] = c;
        atStart = false;
    }

    const Variable& v = variables[index];
    if (v.address == nullptr) return true;
    if (isStringKind(v.kind)) return storeString(v, field);
    if (isSingleKind(v.kind)) return storeSingle(v, field);
    // Other numeric kinds are not read by this runtime: only an empty field
    // fits them.
    return field.n == 0;
}

void Editor::printCharacter(unsigned char c) {
    const char text = static_cast<char>(c);
    RuntimeString* s = literal(&text, 1);
    print(s, 0);
    freeString(s);
}

void Editor::redraw() {
    copyPageCells(original_, work_);
    setWritePage(work_);
    if (ScreenPage* w = pageByHandle(work_)) {
        w->cursorColumn.store(startColumn_, std::memory_order_relaxed);
        w->cursorRow.store(startRow_, std::memory_order_relaxed);
        w->pendingWrap.store(startWrap_, std::memory_order_relaxed);
    }
    for (int j = 0; j < current_.n; ++j)
        printCharacter(static_cast<unsigned char>(current_.c[j]));
    setWritePage(screen_);
    copyPageCells(work_, screen_);
    ScreenPage* w = pageByHandle(work_);
    ScreenPage* s = pageByHandle(screen_);
    if (w != nullptr && s != nullptr) {
        s->cursorColumn.store(w->column(), std::memory_order_relaxed);
        s->cursorRow.store(w->row(), std::memory_order_relaxed);
        s->pendingWrap.store(w->pendingWrap.load(std::memory_order_relaxed),
                             std::memory_order_relaxed);
        s->markCursor();
    }
}

int Editor::waitForKey() {
    for (;;) {
        int key = -1;
        if (pendingTabs_ > 0) {
            --pendingTabs_;
            key = ' ';
        } else {
            port().sleep(10, Wait::KeyPoll);
            RuntimeString* k = readKey();
            if (k != nullptr && k->length == 1) key = static_cast<unsigned char>(k->text[0]);
            releaseTemporaries(temporaryBase_, 0);
        }
        if (stopRequested()) return -1;
        if (key >= 0) return key;
    }
}

void Editor::finish() {
    if (lineEnd_ != 0) print(emptyString(), 1);
    if (ScreenPage* s = pageByHandle(screen_)) {
        s->cursorVisible.store(savedCursorVisible_, std::memory_order_relaxed);
        s->markCursor();
    }
    releaseImage(work_);
    releaseImage(original_);
    endInputWait();
    // In explicit display mode, ask the host for one frame of the final
    // screen and wait until it has been shown (a stop request ends the wait:
    // at shut-down nothing draws any more).
    if (savedMode_ == DisplayMode::Explicit) showOneFrame();
}

void Editor::run() {
    savedMode_ = displayMode();
    setDisplayMode(DisplayMode::Automatic);

    screen_ = getWritePage();
    original_ = snapshotWritePage();
    if (original_ == -1) outOfMemory(16);
    work_ = original_ < -1 ? snapshotWritePage() : 0;
    if (work_ == -1) outOfMemory(17);
    ScreenPage* s = pageByHandle(screen_);
    if (original_ >= 0 || work_ >= 0 || s == nullptr) {
        // No page to read on (an error is now pending): give up quietly.
        if (original_ < -1) releaseImage(original_);
        setDisplayMode(savedMode_);
        return;
    }

    startColumn_ = s->column();
    startRow_ = s->row();
    startWrap_ = s->pendingWrap.load(std::memory_order_relaxed);
    temporaryBase_ = temporaryNextIndex();
    wholeLine_ = isStringKind(variables[1].kind) && (variables[1].kind & kKindWholeLine) != 0;
    savedCursorVisible_ = s->cursorVisible.load(std::memory_order_relaxed);
    s->cursorVisible.store(1, std::memory_order_relaxed);
    s->markCursor();
    clearVariables();
    beginInputWait(InputWait::Line);

    for (;;) {
        // Check the line; take back characters until it is acceptable.
        while (!checkLine() && current_.n > 0) {
            --current_.n;
            redraw();
        }
        bool changed = false;
        while (!changed) {
            const int key = waitForKey();
            if (key < 0) { // stop request: the program is ending
                endInputWait();
                return;
            }
            switch (key) {
            case 13:
                finish();
                return;
            case 8:
                if (current_.n > 0) {
                    --current_.n;
                    redraw();
                    changed = true;
                }
                break;
            case 9:
                pendingTabs_ = 8 - current_.n % 8;
                break;
            case 7:
                printCharacter(7);
                break;
            case 10:
            case 11:
            case 12:
            case 28:
            case 29:
            case 30:
            case 31:
                break;
            default:
                if (current_.n > kMaxLine - 1) break; // the line is full
                current_.c[current_.n++] = static_cast<char>(key);
                printCharacter(static_cast<unsigned char>(key));
                changed = true;
                break;
            }
        }
    }
}

} // namespace

void setInputVariable(std::uint32_t index, std::uint32_t kind, void* address) {
    if (index < 1 || index > kMaxVariables) return;
    variables[index] = {kind, address};
}

void input(std::uint32_t n, int lineEnd) {
    if (errorPending() != 0) return;
    if (n < 1) return;
    if (n > kMaxVariables) n = kMaxVariables;
    Editor editor(n, lineEnd);
    editor.run();
}

FieldCheck checkSingleField(const char* text, std::int32_t length, float* value) {
    float scratch = 0.0f;
    if (value == nullptr) value = &scratch;
    *value = 0.0f;
    if (text == nullptr || length <= 0) return FieldCheck::Acceptable;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    if (s[0] == '&') return checkBased(s, length, value);
    return checkDecimal(s, length, value);
}

} // namespace rt
