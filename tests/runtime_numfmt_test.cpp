// Single to text: the exact texts of known values, and a sweep over random
// singles checking that every text reads back to the same seven digits.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "runtime/numfmt.h"
#include "runtime/strings.h"

namespace {

class SingleToText : public ::testing::Test {
  protected:
    void SetUp() override {
        rt::initStringStore();
        base_ = rt::temporaryNextIndex();
    }
    // The text of x; the temporary is released again at once.
    std::string text(float x) {
        rt::RuntimeString* s = rt::singleToText(x);
        EXPECT_EQ(s->temporary, 1);
        std::string t(s->view());
        rt::releaseTemporaries(base_, 0);
        return t;
    }
    std::uint32_t base_ = 1;
};

std::string sci6(double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%.6e", v);
    return b;
}

} // namespace

TEST_F(SingleToText, GivesTheExactTextOfTheKnownValues) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {100.0f, " 100"},
        {1234567.0f, " 1234567"},
        {12345678.0f, " 1.234568E+07"},
        {0.5f, " .5"},
        {0.0001f, " .0001"},
        {0.0000015f, " .0000015"},
        {0.00000015f, " 1.5E-07"},
        {0.00000001f, " 1E-08"},
        {-3.0f, "-3"},
        {-0.25f, "-.25"},
        {2.5f, " 2.5"},
        {1E+20f, " 1E+20"},
        {0.0f, " 0"},
        {-0.0f, " 0"},
        {9999999.0f, " 9999999"},
        {10000000.0f, " 1E+07"},
        {999999.9f, " 999999.9"},
        {3.14159265358979f, " 3.141593"},
        {42.0f, " 42"},
        // Further edges of the two notations.
        {1.0f, " 1"},
        {-1.0f, "-1"},
        {0.1f, " .1"},
        {1.0f / 3.0f, " .3333333"},
        {-2.0f / 3.0f, "-.6666667"},
        {123.456f, " 123.456"},
        {0.0000001f, " .0000001"}, // 1E-07 still fits eight decimals
        {0.00000012f, " 1.2E-07"}, // one digit more does not
        {-0.0000015f, "-.0000015"},
        {-0.00000001f, "-1E-08"},
        {1234567.5f, " 1234568"}, // the tie rounds to even in both passes
        {16777216.0f, " 1.677722E+07"},
        {99999.99f, " 99999.99"},
        {std::nextafter(1E-32f, 0.0f), " 1E-32"}, // rounding carries into the exponent
        {100000000.0f, " 1E+08"},
        {1E+10f, " 1E+10"},
        {-1.5E+30f, "-1.5E+30"},
        {3.4028235E+38f, " 3.402823E+38"},
        {1.17549435E-38f, " 1.175494E-38"},
        {1.4E-45f, " 1.401298E-45"}, // the smallest subnormal
        {25.0f, " 25"},
        {-75.0f, "-75"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(c.value), c.text) << sci6(c.value);
}

TEST_F(SingleToText, InfinitiesAndNotANumberKeepTheFormattersText) {
    EXPECT_EQ(text(std::numeric_limits<float>::infinity()), " INF");
    EXPECT_EQ(text(-std::numeric_limits<float>::infinity()), "-INF");
    const std::string nan = text(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(nan == " NAN" || nan == "-NAN") << nan;
}

namespace {

// Checks one text against the rules; returns an empty string or the fault.
std::string checkText(float x, const std::string& t) {
    if (t.size() < 2) return "too short";
    const bool negative = std::signbit(x) && x != 0.0f;
    if (t[0] != (negative ? '-' : ' ')) return "wrong sign character";
    if (x == 0.0f) return t == " 0" ? "" : "zero";

    const std::size_t ePos = t.find('E');
    const std::string mantissa =
        t.substr(1, ePos == std::string::npos ? std::string::npos : ePos - 1);
    if (mantissa.empty()) return "no digits";
    if (mantissa.size() >= 2 && mantissa[0] == '0') return "a 0 before the point";
    const std::size_t point = mantissa.find('.');
    int digits = 0;
    bool leading = true;
    for (std::size_t i = 0; i < mantissa.size(); ++i) {
        const char ch = mantissa[i];
        if (ch == '.') {
            if (i != point) return "two points";
            continue;
        }
        if (ch < '0' || ch > '9') return "not a digit";
        if (leading && ch == '0') continue;
        leading = false;
        ++digits;
    }
    if (digits < 1 || digits > 7) return "significant digits: " + std::to_string(digits);
    if (point != std::string::npos && mantissa.back() == '0') return "trailing zero";
    if (point != std::string::npos && point + 1 == mantissa.size()) return "trailing point";

    // The rounded decimal exponent of x decides the notation.
    const std::string s6 = sci6(std::fabs(static_cast<double>(x)));
    const int e = std::atoi(s6.c_str() + s6.find('e') + 1);
    int count = 7;
    for (int i = 7; i >= 0 && s6[static_cast<std::size_t>(i)] == '0'; --i)
        --count;
    const bool scientific = e > 6 || e - count < -8;
    if (scientific != (ePos != std::string::npos)) return "wrong notation";
    // A whole number in fixed notation shows all its integer digits.
    const int expected = !scientific && point == std::string::npos ? e + 1 : count;
    if (digits != expected) {
        return "digits " + std::to_string(digits) + " vs " + std::to_string(expected);
    }
    if (scientific) {
        if (ePos + 4 != t.size()) return "exponent digits";
        if (t[ePos + 1] != '+' && t[ePos + 1] != '-') return "exponent sign";
        if (mantissa.size() != 1 && (mantissa.size() < 3 || point != 1)) return "mantissa form";
    }

    // Read back, the text must keep x's seven rounded digits.
    const double back = std::strtod(t.c_str(), nullptr);
    if (sci6(back) != sci6(static_cast<double>(x))) return "reads back as " + sci6(back);
    return "";
}

} // namespace

TEST_F(SingleToText, EveryRandomSingleReadsBackToItsSevenDigits) {
    std::mt19937 random(20240517u);
    int checked = 0;
    auto check = [&](std::uint32_t bits) {
        const float x = std::bit_cast<float>(bits);
        if (!std::isfinite(x)) return;
        const std::string t = text(x);
        const std::string fault = checkText(x, t);
        ASSERT_EQ(fault, "") << "bits " << std::hex << bits << ": \"" << t << "\" for " << sci6(x);
        ++checked;
    };
    // Random bit patterns.
    for (int i = 0; i < 60000; ++i) {
        check(static_cast<std::uint32_t>(random()));
        if (HasFatalFailure()) return;
    }
    // Every exponent, both signs, random mantissas, and the ends of each
    // binade.
    for (std::uint32_t sign = 0; sign < 2; ++sign) {
        for (std::uint32_t exponent = 0; exponent < 255; ++exponent) {
            const std::uint32_t high = (sign << 31) | (exponent << 23);
            check(high);
            check(high | 0x7FFFFFu);
            check(high | 1u);
            for (int i = 0; i < 40; ++i)
                check(high | (static_cast<std::uint32_t>(random()) & 0x7FFFFFu));
            if (HasFatalFailure()) return;
        }
    }
    // Whole numbers and short decimals as the game's counters make them.
    for (int n = -2000; n <= 2000; ++n) {
        check(std::bit_cast<std::uint32_t>(static_cast<float>(n)));
        check(std::bit_cast<std::uint32_t>(static_cast<float>(n) / 10.0f));
        check(std::bit_cast<std::uint32_t>(static_cast<float>(n) * 1000.0f));
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(checked, 90000);
}
