// The environment at the body's altitude, sampled at the start of every step: wind, air
// density, wind vector; the record also carries the earth values set up once per run.
#pragma once

#include "environment/earthAndGravity.h"
#include "flight/vector3.h"

namespace kestro {

struct RunContext;

constexpr double seaLevelAirDensity = 1.204;     // kg/m^3, the model's value, not 1.225
constexpr double temperatureLapseRate = 0.0065;  // K/m, fixed; the key tgrad does not change it
constexpr double celsiusToKelvin = 273.14;       // the model's offset, not 273.15
constexpr double densityExponent = 4.255;

struct EnvironmentSample {
    double windAzimuth = 0.0;                 // degrees, direction the wind comes from
    double windSpeed = 0.0;                   // m/s
    Vector3 windVector{};                     // m/s, north/up/east; no vertical part
    double airDensity = 0.0;                  // kg/m^3
    double gravity = defaultGravity;          // m/s^2, at the altitude of the step
    double seaLevelGravity = defaultGravity;  // m/s^2, fixed at set-up
    double earthRadius = meanEarthRadius;     // m, fixed at set-up
};

// Wind (profile or constant), then air density, then wind vector at altitude h (m).
void sampleEnvironment(RunContext& run, double h);

// Air density (kg/m^3) at altitude h for a sea-level temperature tnn (degrees Celsius); 0 where
// the temperature model reaches absolute zero, and 0 everywhere when tnn is -273.14.
double airDensityAt(double tnn, double h);

// The wind vector (m/s, north/up/east) of a wind that comes from `azimuth` (degrees) at `speed`.
Vector3 windVectorOf(double azimuth, double speed);

}  // namespace kestro
