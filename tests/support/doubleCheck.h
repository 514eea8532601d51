// Comparison of a computed double with an expected value worked out independently.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kestro::test {

// Every bit of a double, in decimal and in hexadecimal.
inline std::string describeDouble(double value) {
    char text[96];
    std::snprintf(text, sizeof text, "%.17g (%a)", value, value);
    return text;
}

// With a tolerance of 0 the two doubles must be the same bits, so the sign of a zero counts;
// otherwise they may differ by at most `tolerance`.
inline ::testing::AssertionResult sameDouble(double got, double want, double tolerance = 0.0) {
    const bool same = tolerance == 0.0
                          ? std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(want)
                          : std::fabs(got - want) <= tolerance;
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << describeDouble(got) << ", want "
                                         << describeDouble(want) << ", tolerance " << tolerance;
}

// Degrees to radians as the scenario reader converts an angle: by 1/180 first, then by pi.
inline double degreesToRadians(double degrees) {
    return degrees * (1.0 / 180.0) * 3.141592653589793;
}

}  // namespace kestro::test
