#include "run/runSequence.h"

#include <algorithm>
#include <iterator>

#include "environment/earthAndGravity.h"
#include "environment/windProfile.h"
#include "flight/bodyModel.h"
#include "flight/flightState.h"
#include "flight/integrationLoop.h"
#include "output/outputFormat.h"
#include "output/runSummary.h"
#include "output/trackRow.h"
#include "run/runContext.h"
#include "settings/precisionSettings.h"
#include "settings/scenarioParameters.h"
#include "settings/settingsSyntax.h"

namespace kestro {

namespace {

// Identities of the files the run reads, so that the track table never empties one of them.
struct RunInputs {
    FileIdentity precisionSettings;
    FileIdentity scenario;
    FileIdentity windProfile;
};

bool trackTableWouldDestroyAnInput(const char* trackTablePath, const RunInputs& inputs) {
    // A path that does not exist yet cannot name an input.
    const FileIdentity trackTable = identityOfPath(trackTablePath);
    if (!trackTable.known) return false;
    return sameFile(trackTable, inputs.precisionSettings) ||
           sameFile(trackTable, inputs.scenario) || sameFile(trackTable, inputs.windProfile);
}

}  // namespace

void applyRunDefaults(RunContext& run) {
    run.precision = PrecisionSettings{};    // all switches on, tmax 0
    run.scenario = ScenarioParameters{};    // cw 0.7, cwx true, tnn 15, the rest 0, false, empty
    run.environment = EnvironmentSample{};  // 9.808 m/s^2 and 6371000 m
    // A context may serve several runs: nothing of an earlier run may leak into this one.
    std::fill(std::begin(run.windProfile.rows), std::end(run.windProfile.rows), WindProfileRow{});
    run.windProfile.count = 0;
    run.windProfile.cursor = 0;
    run.body = BodyModel{};
    run.flight = FlightState{};
    run.outputFormat = OutputFormat{};
    run.loop = IntegrationLoop{};
    run.stepCache = StepCache{};
}

void setUpRun(RunContext& run, TrackTable& trackTable) {
    setUpEarthAndGravity(run);  // earth radius, then sea-level gravity; one call does both
    setUpTimeStepAndLimit(run);
    setUpBody(run);
    setUpFlightState(run);
    resetWindCursor(run);
    writeTrackHeader(run, trackTable, run.outputFormat);
    setUpStopCondition(run);
    run.flight.time = 0.0;
    run.loop.sinceLastRow = 0.0;
}

int runProgram(RunContext& run, int argc, const char* const* argv, std::FILE* summaryOut,
               const char* precisionSettingsPath) {
    applyRunDefaults(run);
    if (argc < 4 || !equalsIgnoringCase(argv[1], "RUN")) return exitUsage;
    const char* scenarioPath = argv[2];
    const char* trackTablePath = argv[3];
    RunInputs inputs;

    TextInput settings;
    // Only a regular file counts: a link to a device in a folder someone handed over would
    // otherwise never end or wait for input; anything else leaves the defaults, like no file.
    if (openRegularTextInput(settings, precisionSettingsPath)) {
        inputs.precisionSettings = settings.identity;
        readPrecisionSettings(run, settings);
        closeTextInput(settings);
    }

    TextInput scenarioInput;
    if (!openTextInput(scenarioInput, scenarioPath)) return exitScenarioUnopenable;
    // Read before the track table is opened (nothing a user sees changes), so that the wind
    // profile path is known when the track table's identity is checked.
    inputs.scenario = scenarioInput.identity;
    const bool scenarioValid = readScenarioParameters(run, scenarioInput);
    closeTextInput(scenarioInput);
    if (run.scenario.wdata) inputs.windProfile = identityOfPath(run.scenario.atmfile);

    if (trackTableWouldDestroyAnInput(trackTablePath, inputs)) return exitTrackTableUnopenable;
    TrackTable trackTable;
    if (!openTrackTable(trackTable, trackTablePath)) return exitTrackTableUnopenable;
    bool accepted = scenarioValid;
    if (accepted && run.scenario.wdata) {
        loadWindProfile(run);
        // Judged like the scenario's own numbers: an overflowing wind would corrupt every row.
        accepted = windProfileIsFinite(run);
    }
    if (!accepted) {
        // The track table stays behind, empty.
        return closeTrackTable(trackTable) ? exitScenarioInvalid : exitWriteFailed;
    }

    run.outputFormat = outputFormatFromLetters(run.scenario.oform);
    setUpRun(run, trackTable);
    runIntegrationLoop(run, trackTable, run.outputFormat);

    switch (printRunSummary(run, trackTable, summaryOut)) {
        case SummaryResult::printed: return exitCompleted;
        case SummaryResult::resultNotFinite: return exitResultNotFinite;
        case SummaryResult::trackTableIncomplete:
        case SummaryResult::summaryNotWritten: return exitWriteFailed;
    }
    return exitWriteFailed;
}

}  // namespace kestro
