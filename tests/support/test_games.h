// The host core's small test games (tests/hostcore/test_games.cpp) played
// through the replay driver; GLIMMER_TEST_GAMES is the games' program.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/replay.h"

namespace testgames {

// Plays game with script; args go after the game's name.
inline replay::Result play(const std::string& game, std::string_view script,
                           std::vector<std::string> args = {}) {
    args.insert(args.begin(), game);
    return replay::runWith(GLIMMER_TEST_GAMES, std::move(args), script);
}

// The program ended by itself, in time, with status, and the driver read all
// it printed.
inline void expectCleanExit(const replay::Result& r, int status = 0) {
    EXPECT_FALSE(r.timedOut);
    EXPECT_TRUE(r.exited) << r.output;
    EXPECT_EQ(r.exitStatus, status);
    EXPECT_EQ(r.processStatus, status) << r.errors;
    EXPECT_TRUE(r.unparsed.empty()) << r.output;
}

} // namespace testgames
