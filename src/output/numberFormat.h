// Fixed-point number formatting as printf's "%W.Pf" does it, independent of the locale.
#pragma once

namespace kestro {

// Longest text of one formatted number: a sign, the 309 integer digits of the largest double,
// the point and at most six decimals, with room to spare.
constexpr int maxFixedNumberLength = 320;

// Appends `value` with `precision` decimals, right-aligned in at least `width` characters, at
// `out` and returns the new end (no NUL is written). Correctly rounded, a minus sign on negative
// zero, a point as the decimal separator. An infinity or NaN is written "+INF", "-INF", "+NAN"
// or "-NAN" (sign from the sign bit), padded like a number. `out` needs room for
// max(width, maxFixedNumberLength) characters; precision is at most 6.
char* appendFixed(char* out, double value, int precision, int width);

}  // namespace kestro
