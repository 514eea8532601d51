#include "flight/flightState.h"

#include <cmath>

#include "run/runContext.h"

namespace kestro {

namespace {
constexpr double pi = 3.141592653589793;
}

void setUpFlightState(RunContext& run) {
    const ScenarioParameters& scenario = run.scenario;
    FlightState& flight = run.flight;
    flight.position = Vector3{0.0, scenario.alt, 0.0};
    // Degrees to radians: by 1/180 first, then by pi.
    const double inclination = scenario.inc * (1.0 / 180.0) * pi;
    const double azimuth = scenario.azi * (1.0 / 180.0) * pi;
    flight.velocity.y = -scenario.vel * std::sin(inclination);
    const double horizontal = scenario.vel * std::cos(inclination);
    flight.velocity.x = -horizontal * std::cos(azimuth);
    flight.velocity.z = -horizontal * std::sin(azimuth);
}

}  // namespace kestro
