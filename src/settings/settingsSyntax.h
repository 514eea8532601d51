// The shared syntax of the two settings files: "key=value" lines, the keyword table and the
// rules that turn a value into a number, a whole number, a boolean or a text.
#pragma once

#include <cstdint>

#include "settings/lineInput.h"

namespace kestro {

// Keyword indices. 0 to 19 belong to the scenario parameter file, 20 to 26 to "Kestro.ini".
enum SettingsKeyword : int {
    keywordNotFound = -1,
    kwLat = 0,
    kwLon,
    kwCw,
    kwCwx,
    kwAtmfile,
    kwWdata,
    kwWazi,
    kwWvel,
    kwTnn,
    kwTgrad,
    kwOform,
    kwMass,
    kwLoss,
    kwInc,
    kwAzi,
    kwVel,
    kwAlt,
    kwDia,
    kwStopflag,
    kwStopval,
    kwHpdt,
    kwHperad,
    kwHpwnd,
    kwHpg,
    kwHighprec,
    kwLowprec,
    kwTmax,
};

constexpr int settingsKeywordCount = 27;
constexpr int settingsKeywordCapacity = 9;  // longest keyword ("stopflag", "highprec") and NUL
// The keywords in index order, followed by the empty entry that ends the table.
extern const char settingsKeywords[settingsKeywordCount + 1][settingsKeywordCapacity];

// Index of the keyword equal to `key` (letters A to Z compared without case), or -1.
int findKeyword(const char* key);

// True when the value is "true" in any letter case; false for every other value.
bool isTrueValue(const char* value);

// Number rule: the decimal number at the start of [begin, end) after leading white space, as the
// C library's strtod reads it but never hexadecimal, infinity or NaN, and with a point as decimal
// separator whatever the locale. No number gives 0; overflow gives an infinity of the number's
// sign, underflow a zero of its sign.
double readNumber(const char* begin, const char* end);
double readNumber(const char* text);  // up to the text's NUL

// Whole-number rule: leading white space, an optional sign and decimal digits, as atol reads
// them; no digits give 0, and a value outside the 32-bit range is clamped to its nearest end.
std::int32_t readWholeNumber(const char* text);

// Text rule: copies the value unchanged into a field of `capacity` characters (NUL included).
void copyTextValue(char* field, int capacity, const char* value);

// True when `text` equals `word`, letters A to Z compared without case.
bool equalsIgnoringCase(const char* text, const char* word);

// The settings line loop: reads the whole input line by line into the line buffer and hands
// each line that has an equals sign to `apply` as (keyword index, value). The key is the text
// before the first equals sign, the value everything after it; nothing is trimmed.
template <class Apply>
void runSettingsLineLoop(LineBuffer& lineBuffer, TextInput& input, Apply&& apply) {
    while (!textInputFinished(input)) {
        const int length = readSettingsLine(lineBuffer.text, lineBufferCapacity, input);
        if (length == 0) continue;
        char* equalsSign = nullptr;
        for (char* c = lineBuffer.text; *c != '\0'; ++c) {
            if (*c == '=') {
                equalsSign = c;
                break;
            }
        }
        if (equalsSign == nullptr) continue;
        *equalsSign = '\0';
        apply(findKeyword(lineBuffer.text), static_cast<const char*>(equalsSign + 1));
    }
}

}  // namespace kestro
