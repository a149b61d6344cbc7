#include "runtime/port.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace rt {
namespace {

// Until a host installs its own: real sleeps, critical errors on standard
// error.
class DefaultPort final : public Port {
  public:
    void sleep(std::uint32_t ms, Wait) override {
        if (ms == 0) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
    }
    std::uint64_t ticks() override {
        using namespace std::chrono;
        return static_cast<std::uint64_t>(
            duration_cast<milliseconds>(steady_clock::now() - start_).count());
    }
    [[noreturn]] void critical(std::string_view caption, std::string_view text) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        std::fflush(stderr);
        std::_Exit(0);
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

DefaultPort defaultPort;
Port* current = &defaultPort;

// Without a host the game can only end: the event check clears the flag and
// carries on, end program and stopping the thread end the process.
class DefaultGameHost final : public GameHost {
  public:
    void eventCheck(std::uint32_t) override {}
    [[noreturn]] void endProgram() override { std::exit(0); }
    [[noreturn]] void stopGameThread() override { std::exit(0); }
};

DefaultGameHost defaultGameHost;
GameHost* currentGameHost = &defaultGameHost;

} // namespace

Port& port() {
    return *current;
}
void setPort(Port* p) {
    current = p != nullptr ? p : &defaultPort;
}

GameHost& gameHost() {
    return *currentGameHost;
}
void setGameHost(GameHost* h) {
    currentGameHost = h != nullptr ? h : &defaultGameHost;
}

} // namespace rt
