// The value rules of a settings line: keyword lookup, booleans, numbers and whole numbers.
#include "settings/settingsSyntax.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/doubleCheck.h"

namespace kestro {
namespace {

using test::sameDouble;

TEST(FindKeyword, EveryKeywordInAnyLetterCaseGivesItsIndex) {
    // Index order of the keyword table; each key written in another mix of letter cases.
    struct Case {
        const char* key;
        int index;
    };
    const Case cases[] = {
        {"lat", 0},      {"LON", 1},     {"Cw", 2},     {"cWX", 3},       {"ATMFILE", 4},
        {"wData", 5},    {"WAZI", 6},    {"wvel", 7},   {"Tnn", 8},       {"TGRAD", 9},
        {"oForm", 10},   {"MASS", 11},   {"Loss", 12},  {"iNC", 13},      {"AZI", 14},
        {"Vel", 15},     {"ALT", 16},    {"DiA", 17},   {"StopFlag", 18}, {"STOPVAL", 19},
        {"HPDT", 20},    {"hpErad", 21}, {"hpwnd", 22}, {"HpG", 23},      {"HighPrec", 24},
        {"LOWPREC", 25}, {"TMax", 26},
    };
    for (const Case& c : cases) EXPECT_EQ(findKeyword(c.key), c.index) << c.key;
}

TEST(FindKeyword, OnlyTheWholeKeyMatches) {
    const char* const notKeys[] = {
        "",  // the empty key matches no keyword (not the table's end entry)
        "cw ",       " cw",    "cw\t",   "mass ",  // blanks are part of the key
        "mas",       "masss",  "cwxx",   "c",      // a prefix or an extension of a keyword
        "stop flag", "[mass]", "mass\r",           // no trimming of any character
        "m\xC1ss",                                 // only the letters A to Z compare without case
    };
    for (const char* key : notKeys) EXPECT_EQ(findKeyword(key), keywordNotFound) << key;
}

TEST(IsTrueValue, OnlyTheWordTrueInAnyCase) {
    for (const char* value : {"true", "TRUE", "True", "tRuE"}) {
        EXPECT_TRUE(isTrueValue(value)) << value;
    }
    for (const char* value : {"", "1", "yes", "on", "t", "tru", "truex", " true", "true ", "true\t",
                              "\ttrue", "false", "TRUE1"}) {
        EXPECT_FALSE(isTrueValue(value)) << '"' << value << '"';
    }
}

struct NumberCase {
    std::string text;
    double want;
    const char* why;
};

TEST(ReadNumber, DecimalSyntaxOnlyLocaleFree) {
    // Expected doubles: Python float() of the longest decimal prefix (correctly rounded).
    const double inf = __builtin_inf();
    const NumberCase cases[] = {
        {"3e2", 300, "exponent"},
        {"1E2", 100, "capital exponent letter"},
        {"12abc", 12, "stops at the first character that cannot continue"},
        {"1,5", 1, "a decimal comma ends the number"},
        {"1e", 1, "exponent letter without digits is not part of the number"},
        {"1e+", 1, "exponent sign without digits"},
        {"1e-5x", 0x1.4f8b588e368f1p-17, "1e-05"},
        {"1.5e3.2", 1500, "a second point ends the number"},
        {"-.5", -0.5, "no digit before the point"},
        {"+.5", 0.5, "explicit plus"},
        {"5.", 5, "no digit after the point"},
        {"00012.50", 12.5, "leading zeros"},
        {"  \t 7", 7, "leading white space skipped"},
        {"\v\f\r\n8", 8, "every C-locale white space character skipped"},
        {"0.1", 0x1.999999999999ap-4, "nearest double to 0.1"},
        {"2.5e-3", 0x1.47ae147ae147bp-9, "nearest double to 0.0025"},
        {"-0", -0.0, "negative zero keeps its sign"},
        {"0x10", 0, "no hexadecimal: 0 then x"},
        {"-0x10", -0.0, "no hexadecimal: -0 then x"},
        {"inf", 0, "no infinity spelling"},
        {"-inf", 0, "no infinity spelling, no digits: plain 0"},
        {"infinity", 0, "no infinity spelling"},
        {"nan", 0, "no NaN spelling"},
        {"NAN(1)", 0, "no NaN spelling"},
        {".", 0, "a point alone is no number"},
        {"-", 0, "a sign alone is no number"},
        {"+-1", 0, "two signs"},
        {"- 1", 0, "blank after the sign"},
        {"e5", 0, "exponent without mantissa"},
        {".e1", 0, "point and exponent without digits"},
        {"", 0, "empty value"},
        {"abc", 0, "no digits"},
        {"1e999", inf, "overflow gives +infinity"},
        {"-1e999", -inf, "overflow gives -infinity"},
        {"1e99999999999999999999", inf, "exponent beyond any integer type"},
        {"1e-400", 0.0, "underflow gives +0"},
        {"-1e-400", -0.0, "underflow gives -0"},
        {"1e-99999999999999999999", 0.0, "exponent beyond any integer type, negative"},
        {"0e99999999999999", 0.0, "zero with an enormous exponent"},
        {"1.7976931348623157e308", 0x1.fffffffffffffp+1023, "largest double"},
        {"1.797693134862315807e308", 0x1.fffffffffffffp+1023, "below half an ulp past it"},
        {"1.7976931348623159e308", inf, "past half an ulp beyond the largest double"},
        {"2.2250738585072011e-308", 0x0.fffffffffffffp-1022, "largest subnormal"},
        {"4.9e-324", 0x0.0000000000001p-1022, "smallest subnormal"},
        {"2.4703282292062328e-324", 0x0.0000000000001p-1022, "just above half of it"},
        {"2.4703282292062327e-324", 0.0, "just below half of it"},
        {"9007199254740993", 0x1p+53, "2^53+1: tie, rounds to even"},
        {"9007199254740993." + std::string(1000, '0') + "1", 0x1.0000000000001p+53,
         "2^53+1 plus a tiny part 1000 digits on: rounds up"},
        {"1" + std::string(400, '0') + "e-300", 0x1.249ad2594c37dp+332, "1e100, 401 digits"},
        {"0." + std::string(400, '0') + "1e600", 0x1.0b8e0acac4eafp+661, "1e199, 400 zeros"},
    };
    for (const NumberCase& c : cases) {
        EXPECT_TRUE(sameDouble(readNumber(c.text.c_str()), c.want))
            << '"' << c.text.substr(0, 40) << "\": " << c.why;
    }
}

TEST(ReadNumber, StopsAtTheGivenEnd) {
    const char text[] = "12345e2";
    EXPECT_TRUE(sameDouble(readNumber(text, text + 2), 12));
    EXPECT_TRUE(sameDouble(readNumber(text, text + 6), 12345));  // "12345e": no exponent digits
    EXPECT_TRUE(sameDouble(readNumber(text, text + 7), 1234500));
    EXPECT_TRUE(sameDouble(readNumber(text, text), 0));
    const char minus[] = "-5";
    EXPECT_TRUE(sameDouble(readNumber(minus, minus + 1), 0));  // a sign alone
}

TEST(ReadNumber, LongDigitStringsAgreeWithTheCLibrary) {
    // strtod in the C locale converts correctly rounded; thousands of digits must agree with it.
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    std::string pattern = "31415926535897932384626433832795028841971693993751";
    std::string digits;
    while (digits.size() < 4000) digits += pattern;
    const std::string texts[] = {
        digits.substr(0, 309),                  // just below the largest double
        digits.substr(0, 320),                  // overflow
        "0." + digits,                          // 4000 fractional digits
        digits.substr(0, 3000) + "e-3000",      // 3.14...
        "0." + std::string(330, '0') + digits,  // subnormal range
        "-" + digits.substr(0, 2000) + "." + digits + "e-1990",
        "7" + std::string(2000, '0') + "1e-2001",  // just above a tie of 0.7
        "4.4501477170144022721148195934182639518696390927032912960468522194496444440421538910"
        "33079449471764510468924651686880127640587800001e-308",  // near the smallest normal
    };
    for (const std::string& text : texts) {
        EXPECT_TRUE(sameDouble(readNumber(text.c_str()), std::strtod(text.c_str(), nullptr)))
            << text.substr(0, 60) << "... (" << text.size() << " characters)";
    }
}

TEST(ReadWholeNumber, DigitsAfterOptionalSignClampedTo32Bits) {
    struct Case {
        const char* text;
        std::int32_t want;
        const char* why;
    };
    const Case cases[] = {
        {"2", 2, "plain"},
        {"2.9", 2, "stops at the point, no rounding"},
        {"-2.9", -2, "negative, towards zero"},
        {" \t+7", 7, "white space and plus"},
        {"-0", 0, "negative zero is zero"},
        {"", 0, "empty value"},
        {"abc", 0, "no digits"},
        {"0x10", 0, "no hexadecimal"},
        {"1e3", 1, "no exponent"},
        {"--5", 0, "two signs"},
        {"- 5", 0, "blank after the sign"},
        {"2147483647", 2147483647, "largest 32-bit value"},
        {"2147483648", 2147483647, "one beyond: clamped, not wrapped"},
        {"4294967298", 2147483647, "2^32+2 would wrap to 2"},
        {"-2147483648", -2147483647 - 1, "smallest 32-bit value"},
        {"-2147483649", -2147483647 - 1, "one below: clamped"},
        {"-4294967295", -2147483647 - 1, "would wrap to 1"},
        {"99999999999999999999999999999", 2147483647, "beyond 64 bits"},
        {"-99999999999999999999999999999", -2147483647 - 1, "beyond 64 bits, negative"},
        {"000000000000000000000000000003", 3, "many leading zeros"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readWholeNumber(c.text), c.want) << c.text << ": " << c.why;
}

}  // namespace
}  // namespace kestro
