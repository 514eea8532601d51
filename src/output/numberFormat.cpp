#include "output/numberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace kestro {

char* appendFixed(char* out, double value, int precision, int width) {
    char digits[maxFixedNumberLength];
    int length = 0;
    if (std::isfinite(value)) {
        // to_chars in fixed form with a precision is exact and never looks at the locale.
        const auto result = std::to_chars(digits, digits + sizeof digits, value,
                                          std::chars_format::fixed, precision);
        length = static_cast<int>(result.ptr - digits);
    } else {
        digits[0] = std::signbit(value) ? '-' : '+';
        std::memcpy(digits + 1, std::isnan(value) ? "NAN" : "INF", 3);
        length = 4;
    }
    for (int pad = width - length; pad > 0; --pad) *out++ = ' ';
    std::memcpy(out, digits, static_cast<size_t>(length));
    return out + length;
}

}  // namespace kestro
