// The game's three statement patterns on the string store, run by the test
// that they take no heap memory (tests/standalone_no_alloc.cpp) and measured
// by the string benchmark (bench/string_patterns.cpp):
//  1. a printed literal piece: new empty permanent string, assign the
//     literal, make fit, print, free;
//  2. a comparison: equality of a variable with a temporary literal, then
//     release temporaries;
//  3. a printed number: single to text, concatenate with " ", assign to a new
//     permanent string (taking the text over), make fit, print, free, release.
// `base` is the temporaries' start index to release back to.
#pragma once

#include <cstdint>

#include "runtime/numfmt.h"
#include "runtime/screen.h"
#include "runtime/strings.h"

namespace patterns {

inline void printPiece(const char* text, std::int32_t length) {
    rt::RuntimeString* p = rt::newString(0, false);
    rt::assign(p, rt::literal(text, length));
    rt::makeFit(p);
    rt::print(p, 0);
    rt::freeString(p);
}

// -1 when the variable holds the text, else 0.
inline std::int32_t compare(const rt::RuntimeString* variable, const char* text,
                            std::int32_t length, std::uint32_t base) {
    return rt::releaseTemporaries(base, rt::equality(variable, rt::literal(text, length)));
}

inline void printNumber(float x, std::uint32_t base) {
    rt::RuntimeString* joined = rt::concatenate(rt::singleToText(x), rt::literal(" ", 1));
    rt::RuntimeString* p = rt::newString(0, false);
    rt::assign(p, joined);
    rt::makeFit(p);
    rt::print(p, 0);
    rt::freeString(p);
    rt::releaseTemporaries(base, 0);
}

} // namespace patterns
