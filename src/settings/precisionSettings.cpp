#include "settings/precisionSettings.h"

#include "run/runContext.h"
#include "settings/settingsSyntax.h"

namespace kestro {

namespace {

void setAllSwitches(PrecisionSettings& precision, bool on) {
    precision.hpwnd = on;
    precision.hpg = on;
    precision.hperad = on;
    precision.hpdt = on;
}

}  // namespace

void readPrecisionSettings(RunContext& run, TextInput& input) {
    PrecisionSettings& precision = run.precision;
    bool highprec = false;
    bool lowprec = false;
    runSettingsLineLoop(run.lineBuffer, input, [&](int keyword, const char* value) {
        switch (keyword) {
            case kwHpdt: precision.hpdt = isTrueValue(value); break;
            case kwHperad: precision.hperad = isTrueValue(value); break;
            case kwHpwnd: precision.hpwnd = isTrueValue(value); break;
            case kwHpg: precision.hpg = isTrueValue(value); break;
            case kwHighprec: highprec = isTrueValue(value); break;
            case kwLowprec: lowprec = isTrueValue(value); break;
            case kwTmax: precision.tmax = readNumber(value); break;
            default: break;  // scenario keywords and unknown keys
        }
    });
    if (lowprec) setAllSwitches(precision, false);
    if (highprec) setAllSwitches(precision, true);
}

}  // namespace kestro
