// The end of a story: the quit step, its confirmation and the score screen.
#pragma once

namespace game {

// The score screen's rating line for a final score: below 100, from 100 up
// to below 300, and from 300 on.
const char* scoreRating(float score);

} // namespace game
