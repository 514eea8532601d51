#include "settings/settingsSyntax.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace kestro {

const char settingsKeywords[settingsKeywordCount + 1][settingsKeywordCapacity] = {
    "lat",   "lon",    "cw",    "cwx", "atmfile",  "wdata",   "wazi", "wvel", "tnn",      "tgrad",
    "oform", "mass",   "loss",  "inc", "azi",      "vel",     "alt",  "dia",  "stopflag", "stopval",
    "hpdt",  "hperad", "hpwnd", "hpg", "highprec", "lowprec", "tmax", "",
};

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// White space as the C locale's isspace sees it.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal exponent of the leading non-zero digit of a mantissa "ddd.ddd" plus the written
// exponent; only its sign is used, to tell overflow from underflow.
long long leadingDigitExponent(const char* mantissa, const char* mantissaEnd,
                               long long writtenExponent) {
    bool beforePoint = true;
    bool seenNonZero = false;
    long long integerDigits = 0;
    long long leadingFractionZeros = 0;
    for (const char* c = mantissa; c != mantissaEnd; ++c) {
        if (*c == '.') {
            beforePoint = false;
            continue;
        }
        if (beforePoint) {
            if (seenNonZero || *c != '0') {
                seenNonZero = true;
                ++integerDigits;
            }
        } else if (!seenNonZero) {
            if (*c == '0') {
                ++leadingFractionZeros;
            } else {
                seenNonZero = true;
            }
        }
    }
    const long long position = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    return position + writtenExponent;
}

}  // namespace

bool equalsIgnoringCase(const char* text, const char* word) {
    for (;; ++text, ++word) {
        if (lowerAscii(*text) != lowerAscii(*word)) return false;
        if (*text == '\0') return true;
    }
}

int findKeyword(const char* key) {
    if (key[0] == '\0') return keywordNotFound;
    for (int index = 0; settingsKeywords[index][0] != '\0'; ++index) {
        if (equalsIgnoringCase(key, settingsKeywords[index])) return index;
    }
    return keywordNotFound;
}

bool isTrueValue(const char* value) {
    return equalsIgnoringCase(value, "true");
}

double readNumber(const char* begin, const char* end) {
    const char* c = begin;
    while (c != end && isBlank(*c)) ++c;
    bool negative = false;
    if (c != end && (*c == '+' || *c == '-')) {
        negative = *c == '-';
        ++c;
    }
    const char* mantissa = c;
    int digits = 0;
    while (c != end && isDigit(*c)) ++c, ++digits;
    if (c != end && *c == '.') {
        ++c;
        while (c != end && isDigit(*c)) ++c, ++digits;
    }
    if (digits == 0) return 0.0;
    const char* mantissaEnd = c;
    long long writtenExponent = 0;
    if (c != end && (*c == 'e' || *c == 'E')) {
        const char* e = c + 1;
        bool exponentNegative = false;
        if (e != end && (*e == '+' || *e == '-')) {
            exponentNegative = *e == '-';
            ++e;
        }
        if (e != end && isDigit(*e)) {
            while (e != end && isDigit(*e)) {
                // Saturate: only the sign of an enormous exponent matters.
                if (writtenExponent < 1000000000LL)
                    writtenExponent = writtenExponent * 10 + (*e - '0');
                ++e;
            }
            if (exponentNegative) writtenExponent = -writtenExponent;
            c = e;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(mantissa, c, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = leadingDigitExponent(mantissa, mantissaEnd, writtenExponent) >= 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    } else if (result.ec != std::errc{}) {
        value = 0.0;
    }
    return negative ? -value : value;
}

double readNumber(const char* text) {
    return readNumber(text, text + std::strlen(text));
}

std::int32_t readWholeNumber(const char* text) {
    const char* c = text;
    while (isBlank(*c)) ++c;
    bool negative = false;
    if (*c == '+' || *c == '-') {
        negative = *c == '-';
        ++c;
    }
    // Accumulated as a magnitude that saturates just beyond the 32-bit range.
    constexpr long long saturation = 1LL << 32;
    long long magnitude = 0;
    while (isDigit(*c)) {
        if (magnitude < saturation) magnitude = magnitude * 10 + (*c - '0');
        ++c;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

void copyTextValue(char* field, int capacity, const char* value) {
    int i = 0;
    for (; i < capacity - 1 && value[i] != '\0'; ++i) field[i] = value[i];
    field[i] = '\0';
}

}  // namespace kestro
