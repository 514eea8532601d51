// The precision settings of "Kestro.ini": four switches of the model and the time limit.
#pragma once

#include "settings/lineInput.h"

namespace kestro {

struct RunContext;

struct PrecisionSettings {
    bool hpwnd = true;   // interpolate the wind profile between rows
    bool hpg = true;     // gravity follows the launch latitude and the altitude
    bool hperad = true;  // earth radius of the ellipsoid at the launch latitude
    bool hpdt = true;    // time step 0.001 s (0.01 s when off)
    double tmax = 0.0;   // s, time limit; not above 0 (or not finite) stands for 1800 s
};

// Reads "Kestro.ini" from an open input to its end into run.precision. "lowprec" and "highprec"
// act after the whole file has been read, "highprec" last.
void readPrecisionSettings(RunContext& run, TextInput& input);

}  // namespace kestro
