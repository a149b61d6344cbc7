// The window program's front end: SDL start-up, the real clock, dialogs.
//
// Start-up is called by runtimeMain on the main thread in a fixed order
// (SDL, TrueType, the keys already held, the full-screen modes, key repeat,
// icon and caption, display tables). The clock is SDL's: SDL_Delay for
// sleeps, SDL_GetTicks for ticks. A dialog asked for on the main thread runs
// its own modal loop right there; asked for on any other thread it is handed
// to the main thread through the DialogChannel and the asker blocks until the
// event loop has shown and answered it. The event loop itself is in
// sdl_event_loop.cpp.
#include "host/sdl_frontend.h"

#include <SDL_ttf.h>
#include <dlfcn.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "host/icon.h"
#include "host/sdl_icon.h"
#include "host/sdl_keys.h"
#include "runtime/keyboard_buffer.h"

namespace host {
namespace {

// Exit statuses when SDL or TrueType do not start.
constexpr int kStatusSdl = 100;
constexpr int kStatusTrueType = 7000;

// SDL_Init flags: timer and video. The game plays no sound and reads no
// CD, and SDL's audio subsystem alone costs an idle window a device
// hot-plug thread (0.05 to 0.07 % of a core) and 1.3 MB of resident
// libraries, so audio and CD-ROM are not started.
constexpr Uint32 kSdlInitFlags = 0x21;
static_assert(kSdlInitFlags == (SDL_INIT_TIMER | SDL_INIT_VIDEO));

// The longest a key wait or a timer turn sleeps without being woken: a
// safety net only, every change they wait for also wakes them.
constexpr auto kWakeCap = std::chrono::milliseconds(1000);

bool stopRequestSet() {
    return rt::stopRequested();
}

// Xlib's reaction to a lost X connection: our own report, then the process
// ends at once with the status Xlib's default handler uses.
int displayLost(void* /*display*/) {
    std::fputs("glimmerdeep: the connection to the X display was lost\n", stderr);
    std::_Exit(1);
}

// When the X server goes away (the session ends), Xlib's default handler
// calls exit(1), and exit runs SDL's shut-down, which on the dead
// connection waits in Xlib for an event that never comes: the process
// would spin a core for ever. With this handler the process ends at once
// instead, without running the at-exit handlers. libX11 is loaded along
// with SDL's X11 driver; under any other video driver nothing is done.
void endAtOnceWhenTheDisplayIsLost() {
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr) return;
    using IOErrorHandler = int (*)(void*);
    using SetIOErrorHandler = IOErrorHandler (*)(IOErrorHandler);
    if (void* set = dlsym(x11, "XSetIOErrorHandler")) {
        reinterpret_cast<SetIOErrorHandler>(set)(&displayLost);
    }
    dlclose(x11); // only drops our reference: SDL keeps the library loaded
}

// Why SDL did not start when start-up itself refused it (empty: ask SDL).
std::string startRefusal;

bool setInEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// SDL's video drivers that open no window anybody can see. When no X server
// or Wayland compositor answers, SDL 2 (under sdl12-compat) falls back to
// its "offscreen" driver and starts "successfully": the game would then
// wait for keys in a window that does not exist.
bool drawsNowhere(const char* driver) {
    static constexpr const char* kInvisible[] = {"offscreen", "dummy", "evdev"};
    for (const char* name : kInvisible) {
        if (std::strcmp(driver, name) == 0) return true;
    }
    return false;
}

// The reason given when no display answers, in words for the person who
// started the program from a terminal.
std::string noDisplayReason() {
    if (setInEnvironment("DISPLAY")) {
        return std::string("no display found: the X display \"") + std::getenv("DISPLAY") +
               "\" does not answer";
    }
    if (setInEnvironment("WAYLAND_DISPLAY")) {
        return std::string("no display found: the Wayland display \"") +
               std::getenv("WAYLAND_DISPLAY") + "\" does not answer";
    }
    return "no display found: DISPLAY is not set and no Wayland compositor answers";
}

// After SDL_Init: false, with the reason in startRefusal, when SDL chose a
// driver that draws nowhere by itself. A driver named in SDL_VIDEODRIVER is
// the user's own choice and always kept.
bool realDisplayChosen() {
    if (setInEnvironment("SDL_VIDEODRIVER")) return true;
    char name[64] = {};
    if (SDL_VideoDriverName(name, sizeof name) == nullptr || !drawsNowhere(name)) return true;
    startRefusal = noDisplayReason();
    return false;
}

SDL_Surface* windowIcon = nullptr;

void freeIcon() {
    if (windowIcon != nullptr) {
        SDL_FreeSurface(windowIcon);
        windowIcon = nullptr;
    }
}

} // namespace

// ---- DialogCompositor --------------------------------------------------

SDL_Surface* DialogCompositor::setMode(int width, int height, bool fullScreen) {
    return sdl_.setMode(width, height, fullScreen);
}

void DialogCompositor::update(SDL_Surface* surface, const SDL_Rect* rects, int count) {
    if (box_ == nullptr || surface == nullptr) {
        sdl_.update(surface, rects, count);
        return;
    }
    // The renderer has just drawn the page (or some cells of it) into the
    // window surface: put the box back on top before the frame is shown.
    box_->draw(surface);
    if (count == 0) {
        sdl_.update(surface, nullptr, 0);
        return;
    }
    rects_.assign(rects, rects + count);
    rects_.push_back(box_->bounds());
    sdl_.update(surface, rects_.data(), static_cast<int>(rects_.size()));
}

// ---- WindowFrontend ----------------------------------------------------

WindowFrontend::WindowFrontend() : renderer_(output_), mainThread_(std::this_thread::get_id()) {
    // Written by wake() and the change hook on any thread, read by the
    // event loop's poll(); open for the front end's whole life, so a late
    // wake-up never writes to a closed descriptor.
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    channel_.onPosted([this] { wake(); });
}

WindowFrontend::~WindowFrontend() {
    output_.setDialog(nullptr);
    if (wakeFd_ >= 0) close(wakeFd_);
}

void WindowFrontend::wake() {
    if (wakeFd_ < 0) return;
    const std::uint64_t one = 1;
    // Non-blocking: a counter that is already non-zero wakes the loop too.
    [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
}

// A key wait (a line input or end program polling the keyboard ring) that
// finds the ring empty sleeps until the event loop stores a key or the stop
// request is set, instead of waking every 10 ms to look: an idle prompt then
// costs no processor time, and a typed key is read at once. With keys
// already waiting it sleeps the asked time, so a burst is read at the
// usual pace.
void WindowFrontend::sleep(std::uint32_t ms, rt::Wait why) {
    const bool keyWait = why == rt::Wait::KeyPoll || why == rt::Wait::KeyEnd;
    if (keyWait && ms > 0 && rt::keyBufferEmpty()) {
        wakeSignal_.waitUntil([] { return !rt::keyBufferEmpty() || stopRequestSet(); }, kWakeCap);
    } else if (ms == 0) {
        std::this_thread::yield();
    } else {
        SDL_Delay(ms);
    }
}

std::uint64_t WindowFrontend::ticks() {
    return SDL_GetTicks();
}

std::time_t WindowFrontend::calendarTime() {
    return std::time(nullptr);
}

// The timer thread asks to yield three turns out of four and to sleep 1 ms
// on the fourth: about a thousand wake-ups a second for a thread whose only
// work here is to notice the stop request (no timer event is ever defined).
// It sleeps until shut-down sets that request instead.
void WindowFrontend::timerSleep(std::uint32_t) {
    wakeSignal_.waitUntil(stopRequestSet, kWakeCap);
}

void WindowFrontend::stopRequested() {
    wakeSignal_.notify();
}

int WindowFrontend::startDisplaySystem() {
    mainThread_ = std::this_thread::get_id();
    startRefusal.clear();
    if (SDL_Init(kSdlInitFlags) < 0 || !realDisplayChosen()) {
        std::string why = startRefusal;
        if (why.empty()) {
            const char* e = SDL_GetError();
            why = e != nullptr ? e : "";
        }
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_Quit();
        std::fprintf(stderr, "Unable to init SDL: %s\n", why.c_str());
        return kStatusSdl;
    }
    std::atexit(SDL_Quit);
    endAtOnceWhenTheDisplayIsLost();
    sdlStarted_ = true;
    return 0;
}

int WindowFrontend::startFontLibrary() {
    if (TTF_Init() < 0) return kStatusTrueType;
    std::atexit(TTF_Quit);
    return 0;
}

KeyboardState WindowFrontend::keyboardState() {
    return sdlKeyboardState();
}

namespace {

std::vector<VideoMode> listFullScreenModes() {
    std::vector<VideoMode> modes;
    SDL_Rect** list = SDL_ListModes(nullptr, SDL_FULLSCREEN | SDL_HWSURFACE);
    if (list == nullptr) return modes;
    if (list == reinterpret_cast<SDL_Rect**>(-1)) {
        // Any size is possible: offer the desktop's.
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        if (info != nullptr && info->current_w > 0 && info->current_h > 0) {
            modes.push_back({static_cast<std::uint16_t>(info->current_w),
                             static_cast<std::uint16_t>(info->current_h)});
        }
        return modes;
    }
    for (int i = 0; list[i] != nullptr; ++i) {
        modes.push_back({list[i]->w, list[i]->h});
    }
    return modes;
}

} // namespace

void WindowFrontend::prepareDisplay(const char* caption) {
    modes_ = listFullScreenModes();
    SDL_EnableKeyRepeat(kKeyRepeatDelayMs, kKeyRepeatIntervalMs);
    SDL_EnableUNICODE(1);
    repeatState_ = 1;
    // The icon must be set before the window opens (with the first frame).
    freeIcon();
    windowIcon = createIconSurface();
    if (windowIcon != nullptr) {
        SDL_WM_SetIcon(windowIcon, const_cast<Uint8*>(iconMask()));
    }
    SDL_WM_SetCaption(caption, caption);
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    systemCursor_ = SDL_GetCursor();
    cursor_ = createMouseCursor();
    if (cursor_ != nullptr) SDL_SetCursor(cursor_);
    // Palettes and fonts are built-in tables; the renderer needs the modes.
    renderer_.setFullScreenModes(modes_);
}

void WindowFrontend::shutDown() {
    SDL_ShowCursor(SDL_DISABLE);
    if (cursor_ != nullptr) {
        if (systemCursor_ != nullptr) SDL_SetCursor(systemCursor_);
        SDL_FreeCursor(cursor_);
        cursor_ = nullptr;
    }
    freeIcon();
}

bool WindowFrontend::onMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

DialogButton WindowFrontend::showDialog(std::string_view caption, std::string_view text,
                                        DialogButtons buttons) {
    dialogsShown_.fetch_add(1, std::memory_order_acq_rel);
    DialogRequest request{std::string(caption), std::string(text), buttons};
    if (!sdlStarted_) {
        // No window to show it in.
        std::fprintf(stderr, "%s\n%s\n", request.caption.c_str(), request.text.c_str());
        return buttons == DialogButtons::OK ? DialogButton::OK : DialogButton::No;
    }
    if (onMainThread()) return runDialog(std::move(request));
    // Any other thread: the main thread shows it. Shut-down sets the stop
    // request before it waits for the threads, so a dialog nobody will
    // answer any more never holds the asker.
    return channel_.ask(std::move(request), [] { return rt::stopRequested(); });
}

bool WindowFrontend::isFullScreen() {
    return fullScreen_.load(std::memory_order_acquire);
}

void WindowFrontend::showMaximised() {
    // The dialog was drawn inside the window, which stayed as it was: paint
    // the whole page again.
    renderer_.invalidate();
    repaintAsked_.store(true, std::memory_order_release);
    wake();
}

} // namespace host
