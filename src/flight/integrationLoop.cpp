#include "flight/integrationLoop.h"

#include <cmath>

#include "environment/earthAndGravity.h"
#include "environment/environmentSample.h"
#include "flight/bodyModel.h"
#include "output/trackRow.h"
#include "run/runContext.h"

namespace kestro {

void setUpTimeStepAndLimit(RunContext& run) {
    IntegrationLoop& loop = run.loop;
    const double tmax = run.precision.tmax;
    loop.timeStep = run.precision.hpdt ? fineTimeStep : coarseTimeStep;
    loop.timeLimit = (tmax > 0.0 && std::isfinite(tmax)) ? tmax : defaultTimeLimit;
    loop.rowInterval = trackRowInterval;
}

void setUpStopCondition(RunContext& run) {
    IntegrationLoop& loop = run.loop;
    const int stopflag = run.scenario.stopflag;
    loop.stopMode = (stopflag >= 1 && stopflag <= 3) ? stopflag : 1;
    loop.stopValue = run.scenario.stopval;
}

// Out of line and marked hot: inlined into a main that calls it once, the loop would be compiled
// as code that runs once (every square root a library call, for one).
[[gnu::hot, gnu::noinline]] void runIntegrationLoop(RunContext& run, TrackTable& trackTable,
                                                    const OutputFormat& format) {
    IntegrationLoop& loop = run.loop;
    FlightState& flight = run.flight;
    const double timeStep = loop.timeStep;
    const double timeLimit = loop.timeLimit;
    // What carries over from one step to the next lives in locals, so that the next step reads
    // it from registers and not back from the record it was just stored into. The record is
    // written at the start of every step, before the step's operations read it.
    Vector3 position = flight.position;
    Vector3 velocity = flight.velocity;
    double time = flight.time;
    double sinceLastRow = loop.sinceLastRow;

    while (time < timeLimit) {
        flight.position = position;
        flight.velocity = velocity;
        flight.time = time;
        // Wind, density and gravity are those of the altitude before the ground clamp.
        const double altitude = position.y;
        sampleEnvironment(run, altitude);
        evaluateDrag(run);
        updateGravity(run, altitude);
        flight.force.y = flight.force.y - flight.currentMass * run.environment.gravity;
        if (flight.currentMass != 0.0) {
            flight.acceleration.x = flight.force.x / flight.currentMass;
            flight.acceleration.y = flight.force.y / flight.currentMass;
            flight.acceleration.z = flight.force.z / flight.currentMass;
        }
        if (position.y < 0.0) {
            position.y = 0.0;
            flight.position.y = 0.0;
        }

        switch (loop.stopMode) {
            case 2: loop.stopReached = time >= loop.stopValue; break;
            case 3: loop.stopReached = flight.relativeSpeed <= loop.stopValue; break;
            default: loop.stopReached = position.y <= loop.stopValue; break;
        }
        if (flight.currentMass <= 0.0) loop.stopReached = true;

        const bool onGround = position.y == 0.0;
        if (sinceLastRow >= loop.rowInterval || loop.stopReached || onGround || time == 0.0) {
            writeTrackRow(run, trackTable, format);
            sinceLastRow = 0.0;
        }
        if (onGround || loop.stopReached) break;

        // Explicit Euler: the position moves with the velocity from before this update.
        position.x = position.x + velocity.x * timeStep;
        position.y = position.y + velocity.y * timeStep;
        position.z = position.z + velocity.z * timeStep;
        velocity.x = velocity.x + flight.acceleration.x * timeStep;
        velocity.y = velocity.y + flight.acceleration.y * timeStep;
        velocity.z = velocity.z + flight.acceleration.z * timeStep;
        updateMass(run, timeStep);
        const double previousTime = time;
        time = time + timeStep;
        sinceLastRow = sinceLastRow + timeStep;
        // Past about 9e12 s a time step no longer changes the sum: the limit could never be
        // reached, so the run ends here as at the time limit instead of looping forever.
        if (time == previousTime) break;
    }
    // The state the loop ends in, for the summary line.
    flight.position = position;
    flight.velocity = velocity;
    flight.time = time;
    loop.sinceLastRow = sinceLastRow;
}

}  // namespace kestro
