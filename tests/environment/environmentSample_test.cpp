// The environment of one step: constant or profile wind, air density by altitude, wind vector.
//
// Expected values: Python floats evaluating the stated formulas in their stated order:
// 1.204 * (1 - (0.0065*h)/(tnn + 273.14)) ** 4.255, and for azimuth az and speed s with
// t = az * (1.0/180.0) * 3.141592653589793: (-s*cos(t), 0.0, -s*sin(t)).
#include "environment/environmentSample.h"

#include <gtest/gtest.h>

#include "support/doubleCheck.h"
#include "environment/windProfile.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::sameDouble;

void expectVector(const Vector3& got, const Vector3& want, const char* why) {
    EXPECT_TRUE(sameDouble(got.x, want.x, 0)) << why << " (x, north)";
    EXPECT_TRUE(sameDouble(got.y, want.y, 0)) << why << " (y, up)";
    EXPECT_TRUE(sameDouble(got.z, want.z, 0)) << why << " (z, east)";
}

TEST(AirDensity, FallsWithAltitudeFromTheSameSeaLevelValue) {
    struct Case {
        double tnn, h, want, tol;
        const char* why;
    };
    const Case cases[] = {
        {15, 0, 1.204, 0, "sea level is 1.204 whatever the temperature"},
        {40, 0, 1.204, 0, "sea level is 1.204 whatever the temperature"},
        {-50, 0, 1.204, 0, "sea level is 1.204 whatever the temperature"},
        {15, 1000, 1.092603964549517, 0,
         "Python; bc -l gives 1.09260396454951672 for 1.204*(1-6.5/288.14)^4.255"},
        {-50, 1000, 1.0616893738028597, 0, "Python: tnn is used as given, colder air thins faster"},
        {15, -1000, 1.3238829293263958, 0, "Python: below the ground the base is above 1"},
        {15, 44329, 3.9744924943760823e-23, 0, "Python: just below T/0.0065, still positive"},
        {15, (15 + 273.14) / 0.0065, 0.0, 0, "at T/0.0065 the base is exactly 0"},
        {15, 44400, 0.0, 0, "above T/0.0065 the base is negative"},
        {15, 1e6, 0.0, 0, "no layer above the troposphere: still 0"},
        {-273.14, 0, 0.0, 0, "T = 0: no air at any altitude"},
        {-273.14, 1000, 0.0, 0, "T = 0: no air at any altitude"},
        {-273.14, -1000, 0.0, 0, "T = 0: no air, also below the ground"},
    };
    for (const Case& c : cases) {
        auto run = test::freshRun();
        run->scenario.tnn = c.tnn;
        sampleEnvironment(*run, c.h);
        EXPECT_TRUE(sameDouble(run->environment.airDensity, c.want, c.tol))
            << c.why << " (tnn " << c.tnn << ", h " << c.h << ")";
    }
}

TEST(WindVector, BlowsFromTheAzimuthWithNoVerticalPart) {
    struct Case {
        double azimuth, speed;
        Vector3 want;
        const char* why;
    };
    const Case cases[] = {
        {0, 10, {-10.0, 0.0, -0.0}, "from the north: blows south (-x)"},
        {90, 10, {-6.123233995736766e-16, 0.0, -10.0}, "from the east: blows west (-z)"},
        {180, 10, {10.0, 0.0, -1.2246467991473533e-15}, "from the south: blows north (+x)"},
        {270, 10, {1.8369701987210296e-15, 0.0, 10.0}, "from the west: blows east (+z)"},
        {-90, 10, {-6.123233995736766e-16, 0.0, 10.0}, "-90 acts as 270 (to rounding)"},
        {270, -10, {-1.8369701987210296e-15, 0.0, -10.0}, "a negative speed reverses it"},
        {200, 7.5, {7.047694655894313, 0.0, 2.565151074942515}, "Python"},
        {45, 0, {-0.0, 0.0, -0.0}, "no speed: a zero vector"},
    };
    for (const Case& c : cases) {
        auto run = test::freshRun();
        run->scenario.wazi = c.azimuth;
        run->scenario.wvel = c.speed;
        sampleEnvironment(*run, 1000);
        EXPECT_TRUE(sameDouble(run->environment.windAzimuth, c.azimuth, 0)) << c.why;
        EXPECT_TRUE(sameDouble(run->environment.windSpeed, c.speed, 0)) << c.why;
        expectVector(run->environment.windVector, c.want, c.why);
    }
}

TEST(SampleEnvironment, ConstantWindIsTheSameAtEveryAltitude) {
    auto run = test::freshRun();
    run->scenario.wazi = 200;
    run->scenario.wvel = 7.5;
    for (const double h : {-50.0, 0.0, 1000.0, 60000.0, 0.0}) {
        sampleEnvironment(*run, h);
        EXPECT_EQ(run->environment.windAzimuth, 200);
        EXPECT_EQ(run->environment.windSpeed, 7.5);
        expectVector(run->environment.windVector, {7.047694655894313, 0.0, 2.565151074942515},
                     "Python: azimuth 200, speed 7.5");
    }
}

// With a profile the wind changes from step to step: each sample's vector belongs to the wind
// of its own altitude, also when the body comes back to an altitude it has seen.
TEST(SampleEnvironment, ProfileWindVectorFollowsTheAltitude) {
    auto run = test::freshRun();
    WindProfile& profile = run->windProfile;
    profile.rows[0] = {0, 270, 5, 0};
    profile.rows[1] = {1000, 280, 10, 0};
    profile.rows[2] = {2000, 300, 20, 0};
    profile.count = 3;
    run->scenario.wdata = true;
    run->scenario.wazi = 90;  // not used while the profile is on
    run->scenario.wvel = 50;
    resetWindCursor(*run);

    struct Step {
        double h, azimuth, speed;
        Vector3 wind;
    };
    // Wind by hand (linear between rows); vectors from Python.
    const Step low{500, 275, 7.5, {-0.6536680706074408, 0.0, 7.471460235688091}};
    const Step middle{1500, 290, 15, {-5.1303021498850345, 0.0, 14.095389311788624}};
    const Step top{2500, 300, 20, {-10.000000000000002, 0.0, 17.32050807568877}};
    for (const Step& step : {low, middle, low, top, top, middle}) {
        sampleEnvironment(*run, step.h);
        EXPECT_TRUE(sameDouble(run->environment.windAzimuth, step.azimuth, 0)) << step.h;
        EXPECT_TRUE(sameDouble(run->environment.windSpeed, step.speed, 0)) << step.h;
        expectVector(run->environment.windVector, step.wind, "profile wind");
    }
}

}  // namespace
}  // namespace kestro
