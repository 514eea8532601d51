// The fixed-step explicit Euler loop: environment, drag, gravity, weight, acceleration, ground
// clamp, stop test, track row, update; until the ground, a stop condition or the time limit.
#pragma once

namespace kestro {

struct RunContext;
struct TrackTable;
struct OutputFormat;

constexpr double fineTimeStep = 0.001;       // s, with hpdt on
constexpr double coarseTimeStep = 0.01;      // s, with hpdt off
constexpr double defaultTimeLimit = 1800.0;  // s, when tmax is not above 0
constexpr double trackRowInterval = 1.0;     // s of simulated time between rows

// Values the loop keeps for the length of the run, fixed at set-up.
struct IntegrationLoop {
    double timeStep = 0.0;      // s
    double timeLimit = 0.0;     // s
    double rowInterval = 0.0;   // s
    double sinceLastRow = 0.0;  // s, running sum of time steps since the last row
    int stopMode = 1;           // 1 altitude <= stopValue, 2 time >= stopValue, 3 air speed <= it
    double stopValue = 0.0;     // m, s or m/s by stopMode
    bool stopReached = false;   // a stop condition holds in the current step
};

// timeStep from hpdt; timeLimit from tmax (1800 s when not above 0 or not finite); rowInterval.
void setUpTimeStepAndLimit(RunContext& run);
// stopMode from stopflag (1 unless it is 1, 2 or 3) and stopValue from stopval.
void setUpStopCondition(RunContext& run);

// Runs the loop from the set-up state to one of its endings, writing the track rows.
void runIntegrationLoop(RunContext& run, TrackTable& trackTable, const OutputFormat& format);

}  // namespace kestro
