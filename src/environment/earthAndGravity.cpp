#include "environment/earthAndGravity.h"

#include <cmath>

#include "run/runContext.h"

namespace kestro {

double ellipsoidEarthRadius(double latitude) {
    // a * b = 40544235131024 is exact in a double, so the numerator carries no rounding.
    const double aSin = equatorialSemiAxis * std::sin(latitude);
    const double bCos = polarSemiAxis * std::cos(latitude);
    return equatorialSemiAxis * polarSemiAxis / std::sqrt(aSin * aSin + bCos * bCos);
}

void setUpEarthAndGravity(RunContext& run) {
    EnvironmentSample& environment = run.environment;
    const double lat = run.scenario.lat;
    if (run.precision.hperad) environment.earthRadius = ellipsoidEarthRadius(lat);
    if (run.precision.hpg) {
        const double cosLat = std::cos(lat);
        environment.seaLevelGravity =
            polarSeaLevelGravity - gravityLatitudeTerm * (cosLat * cosLat);
    }
    environment.gravity = defaultGravity;
}

}  // namespace kestro

namespace kestro {

void updateGravity(RunContext& run, double h) {
    if (!run.precision.hpg) return;
    EnvironmentSample& environment = run.environment;
    const double divisor = environment.earthRadius + h;
    if (divisor == 0.0) return;
    environment.gravity = environment.seaLevelGravity * environment.earthRadius / divisor;
}

}  // namespace kestro
