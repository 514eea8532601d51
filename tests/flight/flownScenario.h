// Runs a whole scenario through the program's run sequence in a temporary folder and hands back
// the track rows, the summary line and the run context in its final state.
#pragma once

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "run/runContext.h"
#include "run/runSequence.h"
#include "support/testSupport.h"

namespace kestro::test {

// Columns of a track row with the letters "xam": tab layout, wind and air, mass and drag.
enum TrackColumn { colTime, colAltitude, colWindAzimuth, colWindSpeed, colDensity, colMass, colCw };
// Fields of the summary line.
enum SummaryField { sumTime = 1, sumAltitude = 2, sumMass = 11, sumInitialMass = 14 };

struct FlownScenario {
    int status = -1;
    std::string trackText;
    std::string summaryText;
    std::vector<std::vector<std::string>> rows;  // track rows below the header, split at tabs
    std::vector<std::string> summary;            // summary line split at tabs
};

inline std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

// Runs `scenario` (the oform line is added) with "Kestro.ini" holding `precision` (no such file
// when empty) on `run`, which the run sequence resets to its defaults first.
inline FlownScenario flyScenario(RunContext& run, const std::string& scenario,
                                 const std::string& precision = "") {
    TempDir dir;
    const std::string scenarioPath = dir.file("fall.txt");
    const std::string trackPath = dir.file("track.txt");
    const std::string precisionPath = dir.file("Kestro.ini");
    writeFile(scenarioPath, scenario + "\noform=xam\n");
    if (!precision.empty()) writeFile(precisionPath, precision);
    const InProcessRun result = runInProcess(run, scenarioPath, trackPath, precisionPath);
    FlownScenario flown;
    flown.status = result.status;
    flown.summaryText = result.summary;
    flown.trackText = result.trackTable;
    const std::vector<std::string> lines = splitAt(flown.trackText, '\n');
    for (std::size_t i = 1; i < lines.size(); ++i) flown.rows.push_back(splitAt(lines[i], '\t'));
    std::string summaryLine = flown.summaryText;
    if (!summaryLine.empty() && summaryLine.back() == '\n') summaryLine.pop_back();
    flown.summary = splitAt(summaryLine, '\t');
    return flown;
}

}  // namespace kestro::test
