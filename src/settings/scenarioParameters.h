// The scenario parameter file: one simulated fall, converted to the units the model uses.
#pragma once

#include <cstdint>

#include "settings/lineInput.h"

namespace kestro {

struct RunContext;

// Capacity of the two text fields, NUL included; a settings line's value always fits.
constexpr int scenarioTextCapacity = 1000;

struct ScenarioParameters {
    double lat = 0.0;                         // rad (degrees in the file), launch latitude
    double lon = 0.0;                         // rad (degrees in the file), launch longitude
    double cw = 0.7;                          // fixed drag coefficient, used when cwx is false
    bool cwx = true;                          // Mach-dependent drag coefficient
    char atmfile[scenarioTextCapacity] = {};  // path of the wind profile file
    bool wdata = false;                       // use the wind profile instead of wazi/wvel
    double wazi = 0.0;                        // degrees, azimuth the constant wind comes from
    double wvel = 0.0;                        // m/s, speed of the constant wind
    double tnn = 15.0;                        // degrees Celsius, sea-level air temperature
    char oform[scenarioTextCapacity] = {};    // track table letters, lower case
    double mass = 0.0;                        // kg, initial mass
    double loss = 0.0;          // fraction (percent in the file); clamped to 0..0.9999 at set-up
    double inc = 0.0;           // degrees below the horizontal, initial path
    double azi = 0.0;           // degrees from north through east, where the body comes from
    double vel = 0.0;           // m/s, initial speed
    double alt = 0.0;           // m, initial altitude above the ground
    double dia = 0.0;           // m (mm in the file), initial diameter
    std::int32_t stopflag = 0;  // stop mode: 1 altitude, 2 time, 3 air speed; others act as 1
    double stopval = 0.0;       // threshold in the unit of the stop mode
};

// Reads the scenario from an open input to its end into run.scenario and judges it. True when
// the scenario can be flown: diameter and mass above 0, every number finite, and an ablation
// coefficient that is finite (a loss above 0 needs a speed whose square is not 0).
bool readScenarioParameters(RunContext& run, TextInput& input);

}  // namespace kestro
