// The in-window dialog: layout, keys and mouse, and drawing (see
// sdl_dialog.h).
//
// The box is laid out in 8 x 16 character cells: a title bar with the
// caption, a blank row, the text lines, a blank row, the button row and a
// blank row, two cells of margin left and right. It is centred on the window
// surface (also in full screen, where the page itself is centred too) and
// drawn with the built-in 8 x 16 font through the renderer's text helper.
#include "host/sdl_dialog.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "host/sdl_renderer.h"

namespace host {
namespace {

constexpr std::uint32_t kBoxColour = 0xAAAAAA;
constexpr std::uint32_t kTitleColour = 0x0000AA;
constexpr std::uint32_t kTitleText = 0xFFFFFF;
constexpr std::uint32_t kText = 0x000000;
constexpr std::uint32_t kButtonColour = 0xFFFFFF;
constexpr std::uint32_t kFocusColour = 0x0000AA;
constexpr std::uint32_t kFocusText = 0xFFFFFF;
constexpr std::uint32_t kShadowColour = 0x000000;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 400;

Uint32 mapColour(SDL_Surface* s, std::uint32_t rgb) {
    return SDL_MapRGB(s->format, static_cast<Uint8>(rgb >> 16), static_cast<Uint8>(rgb >> 8),
                      static_cast<Uint8>(rgb));
}

void fill(SDL_Surface* s, int x, int y, int w, int h, std::uint32_t rgb) {
    // Clip by hand: SDL_Rect holds 16-bit values.
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + w, s->w);
    const int y1 = std::min(y + h, s->h);
    if (x1 <= x0 || y1 <= y0) return;
    SDL_Rect r{static_cast<Sint16>(x0), static_cast<Sint16>(y0), static_cast<Uint16>(x1 - x0),
               static_cast<Uint16>(y1 - y0)};
    SDL_FillRect(s, &r, mapColour(s, rgb));
}

void text(SDL_Surface* s, int x, int y, std::string_view t, std::uint32_t fg, std::uint32_t bg) {
    drawText(s, x, y, reinterpret_cast<const std::uint8_t*>(t.data()), t.size(), fg, bg);
}

} // namespace

std::vector<std::string> wrapDialogText(std::string_view text, int width) {
    std::vector<std::string> lines;
    if (width < 1) width = 1;
    const auto w = static_cast<std::size_t>(width);
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        do {
            if (line.size() <= w) {
                lines.emplace_back(line);
                break;
            }
            // Break at the last space that leaves a line of at most width
            // characters; a word longer than a line is cut.
            std::size_t cut = line.rfind(' ', w);
            std::size_t next = cut + 1;
            if (cut == std::string_view::npos || cut == 0) {
                cut = w;
                next = w;
            }
            lines.emplace_back(line.substr(0, cut));
            line.remove_prefix(next);
        } while (!line.empty());
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

// ---- DialogBox ---------------------------------------------------------

DialogBox::DialogBox(DialogRequest request)
    : request_(std::move(request)), lines_(wrapDialogText(request_.text, kWrapColumns)) {
    // Control characters would be drawn as glyphs; show them as blanks.
    for (std::string& line : lines_) {
        for (char& c : line) {
            if (static_cast<unsigned char>(c) < 32) c = ' ';
        }
    }
    layout(kDefaultWidth, kDefaultHeight);
}

DialogButton DialogBox::button(int index) const {
    if (request_.buttons == DialogButtons::OK) return DialogButton::OK;
    return index == 0 ? DialogButton::Yes : DialogButton::No;
}

const char* DialogBox::buttonLabel(int index) const {
    switch (button(index)) {
    case DialogButton::Yes:
        return "Yes";
    case DialogButton::No:
        return "No";
    default:
        return "OK";
    }
}

void DialogBox::layout(int surfaceWidth, int surfaceHeight) {
    if (surfaceWidth == surfaceWidth_ && surfaceHeight == surfaceHeight_) return;
    surfaceWidth_ = surfaceWidth;
    surfaceHeight_ = surfaceHeight;
    const int buttons = buttonCount();
    int inner = buttons * kButtonColumns + (buttons - 1) * kButtonGap;
    inner = std::max(inner, static_cast<int>(request_.caption.size()) + 2);
    for (const std::string& line : lines_) {
        inner = std::max(inner, static_cast<int>(line.size()));
    }
    columns_ = std::max(inner + 4, 24);
    rows_ = static_cast<int>(lines_.size()) + 5;
    const int boxWidth = columns_ * kCellWidth + kShadow;
    const int boxHeight = rows_ * kCellHeight + kShadow;
    // On the character grid, like the page under it.
    left_ = std::max(0, (surfaceWidth - boxWidth) / 2) / kCellWidth * kCellWidth;
    top_ = std::max(0, (surfaceHeight - boxHeight) / 2) / kCellHeight * kCellHeight;
    dirty_ = true;
}

SDL_Rect DialogBox::bounds() const {
    const int w = std::min(columns_ * kCellWidth + kShadow, std::max(surfaceWidth_ - left_, 0));
    const int h = std::min(rows_ * kCellHeight + kShadow, std::max(surfaceHeight_ - top_, 0));
    return {static_cast<Sint16>(left_), static_cast<Sint16>(top_), static_cast<Uint16>(w),
            static_cast<Uint16>(h)};
}

SDL_Rect DialogBox::buttonRect(int index) const {
    const int buttons = buttonCount();
    const int width = buttons * kButtonColumns + (buttons - 1) * kButtonGap;
    const int column = (columns_ - width) / 2 + index * (kButtonColumns + kButtonGap);
    return {static_cast<Sint16>(left_ + column * kCellWidth),
            static_cast<Sint16>(top_ + (rows_ - 2) * kCellHeight),
            static_cast<Uint16>(kButtonColumns * kCellWidth), static_cast<Uint16>(kCellHeight)};
}

int DialogBox::hitButton(int x, int y) const {
    for (int i = 0; i < buttonCount(); ++i) {
        const SDL_Rect r = buttonRect(i);
        if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) return i;
    }
    return -1;
}

void DialogBox::moveFocus(int step) {
    const int n = buttonCount();
    const int next = ((focus_ + step) % n + n) % n;
    if (next != focus_) {
        focus_ = next;
        dirty_ = true;
    }
}

std::optional<DialogButton> DialogBox::keyDown(SDLKey sym, std::uint16_t unicode, SDLMod mod) {
    const bool yesNo = request_.buttons == DialogButtons::YesNo;
    const std::uint16_t lower = unicode >= 'A' && unicode <= 'Z' ? unicode + 32 : unicode;
    const bool isY = unicode != 0 ? lower == 'y' : sym == SDLK_y;
    const bool isN = unicode != 0 ? lower == 'n' : sym == SDLK_n;
    const bool isO = unicode != 0 ? lower == 'o' : sym == SDLK_o;
    if (yesNo && isY) return DialogButton::Yes;
    if (yesNo && isN) return DialogButton::No;
    if (!yesNo && isO) return DialogButton::OK;
    switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
        return button(focus_);
    case SDLK_ESCAPE:
        return yesNo ? DialogButton::No : DialogButton::OK;
    case SDLK_TAB:
        moveFocus((mod & KMOD_SHIFT) != 0 ? -1 : 1);
        break;
    case SDLK_RIGHT:
    case SDLK_DOWN:
        moveFocus(1);
        break;
    case SDLK_LEFT:
    case SDLK_UP:
        moveFocus(-1);
        break;
    default:
        break;
    }
    return std::nullopt;
}

void DialogBox::mouseDown(int x, int y) {
    pressed_ = hitButton(x, y);
    if (pressed_ >= 0 && pressed_ != focus_) {
        focus_ = pressed_;
        dirty_ = true;
    }
}

std::optional<DialogButton> DialogBox::mouseUp(int x, int y) {
    const int was = pressed_;
    pressed_ = -1;
    if (was >= 0 && hitButton(x, y) == was) return button(was);
    return std::nullopt;
}

void DialogBox::draw(SDL_Surface* s) {
    if (s == nullptr || s->format->BytesPerPixel != 4) return;
    layout(s->w, s->h);
    const int cw = kCellWidth;
    const int ch = kCellHeight;
    const int width = columns_ * cw;
    const int height = rows_ * ch;
    fill(s, left_ + kShadow, top_ + height, width, kShadow, kShadowColour);
    fill(s, left_ + width, top_ + kShadow, kShadow, height, kShadowColour);
    fill(s, left_, top_, width, height, kBoxColour);
    fill(s, left_, top_, width, ch, kTitleColour);
    std::string_view caption = request_.caption;
    caption = caption.substr(0, static_cast<std::size_t>(std::max(columns_ - 2, 0)));
    text(s, left_ + cw, top_, caption, kTitleText, kTitleColour);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text(s, left_ + 2 * cw, top_ + (static_cast<int>(i) + 2) * ch, lines_[i], kText,
             kBoxColour);
    }
    for (int i = 0; i < buttonCount(); ++i) {
        const SDL_Rect r = buttonRect(i);
        const bool focused = i == focus_;
        std::string label(static_cast<std::size_t>(kButtonColumns), ' ');
        const std::string_view name = buttonLabel(i);
        label.replace((label.size() - name.size()) / 2, name.size(), name);
        text(s, r.x, r.y, label, focused ? kFocusText : kText,
             focused ? kFocusColour : kButtonColour);
    }
    dirty_ = false;
}

} // namespace host
