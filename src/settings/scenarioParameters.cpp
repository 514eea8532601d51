#include "settings/scenarioParameters.h"

#include <cmath>

#include "flight/bodyModel.h"
#include "run/runContext.h"
#include "settings/settingsSyntax.h"

namespace kestro {

namespace {

constexpr double pi = 3.141592653589793;
constexpr double percent = 0.01;      // loss: percent to fraction
constexpr double millimetre = 0.001;  // dia: mm to m

// Degrees to radians: multiply by 1/180 first, then by pi. The order fixes the last bit.
double degreesToRadians(double degrees) {
    return degrees * (1.0 / 180.0) * pi;
}

void lowercaseAscii(char* text) {
    for (char* c = text; *c != '\0'; ++c) {
        if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
    }
}

bool allNumbersFinite(const ScenarioParameters& s) {
    const double numbers[] = {s.lat,  s.lon, s.cw,  s.wazi, s.wvel, s.tnn, s.mass,
                              s.loss, s.inc, s.azi, s.vel,  s.alt,  s.dia, s.stopval};
    for (const double number : numbers) {
        if (!std::isfinite(number)) return false;
    }
    return true;
}

}  // namespace

bool readScenarioParameters(RunContext& run, TextInput& input) {
    ScenarioParameters& s = run.scenario;
    runSettingsLineLoop(run.lineBuffer, input, [&](int keyword, const char* value) {
        switch (keyword) {
            case kwLat: s.lat = degreesToRadians(readNumber(value)); break;
            case kwLon: s.lon = degreesToRadians(readNumber(value)); break;
            case kwCw: s.cw = readNumber(value); break;
            case kwCwx: s.cwx = isTrueValue(value); break;
            case kwAtmfile: copyTextValue(s.atmfile, scenarioTextCapacity, value); break;
            case kwWdata: s.wdata = isTrueValue(value); break;
            case kwWazi: s.wazi = readNumber(value); break;
            case kwWvel: s.wvel = readNumber(value); break;
            case kwTnn: s.tnn = readNumber(value); break;
            case kwTgrad: break;  // recognised; the lapse rate of the air model is fixed
            case kwOform:
                copyTextValue(s.oform, scenarioTextCapacity, value);
                lowercaseAscii(s.oform);
                break;
            case kwMass: s.mass = readNumber(value); break;
            case kwLoss: s.loss = readNumber(value) * percent; break;
            case kwInc: s.inc = readNumber(value); break;
            case kwAzi: s.azi = readNumber(value); break;
            case kwVel: s.vel = readNumber(value); break;
            case kwAlt: s.alt = readNumber(value); break;
            case kwDia: s.dia = readNumber(value) * millimetre; break;
            case kwStopflag: s.stopflag = readWholeNumber(value); break;
            case kwStopval: s.stopval = readNumber(value); break;
            default: break;  // precision keywords and unknown keys
        }
    });
    if (!(s.dia > 0.0 && s.mass > 0.0)) return false;
    // An overflowing number would otherwise fill the track table with INF and NAN.
    if (!allNumbersFinite(s)) return false;
    // A loss needs a speed to spread over: with vel 0 the ablation coefficient is infinite.
    return std::isfinite(ablationCoefficientFor(clampedLoss(s.loss), s.vel));
}

}  // namespace kestro
