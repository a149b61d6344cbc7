// Line input: the INPUT statement's editor.
//
// Reads one line from the keyboard buffer into program variables, echoing it
// on the write page. After every keystroke the text is checked against the
// target variables and a character that would make it unacceptable is erased
// at once; Backspace redraws the screen as it was before input began plus the
// current text, whatever scrolling the echo caused.
#pragma once

#include <cstdint>

#include "runtime/strings.h"

namespace rt {

constexpr std::uint32_t kKindString = 1u << 30;
constexpr std::uint32_t kKindFloat = 1u << 29;
constexpr std::uint32_t kKindUnsigned = 1u << 28;
constexpr std::uint32_t kKindWholeLine = 1u << 9; // with kKindString
constexpr std::uint32_t kKindSingle = kKindFloat | 32;

// Fills entry index (1-based) of the descriptor arrays.
void setInputVariable(std::uint32_t index, std::uint32_t kind, void* address);
// Reads a line into variables 1..n. Returns at once, leaving everything as it
// is, when the stop-request flag is set while it waits; the caller tests the
// flag and stops the game thread.
void input(std::uint32_t n, int lineEnd);

// The single-precision field check, exposed for tests and the fuzzer.
enum class FieldCheck : std::uint8_t { Unacceptable, Acceptable };
FieldCheck checkSingleField(const char* text, std::int32_t length, float* value);

} // namespace rt
