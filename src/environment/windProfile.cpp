#include "environment/windProfile.h"

#include <cmath>

#include "run/runContext.h"
#include "settings/lineInput.h"
#include "settings/settingsSyntax.h"

namespace kestro {

namespace {

bool isFieldSeparator(char c) {
    return c == ',' || c == ';' || c == ' ' || c == '\t';
}

// Splits a line at ",; \t" and stores its first four fields; missing fields are 0.
WindProfileRow parseWindProfileLine(const char* line) {
    double fields[4] = {0.0, 0.0, 0.0, 0.0};
    int fieldCount = 0;
    const char* c = line;
    while (*c != '\0' && fieldCount < 4) {
        while (*c != '\0' && isFieldSeparator(*c)) ++c;
        if (*c == '\0') break;
        const char* fieldStart = c;
        while (*c != '\0' && !isFieldSeparator(*c)) ++c;
        fields[fieldCount++] = readNumber(fieldStart, c);
    }
    return WindProfileRow{fields[0], fields[1], fields[2], fields[3]};
}

}  // namespace

void loadWindProfile(RunContext& run) {
    ScenarioParameters& scenario = run.scenario;
    WindProfile& profile = run.windProfile;
    int n = 0;
    TextInput input;
    // The path comes from a scenario file, perhaps someone else's: only a regular file is read.
    if (openRegularTextInput(input, scenario.atmfile)) {
        while (!textInputFinished(input) && n < windProfileCapacity) {
            if (readSettingsLine(run.lineBuffer.text, lineBufferCapacity, input) == 0) continue;
            profile.rows[n++] = parseWindProfileLine(run.lineBuffer.text);
        }
        closeTextInput(input);
    }
    if (n <= 1) {
        scenario.wdata = false;
        if (n == 1) {
            scenario.wazi = profile.rows[0].azimuth;
            scenario.wvel = profile.rows[0].speed;
        }
    }
    profile.count = n;
}

bool windProfileIsFinite(const RunContext& run) {
    const WindProfile& profile = run.windProfile;
    for (int i = 0; i < profile.count; ++i) {
        const WindProfileRow& row = profile.rows[i];
        if (!std::isfinite(row.altitude) || !std::isfinite(row.azimuth) ||
            !std::isfinite(row.speed)) {
            return false;
        }
    }
    return true;
}

void resetWindCursor(RunContext& run) {
    run.windProfile.cursor = run.windProfile.count - 1;
}

WindAtAltitude windAtAltitude(RunContext& run, double h) {
    WindProfile& profile = run.windProfile;
    const WindProfileRow* rows = profile.rows;
    const int last = profile.count - 1;
    int c = profile.cursor;
    while (c < last && h > rows[c].altitude) ++c;
    while (c > 0 && h < rows[c].altitude) --c;
    profile.cursor = c;

    WindAtAltitude wind{rows[c].azimuth, rows[c].speed};
    if (run.precision.hpwnd && c < last && !(c == 0 && h < rows[0].altitude)) {
        const double span = rows[c + 1].altitude - rows[c].altitude;
        // Two rows of equal altitude with h on them: the first row's values, no division.
        if (span != 0.0) {
            const double f = (h - rows[c].altitude) / span;
            wind.azimuth = rows[c].azimuth + (rows[c + 1].azimuth - rows[c].azimuth) * f;
            wind.speed = rows[c].speed + (rows[c + 1].speed - rows[c].speed) * f;
        }
    }
    return wind;
}

}  // namespace kestro
