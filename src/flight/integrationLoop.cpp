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

void runIntegrationLoop(RunContext& run, TrackTable& trackTable, const OutputFormat& format) {
    IntegrationLoop& loop = run.loop;
    FlightState& flight = run.flight;
    const double timeStep = loop.timeStep;

    while (flight.time < loop.timeLimit) {
        // Wind, density and gravity are those of the altitude before the ground clamp.
        const double altitude = flight.position.y;
        sampleEnvironment(run, altitude);
        evaluateDrag(run);
        updateGravity(run, altitude);
        flight.force.y = flight.force.y - flight.currentMass * run.environment.gravity;
        if (flight.currentMass != 0.0) {
            flight.acceleration.x = flight.force.x / flight.currentMass;
            flight.acceleration.y = flight.force.y / flight.currentMass;
            flight.acceleration.z = flight.force.z / flight.currentMass;
        }
        if (flight.position.y < 0.0) flight.position.y = 0.0;

        switch (loop.stopMode) {
            case 2:
                loop.stopReached = flight.time >= loop.stopValue;
                break;
            case 3:
                loop.stopReached = flight.relativeSpeed <= loop.stopValue;
                break;
            default:
                loop.stopReached = flight.position.y <= loop.stopValue;
                break;
        }
        if (flight.currentMass <= 0.0) loop.stopReached = true;

        const bool onGround = flight.position.y == 0.0;
        if (loop.sinceLastRow >= loop.rowInterval || loop.stopReached || onGround ||
            flight.time == 0.0) {
            writeTrackRow(run, trackTable, format);
            loop.sinceLastRow = 0.0;
        }
        if (onGround || loop.stopReached) break;

        // Explicit Euler: the position moves with the velocity from before this update.
        flight.position.x = flight.position.x + flight.velocity.x * timeStep;
        flight.position.y = flight.position.y + flight.velocity.y * timeStep;
        flight.position.z = flight.position.z + flight.velocity.z * timeStep;
        flight.velocity.x = flight.velocity.x + flight.acceleration.x * timeStep;
        flight.velocity.y = flight.velocity.y + flight.acceleration.y * timeStep;
        flight.velocity.z = flight.velocity.z + flight.acceleration.z * timeStep;
        updateMass(run, timeStep);
        const double previousTime = flight.time;
        flight.time = flight.time + timeStep;
        loop.sinceLastRow = loop.sinceLastRow + timeStep;
        // Past about 9e12 s a time step no longer changes the sum: the limit could never be
        // reached, so the run ends here as at the time limit instead of looping forever.
        if (flight.time == previousTime) break;
    }
}

}  // namespace kestro
