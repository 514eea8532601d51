// The wind profile: wind azimuth and speed by altitude from a table file, looked up every step
// through a cursor that persists between steps, so a step costs a few comparisons.
#pragma once

namespace kestro {

struct RunContext;

constexpr int windProfileCapacity = 5000;  // rows; reading stops once this many are stored

struct WindProfileRow {
    double altitude = 0.0;  // m, same scale as the flight altitude
    double azimuth = 0.0;   // degrees, where the wind comes from
    double speed = 0.0;     // m/s
    double extra = 0.0;     // the line's fourth number; kept, never used
};

struct WindProfile {
    WindProfileRow rows[windProfileCapacity];
    int count = 0;   // rows loaded, 0 to 5000
    int cursor = 0;  // row found by the last search; kept between steps
};

struct WindAtAltitude {
    double azimuth;  // degrees
    double speed;    // m/s
};

// Loads the file named by `atmfile`. With 0 or 1 rows the profile is switched off (`wdata`
// false); a single row becomes the constant wind (`wazi`, `wvel`).
void loadWindProfile(RunContext& run);

// True when every loaded row's altitude, azimuth and speed is finite. A profile that is not
// (a number such as 1e999 in the file) would fill the track table with INF and NAN.
bool windProfileIsFinite(const RunContext& run);

// Puts the cursor on the last row (on -1 when nothing was loaded).
void resetWindCursor(RunContext& run);

// Wind at altitude h (m), moving the cursor up then down to the last row at or below h;
// interpolated between that row and the next when `hpwnd` is on. Needs count >= 1.
WindAtAltitude windAtAltitude(RunContext& run, double h);

}  // namespace kestro
