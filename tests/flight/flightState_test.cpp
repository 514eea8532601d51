// The start state: position at the start altitude, velocity from speed, inclination and azimuth
// in the north-up-east frame.
//
// Expected velocities: Python floats with i = inc*(1.0/180.0)*pi, a = azi*(1.0/180.0)*pi,
// pi = 3.141592653589793: (-(vel*cos(i))*cos(a), -vel*sin(i), -(vel*cos(i))*sin(a)).
#include "flight/flightState.h"

#include <gtest/gtest.h>

#include "support/doubleCheck.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::sameDouble;

TEST(SetUpFlightState, VelocityPointsAwayFromTheAzimuthAndDownForPositiveInclination) {
    struct Case {
        double vel, inc, azi;
        Vector3 want;
        const char* why;
    };
    const Case cases[] = {
        {100, 0, 0, {-100.0, -0.0, -0.0}, "from the north, level: flies south"},
        {100, 0, 90, {-6.123233995736766e-15, -0.0, -100.0}, "from the east: flies west"},
        {100, -30, 0, {-86.60254037844386, 50.0, -0.0}, "negative inclination climbs at vel/2"},
        {100, 90, 0, {-6.123233995736766e-15, -100.0, -0.0}, "vertical fall, tiny x"},
        {100,
         90,
         90,
         {-3.7493994566546442e-31, -100.0, -6.123233995736766e-15},
         "vertical fall, tiny x and z"},
        {100,
         45,
         200,
         {66.44630243886748, -70.71067811865474, 24.18447626479752},
         "from 200: moves toward 20, north and east, descending"},
        {-100,
         45,
         200,
         {-66.44630243886748, 70.71067811865474, -24.18447626479752},
         "a negative speed reverses the whole vector"},
        {100,
         30,
         -90,
         {-5.302876193624534e-15, -50.0, 86.60254037844386},
         "azimuth -90 acts as 270: flies east"},
        {0, 30, 45, {-0.0, -0.0, -0.0}, "at rest"},
    };
    for (const Case& c : cases) {
        auto run = test::freshRun();
        run->scenario.vel = c.vel;
        run->scenario.inc = c.inc;
        run->scenario.azi = c.azi;
        run->scenario.alt = 1234.5;
        setUpFlightState(*run);
        const FlightState& flight = run->flight;
        EXPECT_TRUE(sameDouble(flight.velocity.x, c.want.x, 0)) << c.why << " (x, north)";
        EXPECT_TRUE(sameDouble(flight.velocity.y, c.want.y, 0)) << c.why << " (y, up)";
        EXPECT_TRUE(sameDouble(flight.velocity.z, c.want.z, 0)) << c.why << " (z, east)";
        EXPECT_TRUE(sameDouble(flight.position.x, 0.0, 0)) << c.why;
        EXPECT_TRUE(sameDouble(flight.position.y, 1234.5, 0)) << c.why;
        EXPECT_TRUE(sameDouble(flight.position.z, 0.0, 0)) << c.why;
    }
}

}  // namespace
}  // namespace kestro
