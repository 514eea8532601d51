// Whole flights against textbook physics rather than against the model's own formulas: a fall
// without drag takes sqrt(2h/g), a light body settles at its terminal speed, and a long fall
// carries the body along with the wind.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "flight/flownScenario.h"

namespace kestro {
namespace {

using test::flyScenario;
using test::freshRun;

constexpr double g = 9.808;  // m/s^2, the model's constant gravity with hpg off
constexpr double pi = 3.141592653589793;

double speedOf(const Vector3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// From 100 m, t = sqrt(2h/g) = 4.5156 s and v = sqrt(2gh) = 44.29 m/s. Explicit Euler moves the
// position with the old velocity, which lands at most about 1.5 time steps late.
TEST(PhysicsSanity, FreeFallTimeAndSpeedWithoutDrag) {
    struct Case {
        const char* why;
        std::string body, precision;
        double timeStep;
    };
    const Case cases[] = {
        {"no drag coefficient, fine step", "mass=1\ndia=100\ncwx=false\ncw=0", "hpg=false\n",
         0.001},
        {"no drag coefficient, coarse step", "mass=1\ndia=100\ncwx=false\ncw=0",
         "hpg=false\nhpdt=false\n", 0.01},
        {"1000 kg in 10 mm: drag a millionth of the weight", "mass=1000\ndia=10", "hpg=false\n",
         0.001},
    };
    const double h = 100;
    const double fallTime = std::sqrt(2 * h / g);
    const double impactSpeed = std::sqrt(2 * g * h);
    for (const Case& c : cases) {
        auto run = freshRun();
        flyScenario(*run, c.body + "\nalt=100", c.precision);
        EXPECT_NEAR(run->flight.time, fallTime, 2 * c.timeStep) << c.why;
        EXPECT_NEAR(-run->flight.velocity.y, impactSpeed, 2 * c.timeStep * g + 1e-3) << c.why;
        EXPECT_EQ(run->flight.position.y, 0.0) << c.why;
    }
}

// 1 kg, 100 mm, fixed drag coefficient 0.5, from 3000 m down to 500 m (about six time constants
// of v/g): drag balances the weight at v = sqrt(2mg/(rho A C)), about 65 m/s. The sea-level
// temperature of 10000 degrees Celsius keeps the air of the column within 0.7 % of one density,
// so the terminal speed hardly moves while the body approaches it (in a real atmosphere the
// thickening air keeps a falling body about 1 % above the local terminal speed).
TEST(PhysicsSanity, LongFallInStillAirReachesTheTerminalSpeed) {
    auto run = freshRun();
    flyScenario(*run,
                "mass=1\ndia=100\ncwx=false\ncw=0.5\nalt=3000\nstopflag=1\nstopval=500\n"
                "tnn=10000",
                "hpg=false\n");
    const double area = pi * 0.05 * 0.05;
    const double rho = run->environment.airDensity;  // of the last step's altitude
    ASSERT_GT(rho, 1.0);
    const double terminal = std::sqrt(2 * 1.0 * g / (rho * area * 0.5));
    EXPECT_NEAR(speedOf(run->flight.velocity), terminal, 0.002 * terminal);
    EXPECT_NEAR(run->flight.acceleration.y, 0.0, 0.01 * g) << "drag and weight nearly cancel";
}

// The same stone in a 10 m/s wind from the west, from 6000 m down to 500 m: its horizontal
// velocity becomes the wind's, 10 m/s toward the east (+z), with nothing left toward the north.
TEST(PhysicsSanity, LongFallDriftsWithTheWind) {
    auto run = freshRun();
    flyScenario(*run,
                "mass=1\ndia=100\ncwx=false\ncw=0.5\nalt=6000\nstopflag=1\nstopval=500\n"
                "wazi=270\nwvel=10",
                "hpg=false\n");
    EXPECT_NEAR(run->flight.velocity.z, 10.0, 0.01);
    EXPECT_NEAR(run->flight.velocity.x, 0.0, 0.01);
    EXPECT_GT(run->flight.position.z, 0.0) << "carried east";
}

}  // namespace
}  // namespace kestro
