// The text page in a terminal through ncursesw (see term_screen.h).
#include "host/term_screen.h"

#include <curses.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "host/cp437.h"
#include "host/palette.h"
#include "runtime/screen.h"

namespace host {
namespace {

// The ASCII shapes of code page 437, character by character: blank, the 31
// picture glyphs, printable ASCII, the house, then the accented letters,
// symbols, line drawing and Greek of 128..255.
constexpr char kAsciiGlyphs[] = " "
                                "oov***.#o#mfdd*><|!PS_|^v><L-^v"
                                " !\"#$%&'()*+,-./0123456789:;<=>?"
                                "@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_"
                                "`abcdefghijklmnopqrstuvwxyz{|}~^"
                                "CueaaaaceeeiiiAA"
                                "EaAooouuyOUcLYPf"
                                "aiounNao?--%%!<>"
                                "###|++++++|+++++"
                                "++++-++++++++=++"
                                "+++++++++++#_||-"
                                "aBGpSsutFTOd8fen"
                                "=+><()/~o..vn2# ";
static_assert(sizeof kAsciiGlyphs == 257);

// The text colours 0..15 (CGA order: blue is 1, red 4) as ANSI colour
// numbers (red is 1, blue 4).
constexpr short kAnsi[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};

constexpr int kDialogFace = 0x1F;   // bright white on blue
constexpr int kDialogButton = 0x70; // black on light grey

struct termios shellModes;
bool haveShellModes = false;

std::string capability(const char* name) {
    const char* s = tigetstr(const_cast<char*>(name));
    if (s == nullptr || s == reinterpret_cast<const char*>(-1)) return {};
    return s;
}

} // namespace

char asciiGlyph(std::uint8_t ch) {
    return kAsciiGlyphs[ch];
}

bool TermScreen::begin(std::string& error) {
    if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO)) {
        error = "standard input and output must be a terminal (or use --plain)";
        return false;
    }
    std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    utf8_ = codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
    haveShellModes = ::tcgetattr(STDOUT_FILENO, &shellModes) == 0;
    // A lone Escape is told from the start of a key's sequence (and from
    // Alt, which sends Escape first) after this many milliseconds.
    set_escdelay(25);
    SCREEN* screen = newterm(nullptr, stdout, stdin);
    if (screen == nullptr) {
        const char* term = std::getenv("TERM");
        error = std::string("unknown terminal type ") + (term != nullptr ? term : "(TERM unset)");
        return false;
    }
    active_ = true;
    raw(); // Ctrl+C, Ctrl+Z and Ctrl+S arrive as keys
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    meta(stdscr, TRUE);
    leaveok(stdscr, FALSE);
    scrollok(stdscr, FALSE);
    curs_set(0);
    if (has_colors() && start_color() != ERR) {
        colourMode_ = COLORS >= 0x1000000 ? 24 : COLORS >= 16 ? 16 : COLORS >= 8 ? 8 : 0;
        for (int fg = 0; fg < 16; ++fg) {
            for (int bg = 0; bg < 8; ++bg) {
                const int pair = pairFor(fg, bg);
                if (pair <= 0) continue;
                int f = 0;
                int b = 0;
                if (colourMode_ == 24) {
                    f = static_cast<int>(kTextColours[fg]);
                    b = static_cast<int>(kTextColours[bg]);
                } else if (colourMode_ == 16) {
                    f = kAnsi[fg];
                    b = kAnsi[bg];
                } else {
                    f = kAnsi[fg & 7];
                    b = kAnsi[bg];
                }
                init_extended_pair(pair, f, b);
            }
        }
    }
    // What a crash signal's handler writes to give the terminal back: leave
    // the alternate screen, show the cursor, reset the attributes and the
    // keypad mode; then the shell's terminal modes are set again.
    const std::string restore =
        capability("sgr0") + capability("cnorm") + capability("rmkx") + capability("rmcup");
    setCrashRestore(STDOUT_FILENO, restore, haveShellModes ? &shellModes : nullptr);
    valid_ = false;
    return true;
}

void TermScreen::end() {
    if (!active_) return;
    clearCrashRestore();
    curs_set(1);
    endwin();
    active_ = false;
    std::fflush(stdout);
}

void TermScreen::suspend() {
    if (!active_) return;
    curs_set(1);
    endwin();
    std::fflush(stdout);
}

void TermScreen::resume() {
    if (!active_) return;
    reset_prog_mode();
    resize(true);
}

void TermScreen::resize(bool repaint) {
    // The size comes from the terminal itself (ncurses' own SIGWINCH
    // handling is replaced by the program's).
    int rows = LINES;
    int columns = COLS;
    struct winsize ws;
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0) {
        rows = ws.ws_row;
        columns = ws.ws_col;
    }
    const bool changed = rows != LINES || columns != COLS;
    if (!changed && !repaint) return;
    // resizeterm queues a KEY_RESIZE of its own, which comes back here with
    // the size unchanged.
    if (changed) resizeterm(rows, columns);
    erase();
    clearok(curscr, TRUE);
    valid_ = false;
    messageShown_ = false;
}

bool TermScreen::tooSmall() const {
    return LINES < kRows || COLS < kColumns;
}

int TermScreen::pairFor(int foreground, int background) const {
    if (colourMode_ == 0) return 0;
    const int fg = colourMode_ == 8 ? (foreground & 7) : foreground;
    int pair = 1 + fg * 8 + background;
    if (pair >= COLOR_PAIRS) pair = COLOR_PAIRS - 1;
    return pair;
}

void TermScreen::putCell(int row, int column, std::uint16_t cell) {
    const std::uint8_t ch = rt::cellCharacter(cell);
    const std::uint8_t a = rt::cellAttribute(cell);
    wchar_t glyph[2] = {L' ', 0};
    if (ch != 0 && ch != 255) {
        glyph[0] = utf8_ ? static_cast<wchar_t>(cp437ToUnicode[ch])
                         : static_cast<wchar_t>(static_cast<unsigned char>(asciiGlyph(ch)));
    }
    const int fg = a & 15;
    const int bg = (a >> 4) & 7;
    attr_t attrs = (a & 0x80) != 0 ? A_BLINK : A_NORMAL;
    if (colourMode_ <= 8 && fg >= 8) attrs |= A_BOLD;
    if (colourMode_ == 0 && bg != 0) attrs |= A_REVERSE;
    int pair = pairFor(fg, bg);
    cchar_t c;
    setcchar(&c, glyph, attrs, 0, &pair);
    mvwadd_wch(stdscr, row - 1, column - 1, &c);
}

void TermScreen::putText(int row, int column, const std::string& text, int pair, bool bold) {
    if (row < 1 || row > LINES) return;
    int x = column;
    std::mbstate_t state{};
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end && x <= COLS) {
        wchar_t w = 0;
        std::size_t n = std::mbrtowc(&w, p, static_cast<std::size_t>(end - p), &state);
        if (n == 0 || n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
            w = L'?';
            n = 1;
            state = {};
        }
        if (!utf8_ && w > 126) w = L'?';
        wchar_t s[2] = {w, 0};
        cchar_t c;
        setcchar(&c, s, bold ? A_BOLD : A_NORMAL, 0, &pair);
        mvwadd_wch(stdscr, row - 1, x - 1, &c);
        ++x;
        p += n;
    }
}

void TermScreen::drawTooSmall() {
    if (messageShown_) return;
    erase();
    char size[64];
    std::snprintf(size, sizeof size, "This one is %d x %d.", COLS, LINES);
    const std::string lines[] = {"The Glimmerdeep needs a terminal",
                                 "of at least 80 x 25 characters.", size,
                                 "Please make the window larger.", "The game waits until then."};
    int row = 1;
    for (const std::string& line : lines) {
        putText(row++, 1, line.substr(0, static_cast<std::size_t>(std::max(COLS, 0))), 0, false);
    }
    curs_set(0);
    wnoutrefresh(stdscr);
    doupdate();
    messageShown_ = true;
    valid_ = false;
}

void TermScreen::drawPage(const rt::ScreenPage* page, std::uint64_t damage, bool send) {
    if (!active_) return;
    if (tooSmall()) {
        drawTooSmall();
        return;
    }
    messageShown_ = false;
    if (page == nullptr || page->textPage == 0 || page->cells == nullptr) return;
    const int rows = std::min<int>(page->height, kRows);
    const int columns = std::min<int>(page->width, kColumns);
    const bool all =
        !valid_ || (damage & (rt::ScreenPage::kDamageAll | rt::ScreenPage::kDamageCleared)) != 0;
    for (int r = 1; r <= rows; ++r) {
        if (!all && (damage & rt::ScreenPage::rowDamage(r)) == 0) continue;
        std::uint16_t* sent = &sent_[static_cast<std::size_t>((r - 1) * kColumns)];
        for (int c = 1; c <= columns; ++c) {
            const std::uint16_t cell = page->cell(r, c);
            if (valid_ && sent[c - 1] == cell) continue;
            putCell(r, c, cell);
            sent[c - 1] = cell;
        }
    }
    valid_ = true;
    // The terminal's cursor is the page's text cursor: shown only while a
    // line is read, at the input position.
    const int row = page->row();
    const int column = page->column();
    const bool cursor = page->cursorVisible.load(std::memory_order_relaxed) != 0 && row >= 1 &&
                        row <= rows && column >= 1 && column <= columns;
    if (!send) return;
    if (cursor) wmove(stdscr, row - 1, column - 1);
    wnoutrefresh(stdscr);
    curs_set(cursor ? 1 : 0);
    doupdate();
}

void TermScreen::drawDialog(const DialogRequest& dialog, int focus) {
    if (!active_ || tooSmall()) return;
    constexpr std::size_t kWrap = 60;
    const std::vector<std::string> lines = wrapText(dialog.text, kWrap);
    const bool yesNo = dialog.buttons == DialogButtons::YesNo;
    const std::string labels[2] = {yesNo ? "Yes" : "OK", "No"};
    const int buttonCount = yesNo ? 2 : 1;
    const int buttonsWidth = buttonCount * 8 + (buttonCount - 1) * 2;
    std::size_t inner = static_cast<std::size_t>(buttonsWidth);
    for (const std::string& line : lines)
        inner = std::max(inner, line.size());
    inner = std::max(inner, dialog.caption.size() + 2);
    const int width = static_cast<int>(inner) + 4;
    const int height = static_cast<int>(lines.size()) + 5;
    const int left = (kColumns - width) / 2 + 1;
    const int top = (kRows - height) / 2 + 1;
    const int face = pairFor(kDialogFace & 15, (kDialogFace >> 4) & 7);
    const int button = pairFor(kDialogButton & 15, (kDialogButton >> 4) & 7);
    const bool bright = colourMode_ <= 8;

    const std::string h = utf8_ ? "\u2500" : "-";
    const std::string v = utf8_ ? "\u2502" : "|";
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += s;
        return out;
    };
    // Top border with the caption, the text, a blank row, the buttons and
    // the bottom border.
    std::string top1 = (utf8_ ? "\u250C" : "+") + h + " " + dialog.caption + " ";
    top1 += repeat(h, width - 2 - 3 - static_cast<int>(dialog.caption.size())) +
            (utf8_ ? "\u2510" : "+");
    putText(top, left, top1, face, bright);
    const std::string blank = v + std::string(inner + 2, ' ') + v;
    for (int r = 1; r < height - 1; ++r)
        putText(top + r, left, blank, face, bright);
    for (std::size_t i = 0; i < lines.size(); ++i)
        putText(top + 2 + static_cast<int>(i), left + 2, lines[i], face, bright);
    int x = left + (width - buttonsWidth) / 2;
    for (int b = 0; b < buttonCount; ++b) {
        std::string label = labels[b];
        const int pad = (8 - static_cast<int>(label.size())) / 2;
        label = std::string(static_cast<std::size_t>(pad), ' ') + label;
        label += std::string(8 - label.size(), ' ');
        if (b == focus) label = "[" + label.substr(1, 6) + "]";
        putText(top + height - 2, x, label, b == focus ? button : face,
                b == focus ? false : bright);
        x += 10;
    }
    putText(top + height - 1, left,
            (utf8_ ? "\u2514" : "+") + repeat(h, width - 2) + (utf8_ ? "\u2518" : "+"), face,
            bright);
    valid_ = false; // the page under the box is drawn again afterwards
    curs_set(0);
    wnoutrefresh(stdscr);
    doupdate();
}

} // namespace host
