#include "environment/environmentSample.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "environment/windProfile.h"
#include "run/runContext.h"

namespace kestro {

namespace {
constexpr double pi = 3.141592653589793;
}

double airDensityAt(double tnn, double h) {
    const double temperature = tnn + celsiusToKelvin;
    if (temperature == 0.0) return 0.0;
    const double base = 1.0 - (temperatureLapseRate * h) / temperature;
    if (base > 0.0) return seaLevelAirDensity * std::pow(base, densityExponent);
    return 0.0;
}

Vector3 windVectorOf(double azimuth, double speed) {
    // Degrees to radians: by 1/180 first, then by pi.
    const double theta = azimuth * (1.0 / 180.0) * pi;
    return Vector3{-speed * std::cos(theta), 0.0, -speed * std::sin(theta)};
}

void sampleEnvironment(RunContext& run, double h) {
    EnvironmentSample& environment = run.environment;
    const ScenarioParameters& scenario = run.scenario;
    if (scenario.wdata) {
        const WindAtAltitude wind = windAtAltitude(run, h);
        environment.windAzimuth = wind.azimuth;
        environment.windSpeed = wind.speed;
    } else {
        environment.windAzimuth = scenario.wazi;
        environment.windSpeed = scenario.wvel;
    }
    environment.airDensity = airDensityAt(scenario.tnn, h);
    // The wind vector depends on nothing else: while azimuth and speed keep their exact bits
    // (the sign of zero included), the vector of the previous step is the same double.
    StepCache& cache = run.stepCache;
    const std::uint64_t azimuthBits = std::bit_cast<std::uint64_t>(environment.windAzimuth);
    const std::uint64_t speedBits = std::bit_cast<std::uint64_t>(environment.windSpeed);
    if (!cache.windVectorValid || azimuthBits != cache.windAzimuthBits ||
        speedBits != cache.windSpeedBits) {
        environment.windVector = windVectorOf(environment.windAzimuth, environment.windSpeed);
        cache.windAzimuthBits = azimuthBits;
        cache.windSpeedBits = speedBits;
        cache.windVectorValid = true;
    }
}

}  // namespace kestro
