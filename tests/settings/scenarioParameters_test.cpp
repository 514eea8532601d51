// The scenario parameter file: the line loop's rules as a reader sees them, the unit
// conversions, and the judgement whether a scenario can be flown.
#include "settings/scenarioParameters.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>

#include "run/runContext.h"
#include "support/doubleCheck.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::sameDouble;

using test::freshRun;
using test::readScenarioText;

// Every field, bit for bit.
void expectSameScenario(const ScenarioParameters& a, const ScenarioParameters& b) {
    EXPECT_TRUE(sameDouble(a.lat, b.lat));
    EXPECT_TRUE(sameDouble(a.lon, b.lon));
    EXPECT_TRUE(sameDouble(a.cw, b.cw));
    EXPECT_EQ(a.cwx, b.cwx);
    EXPECT_STREQ(a.atmfile, b.atmfile);
    EXPECT_EQ(a.wdata, b.wdata);
    EXPECT_TRUE(sameDouble(a.wazi, b.wazi));
    EXPECT_TRUE(sameDouble(a.wvel, b.wvel));
    EXPECT_TRUE(sameDouble(a.tnn, b.tnn));
    EXPECT_STREQ(a.oform, b.oform);
    EXPECT_TRUE(sameDouble(a.mass, b.mass));
    EXPECT_TRUE(sameDouble(a.loss, b.loss));
    EXPECT_TRUE(sameDouble(a.inc, b.inc));
    EXPECT_TRUE(sameDouble(a.azi, b.azi));
    EXPECT_TRUE(sameDouble(a.vel, b.vel));
    EXPECT_TRUE(sameDouble(a.alt, b.alt));
    EXPECT_TRUE(sameDouble(a.dia, b.dia));
    EXPECT_EQ(a.stopflag, b.stopflag);
    EXPECT_TRUE(sameDouble(a.stopval, b.stopval));
}

void expectDefaults(const ScenarioParameters& s) {
    const ScenarioParameters defaults{};
    expectSameScenario(s, defaults);
    // The defaults themselves, as the run control fixes them.
    EXPECT_TRUE(sameDouble(defaults.cw, 0.7));
    EXPECT_TRUE(defaults.cwx);
    EXPECT_TRUE(sameDouble(defaults.tnn, 15.0));
    EXPECT_TRUE(sameDouble(defaults.mass, 0.0));
    EXPECT_FALSE(defaults.wdata);
    EXPECT_STREQ(defaults.atmfile, "");
    EXPECT_EQ(defaults.stopflag, 0);
}

const char* const fullScenario =
    "lat=48.5\nlon=-11.25\ncw=1.1\ncwx=false\natmfile=wind profile.txt\nwdata=true\n"
    "wazi=270\nwvel=12.5\ntnn=-20\ntgrad=0.01\noform=PdVaMxC\nmass=2.5\nloss=35\ninc=45\n"
    "azi=123.5\nvel=3000\nalt=20000\ndia=9\nstopflag=3\nstopval=15\n";

TEST(ScenarioParameters, EveryKeywordFillsItsFieldInTheModelsUnit) {
    auto run = freshRun();
    EXPECT_TRUE(readScenarioText(*run, fullScenario));
    const ScenarioParameters& s = run->scenario;
    // Angles: Python, 48.5 * (1/180) * pi and -11.25 * (1/180) * pi (-pi/16).
    EXPECT_TRUE(sameDouble(s.lat, 0x1.b16670e05364ap-1));
    EXPECT_TRUE(sameDouble(s.lon, -0x1.921fb54442d18p-3));
    EXPECT_TRUE(sameDouble(s.cw, 1.1));
    EXPECT_FALSE(s.cwx);
    EXPECT_STREQ(s.atmfile, "wind profile.txt");
    EXPECT_TRUE(s.wdata);
    EXPECT_TRUE(sameDouble(s.wazi, 270));
    EXPECT_TRUE(sameDouble(s.wvel, 12.5));
    EXPECT_TRUE(sameDouble(s.tnn, -20));
    EXPECT_STREQ(s.oform, "pdvamxc");
    EXPECT_TRUE(sameDouble(s.mass, 2.5));
    EXPECT_TRUE(sameDouble(s.loss, 0x1.6666666666667p-2))
        << "Python: 35*0.01 = 0.35000000000000003";
    EXPECT_TRUE(sameDouble(s.inc, 45));
    EXPECT_TRUE(sameDouble(s.azi, 123.5));
    EXPECT_TRUE(sameDouble(s.vel, 3000));
    EXPECT_TRUE(sameDouble(s.alt, 20000));
    EXPECT_TRUE(sameDouble(s.dia, 0x1.26e978d4fdf3cp-7))
        << "Python: 9*0.001 = 0.009000000000000001";
    EXPECT_EQ(s.stopflag, 3);
    EXPECT_TRUE(sameDouble(s.stopval, 15));
}

TEST(ScenarioParameters, UnitConversions) {
    // Expected values from Python evaluating the written order (value * (1/180) * pi,
    // value * 0.01, value * 0.001); a division by 180, 100 or 1000 gives another last bit
    // in the rows marked so.
    struct Case {
        const char* line;
        double ScenarioParameters::*field;
        double want;
        const char* why;
    };
    const Case cases[] = {
        {"lat=90", &ScenarioParameters::lat, std::numbers::pi / 2, "90 degrees is pi/2 exactly"},
        {"lat=-45", &ScenarioParameters::lat, -std::numbers::pi / 4,
         "-45 degrees is -pi/4 exactly"},
        {"lat=180", &ScenarioParameters::lat, std::numbers::pi, "180 degrees is pi"},
        {"lat=23", &ScenarioParameters::lat, 0x1.9b0f58956c203p-2, "23*pi/180 is 2 ulps lower"},
        {"lon=30", &ScenarioParameters::lon, 0x1.0c152382d7366p-1, "pi/6 would be 1 ulp lower"},
        {"lon=-0", &ScenarioParameters::lon, -0.0, "negative zero stays negative"},
        {"lat=100", &ScenarioParameters::lat, 0x1.becde5da115a9p+0, "beyond 90 is kept"},
        {"dia=500", &ScenarioParameters::dia, 0.5, "mm to m"},
        {"dia=1", &ScenarioParameters::dia, 0.001, "1 mm"},
        {"dia=13", &ScenarioParameters::dia, 0x1.a9fbe76c8b43ap-7, "13/1000 is 1 ulp lower"},
        {"loss=5", &ScenarioParameters::loss, 0.05, "percent to fraction"},
        {"loss=100", &ScenarioParameters::loss, 1.0, "not limited when read"},
        {"loss=250", &ScenarioParameters::loss, 2.5, "not limited when read"},
        {"loss=-5", &ScenarioParameters::loss, -0.05, "not limited when read"},
        {"loss=70", &ScenarioParameters::loss, 0x1.6666666666667p-1, "70/100 is 1 ulp lower"},
        {"cw=", &ScenarioParameters::cw, 0.0, "an empty value is 0, replacing the default"},
        {"tnn=abc", &ScenarioParameters::tnn, 0.0, "no number is 0, replacing the default"},
        {"vel=-5", &ScenarioParameters::vel, -5, "negative speed kept"},
        {"alt=-10", &ScenarioParameters::alt, -10, "negative altitude kept"},
        {"wazi=725", &ScenarioParameters::wazi, 725, "degrees not reduced"},
        {"inc=91.5", &ScenarioParameters::inc, 91.5, "degrees, not converted"},
        {"azi=-30", &ScenarioParameters::azi, -30, "degrees, not converted"},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        readScenarioText(*run, c.line);
        EXPECT_TRUE(sameDouble(run->scenario.*c.field, c.want)) << c.line << ": " << c.why;
    }
}

TEST(ScenarioParameters, StopflagIsAWholeNumber) {
    struct Case {
        const char* line;
        std::int32_t want;
    };
    const Case cases[] = {
        {"stopflag=2.9", 2}, {"stopflag=abc", 0},
        {"stopflag=", 0},    {"stopflag= 3", 3},
        {"stopflag=-7", -7}, {"stopflag=4294967298", 2147483647},  // not wrapped into 2
        {"stopflag=2e1", 2},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        readScenarioText(*run, c.line);
        EXPECT_EQ(run->scenario.stopflag, c.want) << c.line;
    }
}

TEST(ScenarioParameters, TextValues) {
    struct Case {
        const char* text;
        const char* atmfile;
        const char* oform;
        const char* why;
    };
    const Case cases[] = {
        {"atmfile= wind.txt", " wind.txt", "", "the blank after = is part of the path"},
        {"atmfile=wind.txt \t", "wind.txt \t", "", "trailing blanks kept"},
        {"atmfile=a=b", "a=b", "", "a second = belongs to the value"},
        {"atmfile=C:\\WIND.TXT", "C:\\WIND.TXT", "", "the path keeps its letter case"},
        {"oform=PdVxM c!=", "", "pdvxm c!=", "letters lowered, other characters kept"},
        {"oform=\xC4\xD6x", "", "\xC4\xD6x", "bytes beyond ASCII unchanged"},
        {"oform=AX\noform=", "", "", "the last line decides, even when empty"},
        {"atmfile=a\r\n", "a", "", "the CR of a CR LF line end is not part of the text"},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        readScenarioText(*run, c.text);
        EXPECT_STREQ(run->scenario.atmfile, c.atmfile) << c.why;
        EXPECT_STREQ(run->scenario.oform, c.oform) << c.why;
    }

    // The longest value a line can carry, 991 characters after "atmfile=", fits whole.
    auto run = freshRun();
    const std::string path(991, 'p');
    readScenarioText(*run, "atmfile=" + path + "\n");
    EXPECT_EQ(std::string(run->scenario.atmfile), path);
}

TEST(ScenarioParameters, LineSyntaxAsTheReaderSeesIt) {
    struct Case {
        std::string text;
        double wantMass;
        const char* why;
    };
    const Case cases[] = {
        {"mass=5", 5, "plain"},
        {"MASS=5", 5, "key in capitals"},
        {"mAsS=5", 5, "key in mixed case"},
        {"mass= 5", 5, "the number rule skips the value's leading blanks"},
        {"mass =5", 0, "a blank before = is part of the key"},
        {" mass=5", 0, "a blank before the key is part of it"},
        {"mass\t=5", 0, "a tab before = is part of the key"},
        {"mass", 0, "no = at all"},
        {"mass 5", 0, "no = at all"},
        {"=", 0, "= alone"},
        {"=mass=5", 0, "empty key; the text after the first = is the value"},
        {"mass=5=6", 5, "a number ends before a second ="},
        {"mass=1\nmass=2", 2, "the last line decides"},
        {"mass=2\nmass=", 0, "the last line decides, even when it gives 0"},
        {"mass=1\n\n\nmass=3\n\n", 3, "empty lines skipped"},
        {"mass=1\nmass=4", 4, "a last line without LF is applied"},
        {"mass=1\r\nmass=4\r\n", 4, "CR LF line ends"},
        {"mass=1\r2\r", 12, "a CR inside a value is dropped, and is no line end"},
        {"mass=4\x1a\nmass=9\n", 4, "nothing after Ctrl-Z counts"},
        {"mass=4\x1a"
         "9\n",
         4, "Ctrl-Z ends the value too"},
        {std::string("mass=5\0junk\n", 12), 5, "a NUL ends the line's text"},
        {std::string("\0mass=5\n", 8), 0, "a NUL first empties the line"},
        {std::string("mass=6\nmass=5\0\nmass=7", 21), 7, "the lines after a NUL are read"},
        {"mass:5\nmass==5", 0, "the value =5 holds no number"},
        {"[scenario]\nmass=5\n# mass=9", 5, "no section or comment syntax: such lines are ignored"},
        {"# comment\nmass=5\n;mass=9\n", 5, "unknown keys are ignored"},
        {"tmax=5\nhpdt=false\nlowprec=true\nmass=5", 5, "precision keys are ignored"},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        readScenarioText(*run, c.text);
        EXPECT_TRUE(sameDouble(run->scenario.mass, c.wantMass)) << c.why;
    }
}

TEST(ScenarioParameters, LineOf999And501CharactersIsTwoLines) {
    // The first piece ends the atmfile value at 999 characters; the second piece is a line of
    // its own that sets mass (the number stops before the x's).
    const std::string path(991, 'a');
    const std::string secondPiece = "mass=7" + std::string(495, 'x');
    ASSERT_EQ(("atmfile=" + path).size(), 999u);
    ASSERT_EQ(secondPiece.size(), 501u);
    auto run = freshRun();
    readScenarioText(*run, "atmfile=" + path + secondPiece + "\ndia=1\n");
    EXPECT_EQ(std::string(run->scenario.atmfile), path);
    EXPECT_TRUE(sameDouble(run->scenario.mass, 7));
    EXPECT_TRUE(sameDouble(run->scenario.dia, 0.001));
}

TEST(ScenarioParameters, CwAndCwxAreDistinct) {
    struct Case {
        const char* text;
        double cw;
        bool cwx;
    };
    const Case cases[] = {
        {"cw=1.3", 1.3, true},
        {"cwx=false", 0.7, false},
        {"cwx=true", 0.7, true},
        {"cwx=1.3", 0.7, false},  // not a boolean true, and no number for cw
        {"CW=2\nCWX=FALSE", 2, false},
        {"cwx=false\ncw=0.5\ncwx=TRUE", 0.5, true},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        readScenarioText(*run, c.text);
        EXPECT_TRUE(sameDouble(run->scenario.cw, c.cw)) << c.text;
        EXPECT_EQ(run->scenario.cwx, c.cwx) << c.text;
    }
}

TEST(ScenarioParameters, BooleanValues) {
    struct Case {
        const char* text;
        bool wdata;
    };
    const Case cases[] = {
        {"wdata=true", true},     {"wdata=TRUE", true},
        {"wdata=True\r\n", true}, {"wdata=1", false},
        {"wdata=yes", false},     {"wdata=on", false},
        {"wdata=", false},        {"wdata= true", false},
        {"wdata=true ", false},   {"wdata=true\nwdata=no", false},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        readScenarioText(*run, c.text);
        EXPECT_EQ(run->scenario.wdata, c.wdata) << c.text;
    }
}

TEST(ScenarioParameters, LineEndsAndEndOfTextGiveTheSameSettings) {
    std::string crlf;
    for (const char* c = fullScenario; *c != '\0'; ++c) {
        if (*c == '\n') crlf += '\r';
        crlf += *c;
    }
    std::string noFinalNewline = fullScenario;
    noFinalNewline.pop_back();
    const std::string variants[] = {
        crlf,
        noFinalNewline,
        std::string(fullScenario) +
            "\x1a"
            "mass=9\nlat=1\n",
        "\n\n" + std::string(fullScenario) + "\n\n",
    };
    auto reference = freshRun();
    ASSERT_TRUE(readScenarioText(*reference, fullScenario));
    for (const std::string& text : variants) {
        auto run = freshRun();
        EXPECT_TRUE(readScenarioText(*run, text));
        expectSameScenario(run->scenario, reference->scenario);
    }
}

TEST(ScenarioParameters, FilesWithoutScenarioLinesLeaveTheDefaults) {
    const std::string texts[] = {
        "",
        "\n\n\r\n",
        "\x1a"
        "mass=5\ndia=5\n",
        "tmax=600\nhpdt=false\nhperad=false\nhpwnd=false\nhpg=false\nlowprec=true\nhighprec=true\n",
        "tgrad=0.01\nTGRAD=abc\n",  // recognised, and takes no value
        "unknown=1\nmass 5\n=\n",
    };
    for (const std::string& text : texts) {
        auto run = freshRun();
        EXPECT_FALSE(readScenarioText(*run, text)) << "no mass, no diameter";
        expectDefaults(run->scenario);
        // Precision keys in this file leave the precision settings alone too.
        EXPECT_TRUE(run->precision.hpdt && run->precision.hperad && run->precision.hpwnd &&
                    run->precision.hpg);
        EXPECT_TRUE(sameDouble(run->precision.tmax, 0.0));
    }
}

TEST(ScenarioParameters, Validity) {
    struct Case {
        const char* text;
        bool valid;
        const char* why;
    };
    const Case cases[] = {
        {"mass=1\ndia=1", true, "positive mass and diameter"},
        {"", false, "neither"},
        {"mass=1", false, "no diameter"},
        {"dia=1", false, "no mass"},
        {"mass=0\ndia=1", false, "mass 0"},
        {"mass=-1\ndia=1", false, "negative mass"},
        {"mass=1\ndia=-1", false, "negative diameter"},
        {"mass=1\ndia=-0", false, "negative zero diameter"},
        {"mass=1e-400\ndia=1", false, "mass underflows to 0"},
        {"mass=5e-324\ndia=1e-300", true, "tiny but positive"},
        {"mass=nan\ndia=1", false, "no NaN spelling: mass 0"},
        {"mass=inf\ndia=1", false, "no infinity spelling: mass 0"},
        {"mass=0x10\ndia=1", false, "no hexadecimal: mass 0"},
        {"mass=1\ndia=1\nmass=0", false, "the last mass decides"},
        // Any number not finite after conversion.
        {"mass=1e999\ndia=1", false, "infinite mass"},
        {"mass=1\ndia=1e999", false, "infinite diameter"},
        {"mass=1\ndia=1\nlat=1e999", false, "infinite lat"},
        {"mass=1\ndia=1\nlat=1e309", false, "lat beyond the largest double"},
        {"mass=1\ndia=1\nlat=1e308", true, "lat 1e308 stays finite in radians"},
        {"mass=1\ndia=1\nlon=-1e999", false, "infinite lon"},
        {"mass=1\ndia=1\ncw=1e999", false, "infinite cw"},
        {"mass=1\ndia=1\nwazi=1e999", false, "infinite wazi"},
        {"mass=1\ndia=1\nwvel=-1e999", false, "infinite wvel"},
        {"mass=1\ndia=1\ntnn=1e999", false, "infinite tnn"},
        {"mass=1\ndia=1\nloss=-1e999", false, "infinite loss"},
        {"mass=1\ndia=1\ninc=1e999", false, "infinite inc"},
        {"mass=1\ndia=1\nazi=1e999", false, "infinite azi"},
        {"mass=1\ndia=1\nvel=1e999", false, "infinite vel"},
        {"mass=1\ndia=1\nalt=-1e999", false, "infinite alt"},
        {"mass=1\ndia=1\nstopval=-1e999", false, "infinite stopval"},
        {"mass=1\ndia=1\ntgrad=1e999", true, "tgrad takes no value"},
        {"mass=1\ndia=1\nstopflag=99999999999999", true, "stopflag is clamped, not judged"},
        {"mass=1\ndia=1\nlat=400\nvel=-5\nalt=-100\nstopflag=9", true, "ranges are not judged"},
        // The ablation coefficient -2 ln(1 - loss) / vel^2 must be finite.
        {"mass=1\ndia=1\nloss=5", false, "a loss without speed"},
        {"mass=1\ndia=1\nvel=0\nloss=5", false, "a loss without speed"},
        {"mass=1\ndia=1\nvel=0\nloss=200", false, "a loss limited to 0.9999, without speed"},
        {"mass=1\ndia=1\nvel=0\nloss=1e-320", false, "a subnormal loss still needs a speed"},
        {"mass=1\ndia=1\nvel=0\nloss=0", true, "no loss, no speed"},
        {"mass=1\ndia=1\nvel=0\nloss=-5", true, "a negative loss is limited to 0"},
        {"mass=1\ndia=1\nvel=1e-200\nloss=5", false, "vel^2 underflows to 0"},
        {"mass=1\ndia=1\nvel=1e-100\nloss=5", true, "vel^2 = 1e-200: coefficient ~1e199"},
        {"mass=1\ndia=1\nvel=-10\nloss=5", true, "the sign of the speed does not matter"},
        {"mass=1\ndia=1\nvel=10\nloss=100", true, "loss 100 percent is limited to 0.9999"},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        EXPECT_EQ(readScenarioText(*run, c.text), c.valid) << c.text << ": " << c.why;
    }
}

TEST(ScenarioParameters, AnInvalidScenarioKeepsWhatWasRead) {
    auto run = freshRun();
    EXPECT_FALSE(readScenarioText(*run, "mass=-1\ndia=500\nloss=120\nlat=90\noform=X\n"));
    EXPECT_TRUE(sameDouble(run->scenario.mass, -1));
    EXPECT_TRUE(sameDouble(run->scenario.dia, 0.5));
    EXPECT_TRUE(sameDouble(run->scenario.loss, 1.2)) << "not limited by the judgement";
    EXPECT_TRUE(sameDouble(run->scenario.lat, std::numbers::pi / 2));
    EXPECT_STREQ(run->scenario.oform, "x");
}

TEST(ScenarioParameters, ADirectoryReadsAsNothing) {
    // A read error ends the reading; nothing was applied, so the scenario is invalid.
    test::TempDir dir;
    auto run = freshRun();
    TextInput input;
    ASSERT_TRUE(openTextInput(input, dir.path().c_str()));
    EXPECT_FALSE(readScenarioParameters(*run, input));
    closeTextInput(input);
    expectDefaults(run->scenario);
}

}  // namespace
}  // namespace kestro
