// The host core's start-up pieces that run without threads: the command
// line, the program folder, and the start-up failures that end the program
// before any thread exists.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/host_core.h"

namespace {

TEST(CommandLine, ArgumentsAfterTheProgramNameJoinedBySingleSpaces) {
    std::vector<std::string> words = {"glimmerdeep", "alpha", "beta gamma", ""};
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    EXPECT_EQ(host::joinArguments(1, argv.data()), "");
    EXPECT_EQ(host::joinArguments(2, argv.data()), "alpha");
    EXPECT_EQ(host::joinArguments(3, argv.data()), "alpha beta gamma");
    // An empty argument still counts: it leaves a trailing blank.
    EXPECT_EQ(host::joinArguments(4, argv.data()), "alpha beta gamma ");
    EXPECT_EQ(host::joinArguments(0, nullptr), "");
}

TEST(ProgramFolder, CutAtTheLastSlashBackslashOrColon) {
    EXPECT_EQ(host::programFolder("/usr/games/glimmerdeep"), "/usr/games");
    EXPECT_EQ(host::programFolder("C:\\Games\\Glimmer\\glimmer.exe"), "C:\\Games\\Glimmer");
    EXPECT_EQ(host::programFolder("C:glimmer.exe"), "C:"); // the colon stays
    EXPECT_EQ(host::programFolder("a/b\\c"), "a/b");
    EXPECT_EQ(host::programFolder("/glimmerdeep"), "/");
    EXPECT_EQ(host::programFolder("glimmerdeep"), "");
    EXPECT_EQ(host::programFolder(""), "");
}

// A front end whose display system or font library does not start.
class FailingFrontend final : public host::Frontend {
  public:
    int displayStatus = 0;
    int fontStatus = 0;
    bool reachedFonts = false;
    bool reachedDisplay = false;

    void sleep(std::uint32_t ms, rt::Wait) override { clock += ms; }
    std::uint64_t ticks() override { return clock; }
    std::time_t calendarTime() override { return 1000 + static_cast<std::time_t>(clock / 1000); }
    void timerSleep(std::uint32_t) override {}
    int startDisplaySystem() override { return displayStatus; }
    int startFontLibrary() override {
        reachedFonts = true;
        return fontStatus;
    }
    void prepareDisplay(const char*) override { reachedDisplay = true; }
    void runEventLoop() override {}
    host::DialogButton showDialog(std::string_view, std::string_view,
                                  host::DialogButtons) override {
        return host::DialogButton::OK;
    }
    bool isFullScreen() override { return false; }
    void showMaximised() override {}

    std::uint64_t clock = 0;
};

class StartUpFailure : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(::getcwd(cwd_, sizeof cwd_), nullptr); }
    void TearDown() override { ASSERT_EQ(::chdir(cwd_), 0); }

    // Runs the start-up and returns its status; the core prints nothing (the
    // front end says why).
    int run(FailingFrontend& f) {
        std::string name = "glimmerdeep";
        char* argv[] = {name.data(), nullptr};
        ::testing::internal::CaptureStderr();
        const int status = host::runtimeMain(1, argv, f, [] {});
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        return status;
    }

  private:
    char cwd_[4096];
};

TEST_F(StartUpFailure, ADisplaySystemThatDoesNotStartEndsWithItsStatusAtOnce) {
    FailingFrontend f;
    f.displayStatus = 100;
    EXPECT_EQ(run(f), 100);
    EXPECT_FALSE(f.reachedFonts);
}

TEST_F(StartUpFailure, AFontLibraryThatDoesNotStartEndsWithItsStatusSilently) {
    FailingFrontend f;
    f.fontStatus = 7000;
    EXPECT_EQ(run(f), 7000);
    EXPECT_TRUE(f.reachedFonts);
    EXPECT_FALSE(f.reachedDisplay);
    // The time-of-day base was taken at the start of a new second.
    host::TimeOfDayBase base = host::timeOfDayBase();
    EXPECT_EQ(base.baseTicks % 1000, 0u);
    EXPECT_GT(base.baseTicks, 0u);
}

} // namespace
