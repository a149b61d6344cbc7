// The in-window dialog: text wrapping, layout, keys, mouse, drawing, and the
// hand-over between the asking thread and the main thread.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "host/sdl_dialog.h"

namespace host {
namespace {

DialogBox yesNoBox() {
    return DialogBox(
        {"Unhandled Error #5", "Line:120\nIllegal function call\nContinue?", DialogButtons::YesNo});
}

DialogBox okBox() {
    return DialogBox({"Critical Error #301", "Line:7\nInvalid size", DialogButtons::OK});
}

TEST(DialogText, SplitsAtLineBreaksAndKeepsEmptyLines) {
    EXPECT_EQ(wrapDialogText("Line:120\nIllegal function call\nContinue?", 60),
              (std::vector<std::string>{"Line:120", "Illegal function call", "Continue?"}));
    EXPECT_EQ(wrapDialogText("a\n\nb\r\n", 60), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(wrapDialogText("", 60), (std::vector<std::string>{""}));
}

TEST(DialogText, WrapsLongLinesAtBlanksAndCutsLongWords) {
    EXPECT_EQ(wrapDialogText("one two three", 8), (std::vector<std::string>{"one two", "three"}));
    EXPECT_EQ(wrapDialogText("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
    EXPECT_EQ(wrapDialogText("abcd efgh", 4), (std::vector<std::string>{"abcd", "efgh"}));
}

TEST(DialogBoxKeys, YesNoAnswersByLetterEnterEscapeAndFocus) {
    DialogBox box = yesNoBox();
    EXPECT_EQ(box.keyDown(SDLK_y, 'y', KMOD_NONE), DialogButton::Yes);
    EXPECT_EQ(box.keyDown(SDLK_y, 'Y', KMOD_LSHIFT), DialogButton::Yes);
    EXPECT_EQ(box.keyDown(SDLK_n, 'n', KMOD_NONE), DialogButton::No);
    EXPECT_EQ(box.keyDown(SDLK_ESCAPE, 27, KMOD_NONE), DialogButton::No);
    EXPECT_EQ(box.keyDown(SDLK_RETURN, 13, KMOD_NONE), DialogButton::Yes);
    EXPECT_EQ(box.keyDown(SDLK_KP_ENTER, 13, KMOD_NONE), DialogButton::Yes);
    EXPECT_EQ(box.keyDown(SDLK_o, 'o', KMOD_NONE), std::nullopt);
    EXPECT_EQ(box.keyDown(SDLK_a, 'a', KMOD_NONE), std::nullopt);
    EXPECT_EQ(box.keyDown(SDLK_LSHIFT, 0, KMOD_LSHIFT), std::nullopt);

    EXPECT_EQ(box.focus(), 0);
    EXPECT_EQ(box.keyDown(SDLK_TAB, 9, KMOD_NONE), std::nullopt);
    EXPECT_EQ(box.focus(), 1);
    EXPECT_EQ(box.keyDown(SDLK_RETURN, 13, KMOD_NONE), DialogButton::No);
    EXPECT_EQ(box.keyDown(SDLK_SPACE, ' ', KMOD_NONE), DialogButton::No);
    box.keyDown(SDLK_TAB, 9, KMOD_NONE); // wraps round
    EXPECT_EQ(box.focus(), 0);
    box.keyDown(SDLK_TAB, 9, KMOD_LSHIFT);
    EXPECT_EQ(box.focus(), 1);
    box.keyDown(SDLK_LEFT, 0, KMOD_NONE);
    EXPECT_EQ(box.focus(), 0);
    box.keyDown(SDLK_UP, 0, KMOD_NONE);
    EXPECT_EQ(box.focus(), 1);
    box.keyDown(SDLK_RIGHT, 0, KMOD_NONE);
    EXPECT_EQ(box.focus(), 0);
    box.keyDown(SDLK_DOWN, 0, KMOD_NONE);
    EXPECT_EQ(box.focus(), 1);
    // The letters answer whatever has the focus.
    EXPECT_EQ(box.keyDown(SDLK_y, 'y', KMOD_NONE), DialogButton::Yes);
}

TEST(DialogBoxKeys, OkOnlyAnswersOkAndIgnoresYesNoLetters) {
    DialogBox box = okBox();
    EXPECT_EQ(box.buttonCount(), 1);
    EXPECT_EQ(box.keyDown(SDLK_y, 'y', KMOD_NONE), std::nullopt);
    EXPECT_EQ(box.keyDown(SDLK_n, 'n', KMOD_NONE), std::nullopt);
    EXPECT_EQ(box.keyDown(SDLK_TAB, 9, KMOD_NONE), std::nullopt);
    EXPECT_EQ(box.focus(), 0);
    EXPECT_EQ(box.keyDown(SDLK_RETURN, 13, KMOD_NONE), DialogButton::OK);
    EXPECT_EQ(box.keyDown(SDLK_ESCAPE, 27, KMOD_NONE), DialogButton::OK);
    EXPECT_EQ(box.keyDown(SDLK_o, 'o', KMOD_NONE), DialogButton::OK);
}

TEST(DialogBoxLayout, CentredOnTheCharacterGridWithButtonsOnTheLastButOneRow) {
    DialogBox box = yesNoBox();
    box.layout(640, 400);
    // "Illegal function call" is the widest line (21) but the minimum is 24.
    EXPECT_EQ(box.columns(), 25);
    EXPECT_EQ(box.rows(), 8);
    const SDL_Rect b = box.bounds();
    EXPECT_EQ(b.x % 8, 0);
    EXPECT_EQ(b.y % 16, 0);
    EXPECT_EQ(b.w, 25 * 8 + 8);
    EXPECT_EQ(b.h, 8 * 16 + 8);
    EXPECT_LE(std::abs((640 - b.w) / 2 - b.x), 8);
    EXPECT_LE(std::abs((400 - b.h) / 2 - b.y), 16);
    const SDL_Rect yes = box.buttonRect(0);
    const SDL_Rect no = box.buttonRect(1);
    EXPECT_EQ(yes.y, b.y + 6 * 16);
    EXPECT_EQ(no.y, yes.y);
    EXPECT_EQ(no.x - yes.x, 10 * 8);
    EXPECT_EQ(yes.w, 64);

    box.layout(1024, 768);
    EXPECT_GT(box.bounds().x, b.x);
    EXPECT_GT(box.bounds().y, b.y);
}

TEST(DialogBoxLayout, LongTextIsWrappedAndTheBoxStaysInsideTheWindow) {
    DialogBox box({"Caption", std::string(300, 'x'), DialogButtons::OK});
    box.layout(640, 400);
    for (const std::string& line : box.lines())
        EXPECT_LE(line.size(), 60u);
    const SDL_Rect b = box.bounds();
    EXPECT_LE(b.x + b.w, 640);
    EXPECT_LE(b.y + b.h, 400);
    // A tiny window: clipped, never outside.
    box.layout(100, 50);
    const SDL_Rect c = box.bounds();
    EXPECT_GE(c.x, 0);
    EXPECT_LE(c.x + c.w, 100);
    EXPECT_LE(c.y + c.h, 50);
}

TEST(DialogBoxMouse, ReleaseOverThePressedButtonAnswers) {
    DialogBox box = yesNoBox();
    box.layout(640, 400);
    const SDL_Rect yes = box.buttonRect(0);
    const SDL_Rect no = box.buttonRect(1);
    box.mouseDown(no.x + 1, no.y + 1);
    EXPECT_EQ(box.focus(), 1);
    EXPECT_EQ(box.mouseUp(no.x + no.w - 1, no.y + no.h - 1), DialogButton::No);
    // Pressed on Yes, released on No: nothing.
    box.mouseDown(yes.x + 5, yes.y + 5);
    EXPECT_EQ(box.mouseUp(no.x + 5, no.y + 5), std::nullopt);
    // Outside every button: nothing, and a release alone does nothing.
    box.mouseDown(0, 0);
    EXPECT_EQ(box.mouseUp(0, 0), std::nullopt);
    EXPECT_EQ(box.mouseUp(yes.x + 5, yes.y + 5), std::nullopt);
    box.mouseDown(yes.x + 5, yes.y + 5);
    EXPECT_EQ(box.mouseUp(yes.x + 6, yes.y + 6), DialogButton::Yes);
}

std::uint32_t pixel(SDL_Surface* s, int x, int y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) +
                                                             y * s->pitch);
    return row[x];
}

TEST(DialogBoxDrawing, TitleBarBoxButtonsAndShadowOverAnUntouchedPage) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 400, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(s, nullptr);
    SDL_FillRect(s, nullptr, 0x123456);
    DialogBox box = yesNoBox();
    EXPECT_TRUE(box.dirty());
    box.draw(s);
    EXPECT_FALSE(box.dirty());
    const SDL_Rect b = box.bounds();
    const int right = b.x + b.w; // shadow included
    const int bottom = b.y + b.h;
    EXPECT_EQ(pixel(s, b.x - 1, b.y), 0x123456u);
    EXPECT_EQ(pixel(s, right, bottom - 1), 0x123456u);
    EXPECT_EQ(pixel(s, b.x, bottom - 1), 0x123456u); // the shadow is offset
    EXPECT_EQ(pixel(s, right - 1, bottom - 1), 0x000000u);
    EXPECT_EQ(pixel(s, b.x, b.y), 0x0000AAu);      // title bar
    EXPECT_EQ(pixel(s, b.x, b.y + 16), 0xAAAAAAu); // box
    // The caption in white on the title bar, the text in black on grey.
    bool white = false;
    for (int x = b.x + 8; x < b.x + 16; ++x)
        for (int y = b.y; y < b.y + 16; ++y)
            white |= pixel(s, x, y) == 0xFFFFFFu;
    EXPECT_TRUE(white);
    bool black = false;
    for (int x = b.x + 16; x < b.x + 24; ++x)
        for (int y = b.y + 32; y < b.y + 48; ++y)
            black |= pixel(s, x, y) == 0x000000u;
    EXPECT_TRUE(black);
    // The focused button (Yes) is blue, the other white.
    const SDL_Rect yes = box.buttonRect(0);
    const SDL_Rect no = box.buttonRect(1);
    EXPECT_EQ(pixel(s, yes.x, yes.y), 0x0000AAu);
    EXPECT_EQ(pixel(s, no.x, no.y), 0xFFFFFFu);
    box.keyDown(SDLK_TAB, 9, KMOD_NONE);
    EXPECT_TRUE(box.dirty());
    box.draw(s);
    EXPECT_EQ(pixel(s, yes.x, yes.y), 0xFFFFFFu);
    EXPECT_EQ(pixel(s, no.x, no.y), 0x0000AAu);
    SDL_FreeSurface(s);
}

TEST(DialogBoxDrawing, ColoursFollowTheSurfacesPixelLayout) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 400, 32, 0xFF, 0xFF00, 0xFF0000, 0);
    ASSERT_NE(s, nullptr);
    DialogBox box = okBox();
    box.draw(s);
    const SDL_Rect b = box.bounds();
    EXPECT_EQ(pixel(s, b.x, b.y), 0xAA0000u); // blue in a BGR surface
    SDL_FreeSurface(s);
}

TEST(DialogChannel, TheMainThreadsAnswerReachesTheAsker) {
    DialogChannel channel;
    std::atomic<int> answer{-1};
    std::thread asker([&] {
        answer = static_cast<int>(
            channel.ask({"Caption", "Text", DialogButtons::YesNo}, [] { return false; }));
    });
    std::optional<DialogRequest> request;
    while (!(request = channel.take()))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(request->caption, "Caption");
    EXPECT_EQ(request->text, "Text");
    EXPECT_EQ(request->buttons, DialogButtons::YesNo);
    EXPECT_FALSE(channel.take()); // taken once
    channel.answer(DialogButton::No);
    asker.join();
    EXPECT_EQ(answer.load(), static_cast<int>(DialogButton::No));
    EXPECT_FALSE(channel.pending());
}

TEST(DialogChannel, ClosingAnswersTheOpenDialogAndEveryLaterOneClosed) {
    DialogChannel channel;
    std::atomic<int> answer{-1};
    std::thread asker([&] {
        answer = static_cast<int>(channel.ask({"C", "T", DialogButtons::OK}, [] { return false; }));
    });
    while (!channel.take())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto start = std::chrono::steady_clock::now();
    channel.close();
    asker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(answer.load(), static_cast<int>(DialogButton::Closed));
    channel.answer(DialogButton::OK); // too late: ignored
    EXPECT_EQ(channel.ask({"C", "T", DialogButtons::OK}, [] { return false; }),
              DialogButton::Closed);
    EXPECT_TRUE(channel.closed());
}

TEST(DialogChannel, AnAskerThatGivesUpIsAnsweredClosedAndItsAnswerDropped) {
    DialogChannel channel;
    std::atomic<bool> stop{false};
    std::atomic<int> answer{-1};
    std::thread asker([&] {
        answer = static_cast<int>(
            channel.ask({"C", "T", DialogButtons::YesNo}, [&] { return stop.load(); }));
    });
    while (!channel.take())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stop = true;
    asker.join();
    EXPECT_EQ(answer.load(), static_cast<int>(DialogButton::Closed));
    channel.answer(DialogButton::Yes);
    // The channel is free for the next dialog.
    std::thread second([&] {
        answer = static_cast<int>(channel.ask({"D", "U", DialogButtons::OK}, [] { return false; }));
    });
    std::optional<DialogRequest> request;
    while (!(request = channel.take()))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(request->caption, "D");
    channel.answer(DialogButton::OK);
    second.join();
    EXPECT_EQ(answer.load(), static_cast<int>(DialogButton::OK));
}

TEST(DialogChannel, TwoAskersAreShownOneAfterTheOther) {
    DialogChannel channel;
    std::atomic<int> answered{0};
    auto ask = [&](const char* caption) {
        channel.ask({caption, "T", DialogButtons::OK}, [] { return false; });
        answered.fetch_add(1);
    };
    std::thread a(ask, "A");
    std::thread b(ask, "B");
    for (int shown = 0; shown < 2; ++shown) {
        std::optional<DialogRequest> request;
        while (!(request = channel.take()))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_FALSE(channel.take());
        EXPECT_EQ(answered.load(), shown);
        channel.answer(DialogButton::OK);
        while (answered.load() == shown)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    a.join();
    b.join();
    EXPECT_EQ(answered.load(), 2);
}

} // namespace
} // namespace host
