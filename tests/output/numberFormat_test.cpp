// Fixed-point number formatting: the same text as the C library's printf "%W.Pf" for every finite
// double, and the signed INF/NAN forms.

#include "output/numberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace kestro {
namespace {

std::string fixed(double value, int precision, int width) {
    std::vector<char> buffer(maxFixedNumberLength + 64, '#');
    char* end = appendFixed(buffer.data(), value, precision, width);
    const std::string text(buffer.data(), end);
    // Nothing is written past the returned end: no NUL, no stray character.
    EXPECT_EQ(*end, '#') << "appendFixed wrote past its end for " << text;
    return text;
}

std::string printfFixed(double value, int precision, int width) {
    std::vector<char> buffer(512);
    const int length =
        std::snprintf(buffer.data(), buffer.size(), "%*.*f", width, precision, value);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

TEST(AppendFixed, LiteralTextsOfTheTrackTableFormats) {
    struct Case {
        double value;
        int precision, width;
        const char* want;
        const char* why;
    };
    const Case cases[] = {
        {1.5, 2, 10, "      1.50", "right-aligned in 10"},
        {1.5, 2, 0, "1.50", "tab layout: no padding"},
        {-0.0, 4, 10, "   -0.0000", "negative zero keeps its sign"},
        {-0.001, 2, 0, "-0.00", "a tiny negative value rounds to -0.00"},
        {0.125, 2, 0, "0.12", "an exact binary tie rounds to even"},
        {0.375, 2, 0, "0.38", "an exact binary tie rounds to even"},
        {2.675, 2, 0, "2.67", "the double lies below 2.675"},
        {12345678.9, 2, 10, "12345678.90", "a wider value widens its field"},
        {123.456, 6, 10, "123.456000", "exactly the width"},
        {5e-324, 6, 10, "  0.000000", "the smallest subnormal"},
        {std::numeric_limits<double>::infinity(), 2, 10, "      +INF", "signed, padded"},
        {-std::numeric_limits<double>::infinity(), 3, 0, "-INF", "unpadded"},
        {std::numeric_limits<double>::quiet_NaN(), 5, 10, "      +NAN", "sign bit clear"},
        {std::copysign(std::numeric_limits<double>::quiet_NaN(), -1.0), 4, 0, "-NAN",
         "sign bit set"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fixed(c.value, c.precision, c.width), c.want) << c.why;
    }
}

TEST(AppendFixed, MatchesPrintfForFiniteValues) {
    const double values[] = {
        0.0,       -0.0,      0.5,       0.005,      0.015,       0.025,      1.0005,
        2.5e-7,    9.9999995, 99.99995,  999999.995, -123.456789, 1e15 + 0.3, 1e22,
        1e-300,    1e300,     -1e300,    DBL_MAX,    -DBL_MAX,    DBL_MIN,    DBL_EPSILON,
        1.0 / 3.0, 2.0 / 3.0, 359.99995, 6378137.0,  0.1 + 0.2,   4.2255e-5,  47.29891556171129,
    };
    for (double value : values) {
        for (int precision = 2; precision <= 6; ++precision) {
            for (int width : {0, 10}) {
                EXPECT_EQ(fixed(value, precision, width), printfFixed(value, precision, width))
                    << "value " << std::hexfloat << value << " precision " << precision << " width "
                    << width;
            }
        }
    }
}

TEST(AppendFixed, LongestNumberFitsItsBound) {
    // A sign, 309 integer digits, the point and six decimals.
    const std::string text = fixed(-DBL_MAX, 6, 0);
    EXPECT_EQ(text.size(), 317u);
    EXPECT_LE(static_cast<int>(text.size()), maxFixedNumberLength);
    EXPECT_EQ(text, printfFixed(-DBL_MAX, 6, 0));
}

}  // namespace
}  // namespace kestro
