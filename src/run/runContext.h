// Every record of one run, by value. A run context is all the state a simulation has: the
// program makes exactly one, a test or a tool running many simulations makes a fresh one per run.
#pragma once

#include <cstdint>

#include "environment/environmentSample.h"
#include "environment/windProfile.h"
#include "flight/bodyModel.h"
#include "flight/flightState.h"
#include "flight/integrationLoop.h"
#include "output/outputFormat.h"
#include "output/trackRow.h"
#include "settings/lineInput.h"
#include "settings/precisionSettings.h"
#include "settings/scenarioParameters.h"

namespace kestro {

// Values derived in a step that depend only on inputs that rarely change; reused while those
// inputs keep their exact bits, which gives the same doubles as computing them afresh.
struct StepCache {
    bool windVectorValid = false;
    std::uint64_t windAzimuthBits = 0;  // of the windAzimuth the wind vector was built from
    std::uint64_t windSpeedBits = 0;    // of the windSpeed the wind vector was built from
    bool massValid = false;
    std::uint64_t massBits = 0;     // of the currentMass that volume and crossSection belong to
    std::uint64_t densityBits = 0;  // of the bodyDensity they were computed with
};

struct RunContext {
    PrecisionSettings precision;
    ScenarioParameters scenario;
    WindProfile windProfile;  // fixed 5000 rows
    EnvironmentSample environment;
    BodyModel body;
    FlightState flight;
    OutputFormat outputFormat;  // from the scenario's oform letters
    IntegrationLoop loop;
    StepCache stepCache;
    LineBuffer lineBuffer;  // input lines
    RowBuffer rowBuffer;    // track rows and the summary line
};

}  // namespace kestro
