// "Kestro.ini": the four precision switches, lowprec/highprec after the whole file, and tmax.
#include "settings/precisionSettings.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>

#include "flight/integrationLoop.h"
#include "run/runContext.h"
#include "support/doubleCheck.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::sameDouble;

using test::freshRun;
using test::readPrecisionText;

struct Switches {
    bool hpwnd, hpg, hperad, hpdt;
    bool operator==(const Switches&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Switches& s) {
    return out << "hpwnd " << s.hpwnd << " hpg " << s.hpg << " hperad " << s.hperad << " hpdt "
               << s.hpdt;
}

Switches switchesAfter(const std::string& text) {
    auto run = freshRun();
    readPrecisionText(*run, text);
    const PrecisionSettings& p = run->precision;
    return {p.hpwnd, p.hpg, p.hperad, p.hpdt};
}

constexpr Switches allOn{true, true, true, true};
constexpr Switches allOff{false, false, false, false};

TEST(PrecisionSettings, SwitchesLowprecAndHighprec) {
    struct Case {
        const char* text;
        Switches want;
        const char* why;
    };
    const Case cases[] = {
        {"", allOn, "empty file: defaults"},
        {"\n\r\n\n", allOn, "empty lines only"},
        {"lowprec=true", allOff, "lowprec alone"},
        {"LOWPREC=TRUE\r\n", allOff, "key and value in capitals, CR LF"},
        {"lowprec=true\nhighprec=true", allOn, "both: highprec wins"},
        {"highprec=true\nlowprec=true", allOn, "both, other order: highprec still wins"},
        {"lowprec=true\nhpwnd=true", allOff, "lowprec acts after the file"},
        {"hpwnd=true\nlowprec=true", allOff, "lowprec acts after the file"},
        {"highprec=true\nhpdt=false", allOn, "highprec acts after the file"},
        {"hpdt=false\nhighprec=true\nlowprec=true\nhpg=false", allOn, "highprec last of all"},
        {"lowprec=true\nlowprec=false", allOn, "the last lowprec line decides"},
        {"lowprec=false\nlowprec=true", allOff, "the last lowprec line decides"},
        {"highprec=true\nhighprec=no\nlowprec=true", allOff, "the last highprec line decides"},
        {"lowprec= true", allOn, "a blank makes the value false"},
        {"lowprec=1", allOn, "only the word true is true"},
        {"hpwnd=false", {false, true, true, true}, "one switch"},
        {"hpg=false", {true, false, true, true}, "one switch"},
        {"hpg=0", {true, false, true, true}, "0 is false"},
        {"hpg=no", {true, false, true, true}, "no is false"},
        {"hpg=", {true, false, true, true}, "the empty value is false"},
        {"hpg=false\nhpg=TRUE", allOn, "TRUE switches back on; the last line decides"},
        {"hperad=off", {true, true, false, true}, "one switch"},
        {"HpDt=False", {true, true, true, false}, "one switch, mixed case"},
        {"hpdt =false\nhpdt\t=false\n hpdt=false", allOn, "blanks around the key: ignored"},
        {"hpwnd=false\nhpg=false\nhperad=false\nhpdt=false\nlowprec=false", allOff, "each off"},
        {"hpdt=false\x1a\nhpg=false\n", {true, true, true, false}, "nothing after Ctrl-Z"},
        {"mass=5\nlat=10\ncw=3\nwdata=true\nhpdt=false",
         {true, true, true, false},
         "scenario keys ignored"},
    };
    for (const Case& c : cases) EXPECT_EQ(switchesAfter(c.text), c.want) << c.text << ": " << c.why;
}

TEST(PrecisionSettings, TmaxIsStoredAsRead) {
    const double inf = __builtin_inf();
    struct Case {
        const char* text;
        double want;
    };
    const Case cases[] = {
        {"tmax=600", 600},
        {"tmax=-5", -5},
        {"tmax=abc", 0},
        {"tmax=", 0},
        {"tmax=1e999", inf},
        {"tmax=0.5s", 0.5},
        {"tmax=7\nlowprec=true", 7},
        {"tmax=7\nhighprec=true", 7},
        {"tmax=7\ntmax=8", 8},
        {"TMAX=9", 9},
        {"tmax=1e-400", 0},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        readPrecisionText(*run, c.text);
        EXPECT_TRUE(sameDouble(run->precision.tmax, c.want)) << c.text;
    }
}

TEST(PrecisionSettings, TimeStepAndTimeLimitFollowTheFile) {
    struct Case {
        const char* text;
        double timeStep, timeLimit;
        const char* why;
    };
    const Case cases[] = {
        {"", 0.001, 1800, "no settings: fine step, 1800 s"},
        {"lowprec=true", 0.01, 1800, "coarse step"},
        {"hpdt=false", 0.01, 1800, "coarse step"},
        {"lowprec=true\nhighprec=true", 0.001, 1800, "fine step again"},
        {"tmax=600", 0.001, 600, "a limit"},
        {"tmax=0.0005", 0.001, 0.0005, "a limit below one step"},
        {"tmax=0", 0.001, 1800, "0 stands for 1800 s"},
        {"tmax=-5", 0.001, 1800, "negative stands for 1800 s"},
        {"tmax=abc", 0.001, 1800, "no number stands for 1800 s"},
        {"tmax=1e999", 0.001, 1800, "infinity stands for 1800 s"},
        {"tmax=-1e999", 0.001, 1800, "-infinity stands for 1800 s"},
        {"tmax=nan", 0.001, 1800, "no NaN spelling: 0"},
        {"tmax=1e300", 0.001, 1e300, "huge but finite"},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        readPrecisionText(*run, c.text);
        setUpTimeStepAndLimit(*run);
        EXPECT_TRUE(sameDouble(run->loop.timeStep, c.timeStep)) << c.text << ": " << c.why;
        EXPECT_TRUE(sameDouble(run->loop.timeLimit, c.timeLimit)) << c.text << ": " << c.why;
    }
}

TEST(PrecisionSettings, ScenarioKeysChangeNoScenarioField) {
    auto run = freshRun();
    readPrecisionText(*run,
                      "mass=5\ndia=10\nlat=10\ncw=3\ncwx=false\ntnn=-40\noform=x\natmfile=a\n"
                      "stopflag=2\n");
    const ScenarioParameters& s = run->scenario;
    EXPECT_TRUE(sameDouble(s.mass, 0));
    EXPECT_TRUE(sameDouble(s.dia, 0));
    EXPECT_TRUE(sameDouble(s.lat, 0));
    EXPECT_TRUE(sameDouble(s.cw, 0.7));
    EXPECT_TRUE(s.cwx);
    EXPECT_TRUE(sameDouble(s.tnn, 15));
    EXPECT_STREQ(s.oform, "");
    EXPECT_STREQ(s.atmfile, "");
    EXPECT_EQ(s.stopflag, 0);
    EXPECT_EQ(switchesAfter("mass=5\ndia=10\nlat=10"), allOn);
}

TEST(PrecisionSettings, ADirectoryLeavesTheDefaults) {
    test::TempDir dir;
    auto run = freshRun();
    TextInput input;
    ASSERT_TRUE(openTextInput(input, dir.path().c_str()));
    readPrecisionSettings(*run, input);  // must return: a read error ends the loop
    closeTextInput(input);
    const PrecisionSettings& p = run->precision;
    EXPECT_TRUE(p.hpwnd && p.hpg && p.hperad && p.hpdt);
    EXPECT_TRUE(sameDouble(p.tmax, 0));
}

}  // namespace
}  // namespace kestro
