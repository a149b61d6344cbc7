// Single to text.
//
// The value is widened to double and printed as "% .6E", which rounds it to
// seven significant digits; the exponent is padded to three digits so the
// working text always has the same 14-character layout (sign, digit, point,
// six digits, "E", exponent sign, three exponent digits). Trailing zeros of
// those seven digits give the number of significant digits. Numbers from
// 1E-08 up to seven integer digits are then printed again in fixed notation
// with exactly enough decimals for those digits (the leading "0" of a number
// below 1 dropped); everything else keeps the scientific form, cut down to
// its significant digits and a two-digit exponent where that is enough.
//
// The working text lives in one static buffer: the conversion is not
// re-entrant and runs on the game thread only.
#include "runtime/numfmt.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace rt {
namespace {

char working[64];

RuntimeString* toString(const char* text, std::size_t n) {
    RuntimeString* s = newString(static_cast<std::uint32_t>(n), true);
    std::memcpy(s->text, text, n);
    return s;
}

} // namespace

RuntimeString* singleToText(float x) {
    const double v = static_cast<double>(x);
    int n = std::snprintf(working, sizeof working, "% .6E", v);
    if (!std::isfinite(v) || n < 13 || n > 14) {
        // Infinities and not-a-number: the formatter's own text. Anything
        // else not in the 13- or 14-character layout is passed through too
        // rather than read past its end.
        return toString(working, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    if (n == 13) {
        // Two exponent digits: make them three.
        std::memmove(working + 12, working + 11, 3); // two digits and the terminator
        working[11] = '0';
        n = 14;
    }

    int count = 7;
    for (int i = 8; i >= 1; --i) {
        if (i == 2) continue; // the point
        if (working[i] != '0') break;
        --count;
    }
    if (count == 0) return toString(" 0", 2);

    int e = (working[11] - '0') * 100 + (working[12] - '0') * 10 + (working[13] - '0');
    if (working[10] == '-') e = -e;

    if (e <= 6 && e - count >= -8) {
        int d = count - e - 1;
        if (d < 0) d = 0;
        const char format[6] = {'%', ' ', '.', static_cast<char>('0' + d), 'f', '\0'};
        char fixed[32];
        int m = std::snprintf(fixed, sizeof fixed, format, v);
        if (m >= 2 && fixed[1] == '0') {
            std::memmove(fixed + 1, fixed + 2, static_cast<std::size_t>(m - 1));
            --m;
        }
        return toString(fixed, m > 0 ? static_cast<std::size_t>(m) : 0);
    }

    char out[16];
    std::size_t k = 0;
    const int keep = count == 1 ? 1 : count + 1; // last position taken
    for (int i = 0; i <= keep; ++i)
        out[k++] = working[i];
    out[k++] = 'E';
    out[k++] = working[10];
    const int firstDigit = (e > 99 || e < -99) ? 11 : 12;
    for (int i = firstDigit; i <= 13; ++i)
        out[k++] = working[i];
    return toString(out, k);
}

} // namespace rt
