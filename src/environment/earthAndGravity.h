// Earth radius and gravity: fixed at set-up from the launch latitude, gravity then follows the
// altitude in every step.
#pragma once

namespace kestro {

struct RunContext;

constexpr double meanEarthRadius = 6371000.0;     // m, used when hperad is off
constexpr double equatorialSemiAxis = 6378137.0;  // m, a
constexpr double polarSemiAxis = 6356752.0;       // m, b
constexpr double defaultGravity = 9.808;          // m/s^2, the model's value, not 9.80665
constexpr double polarSeaLevelGravity = 9.832;    // m/s^2
constexpr double gravityLatitudeTerm = 0.052;     // m/s^2, equator is 9.832 - 0.052

// Distance from the centre to the meridian ellipse at latitude `latitude` (rad), in m.
double ellipsoidEarthRadius(double latitude);

// Sets earthRadius (hperad), seaLevelGravity (hpg) for the launch latitude, and gravity to 9.808.
void setUpEarthAndGravity(RunContext& run);

// With hpg on: gravity = seaLevelGravity * earthRadius / (earthRadius + h), the ratio to the
// first power. At h = -earthRadius the divisor is 0 and gravity keeps its previous value.
void updateGravity(RunContext& run, double h);

}  // namespace kestro
