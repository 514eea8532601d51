// Earth radius of the ellipsoid, sea-level gravity of the launch latitude and gravity at altitude.
//
// Expected values: Python floats (IEEE doubles, the same libm) evaluating each formula in the
// order the model states it, e.g. a*b / sqrt((a*sin(p))*(a*sin(p)) + (b*cos(p))*(b*cos(p))) and
// g0*R/(R+h); the round values (a, b, 9.808) follow by hand.
#include "environment/earthAndGravity.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/doubleCheck.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::degreesToRadians;
using test::sameDouble;

TEST(EllipsoidEarthRadius, MatchesTheMeridianEllipse) {
    struct Case {
        double latitudeDegrees, want;
        const char* why;
    };
    const Case cases[] = {
        {0, 6378137.0, "equator: a*b/sqrt(b*b) is a, every step exact"},
        {90, 6356752.0, "north pole: b, cos(pi/2) ~ 6e-17 vanishes in the sum"},
        {-90, 6356752.0, "south pole: the same as the north pole"},
        {30, 6372770.521980498, "Python"},
        {-30, 6372770.521980498, "Python: -30 gives the same bits as +30"},
        {45, 6367417.567051895, "Python"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(
            sameDouble(ellipsoidEarthRadius(degreesToRadians(c.latitudeDegrees)), c.want, 0))
            << c.why;
    }
}

// setUpEarthAndGravity: radius with hperad, sea-level gravity with hpg, gravity 9.808 either way.
TEST(SetUpEarthAndGravity, FollowsTheTwoSwitches) {
    struct Case {
        bool hperad, hpg;
        double latitudeDegrees, wantRadius, wantSeaLevelGravity;
        const char* why;
    };
    const Case cases[] = {
        {false, false, 30, 6371000.0, 9.808, "both off: the fixed values whatever the latitude"},
        {true, false, 30, 6372770.521980498, 9.808, "radius only"},
        {false, true, 0, 6371000.0, 9.780000000000001, "Python: 9.832 - 0.052*(1*1)"},
        {true, true, 30, 6372770.521980498, 9.793000000000001, "Python: cos(30 deg)^2 = 3/4"},
        {true, true, -30, 6372770.521980498, 9.793000000000001, "-30 as +30"},
        {true, true, 90, 6356752.0, 9.832, "Python: the cos^2 term vanishes at the pole"},
    };
    for (const Case& c : cases) {
        auto run = test::freshRun();
        run->precision.hperad = c.hperad;
        run->precision.hpg = c.hpg;
        run->scenario.lat = degreesToRadians(c.latitudeDegrees);
        setUpEarthAndGravity(*run);
        EXPECT_TRUE(sameDouble(run->environment.earthRadius, c.wantRadius, 0)) << c.why;
        EXPECT_TRUE(sameDouble(run->environment.seaLevelGravity, c.wantSeaLevelGravity, 0))
            << c.why;
        EXPECT_TRUE(sameDouble(run->environment.gravity, 9.808, 0))
            << c.why << ": gravity starts at 9.808 whatever the switches";
    }
}

TEST(UpdateGravity, ScalesWithTheFirstPowerOfTheRadiusRatio) {
    struct Case {
        bool hperad, hpg;
        double latitudeDegrees, h, want;
        const char* why;
    };
    const Case cases[] = {
        {false, false, 30, 10000, 9.808, "hpg off: 9.808 at any altitude"},
        {true, false, 0, 1e6, 9.808, "hpg off: the radius changes nothing"},
        {false, true, 0, 0, 9.780000000000001, "altitude 0: exactly the sea-level gravity"},
        {true, true, 30, 0, 9.793000000000001, "altitude 0: exactly the sea-level gravity"},
        {false, true, 0, 10000, 9.7646732487071,
         "Python: 9.78*6371000/6381000; the squared ratio would give 9.74937051677056"},
        {true, true, 0, 10000, 9.76469037216954, "Python: the same with R = 6378137"},
        {true, true, 30, 10000, 9.777657132876271, "Python"},
        {true, true, -30, 10000, 9.777657132876271, "Python: -30 as +30"},
        {false, true, 0, -1000, 9.781535321821037, "Python: below the ground gravity grows"},
        {true, true, 0, 1e6, 8.454462130480907, "Python; squared it would be 7.308581790975025"},
    };
    for (const Case& c : cases) {
        auto run = test::freshRun();
        run->precision.hperad = c.hperad;
        run->precision.hpg = c.hpg;
        run->scenario.lat = degreesToRadians(c.latitudeDegrees);
        setUpEarthAndGravity(*run);
        updateGravity(*run, c.h);
        EXPECT_TRUE(sameDouble(run->environment.gravity, c.want, 0)) << c.why << " at h=" << c.h;
    }
}

TEST(UpdateGravity, AtMinusTheEarthRadiusKeepsThePreviousValue) {
    for (const bool hperad : {false, true}) {
        auto run = test::freshRun();
        run->precision.hperad = hperad;
        run->scenario.lat = degreesToRadians(30);
        setUpEarthAndGravity(*run);
        updateGravity(*run, 10000);
        const double before = run->environment.gravity;
        updateGravity(*run, -run->environment.earthRadius);
        EXPECT_TRUE(sameDouble(run->environment.gravity, before, 0))
            << "the divisor is 0 there; hperad " << hperad;
        EXPECT_TRUE(std::isfinite(run->environment.gravity));
    }
}

}  // namespace
}  // namespace kestro
