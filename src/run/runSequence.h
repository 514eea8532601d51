// One run from the command line to the summary line: defaults, settings, scenario, track
// table, set-up, integration loop, summary. Nothing is printed on any failure path; the exit
// status tells which failure ended the run.
#pragma once

#include <cstdio>

namespace kestro {

struct RunContext;

// Exit statuses, after the conventional values of sysexits.h.
enum ExitStatus : int {
    exitCompleted = 0,            // the run completed and the summary line was printed
    exitUsage = 64,               // fewer than three arguments, or the first is not RUN
    exitScenarioInvalid = 65,     // no positive mass or diameter, a number not finite (scenario or
                                  // wind profile), a loss without a speed to spread it over
    exitScenarioUnopenable = 66,  // the scenario parameter file cannot be opened
    exitResultNotFinite = 70,     // the flight left the finite numbers (an overflow, a NAN):
                                  // no summary; the track table holds the rows written
    exitTrackTableUnopenable = 73,  // cannot be created, or names one of the run's input files
    exitWriteFailed = 74,           // the track table or the summary line was not fully written
};

constexpr const char* precisionSettingsFileName = "Kestro.ini";

// Puts every default in place: precision switches on, cw 0.7, cwx true, tnn 15, the earth
// and gravity values, everything else zero, false or empty.
void applyRunDefaults(RunContext& run);

// The set-up between an accepted scenario and the first step, in its fixed order, including
// the track table header.
void setUpRun(RunContext& run, struct TrackTable& trackTable);

// Runs the program on its command line (argv[0] is the program name) and returns the exit
// status. `precisionSettingsPath` is where "Kestro.ini" is looked for; the summary line goes to
// `summaryOut`.
int runProgram(RunContext& run, int argc, const char* const* argv, std::FILE* summaryOut,
               const char* precisionSettingsPath = precisionSettingsFileName);

}  // namespace kestro
