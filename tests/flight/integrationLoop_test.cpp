// The integration loop through the whole run sequence: its three endings, the stop modes, the
// row cadence and the time limit.
//
// Bodies are 1 kg stones of 100 mm unless a case says otherwise. Times that depend on how the
// running sum of time steps rounds are worked out here by adding 0.001 the same number of times;
// everything else is read off the scenario by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/doubleCheck.h"
#include "flight/flownScenario.h"

namespace kestro {
namespace {

using namespace test;  // flyScenario, sameDouble, the column and field names

const std::string stone = "mass=1\ndia=100\n";

// `time` after `updates` time steps of 0.001 s.
double timeAfter(long updates) {
    double time = 0.0;
    for (long i = 0; i < updates; ++i) time = time + 0.001;
    return time;
}

std::string fixed2(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// Endings in the first step: one row at time 0.
TEST(IntegrationLoop, EndingsInTheFirstStep) {
    struct Case {
        const char* why;
        std::string scenario, precision, wantRowAltitude;
        double wantFinalTime;
        const char* wantSummaryAltitude;
    };
    const Case cases[] = {
        {"alt 0: on the ground at once", "alt=0\nvel=100\ninc=45", "", "0.00", 0.0, "0.00"},
        {"alt -10: clamped to the ground", "alt=-10\nvel=100\ninc=45", "", "0.00", 0.0, "0.00"},
        {"time stop 0 holds at time 0", "alt=1000\nstopflag=2\nstopval=0", "", "1000.00", 0.0,
         "1000.00"},
        {"air speed stop above the start speed",
         "alt=1000\nvel=100\ninc=90\nstopflag=3\nstopval=150", "", "1000.00", 0.0, "1000.00"},
        {"air speed stop: 100 m/s south in a 60 m/s wind from the north is 40 m/s through the air",
         "alt=1000\nvel=100\ninc=0\nazi=0\nwazi=0\nwvel=60\nstopflag=3\nstopval=50", "", "1000.00",
         0.0, "1000.00"},
        {"tmax below the time step: one update, whose state has no row",
         "alt=1000\nvel=100\ninc=90", "tmax=0.0005\n", "1000.00", 0.001, "999.90"},
    };
    for (const Case& c : cases) {
        auto run = freshRun();
        const FlownScenario flown = flyScenario(*run, stone + c.scenario, c.precision);
        ASSERT_EQ(flown.status, exitCompleted) << c.why;
        ASSERT_EQ(flown.rows.size(), 1u) << c.why << "\n" << flown.trackText;
        EXPECT_EQ(flown.rows[0][colTime], "0.00") << c.why;
        EXPECT_EQ(flown.rows[0][colAltitude], c.wantRowAltitude) << c.why;
        EXPECT_TRUE(sameDouble(run->flight.time, c.wantFinalTime, 0)) << c.why;
        ASSERT_GT(flown.summary.size(), static_cast<std::size_t>(sumInitialMass)) << c.why;
        EXPECT_EQ(flown.summary[sumTime], "0.00") << c.why;
        EXPECT_EQ(flown.summary[sumAltitude], c.wantSummaryAltitude) << c.why;
    }
}

TEST(IntegrationLoop, GroundClampLeavesAltitudeZeroAndTheRestAsFound) {
    auto run = freshRun();
    flyScenario(*run, stone + "alt=-10\nvel=100\ninc=45\nazi=200");
    EXPECT_TRUE(sameDouble(run->flight.position.y, 0.0, 0));
    EXPECT_TRUE(sameDouble(run->flight.position.x, 0.0, 0));
    // Python: the start velocity of vel 100, inc 45, azi 200.
    EXPECT_TRUE(sameDouble(run->flight.velocity.x, 66.44630243886748, 0));
    EXPECT_TRUE(sameDouble(run->flight.velocity.y, -70.71067811865474, 0));
}

TEST(IntegrationLoop, FallUnderOneSecondWritesTwoRows) {
    auto run = freshRun();
    const FlownScenario flown = flyScenario(*run, stone + "alt=1");
    ASSERT_EQ(flown.rows.size(), 2u) << flown.trackText;
    EXPECT_EQ(flown.rows[0][colTime], "0.00");
    EXPECT_EQ(flown.rows[0][colAltitude], "1.00");
    // sqrt(2 * 1 m / 9.8 m/s^2) = 0.45 s to the ground.
    EXPECT_NEAR(std::stod(flown.rows[1][colTime]), 0.45, 0.015);
    EXPECT_EQ(flown.rows[1][colAltitude], "0.00");
    // The summary reports the state of the ground row.
    EXPECT_EQ(flown.summary[sumTime], flown.rows[1][colTime]);
    EXPECT_EQ(flown.summary[sumAltitude], "0.00");
    EXPECT_EQ(flown.summary[sumMass], flown.rows[1][colMass]);
    EXPECT_TRUE(sameDouble(run->flight.position.y, 0.0, 0));
    EXPECT_TRUE(sameDouble(run->flight.currentMass, 1.0, 0)) << "no loss: the mass never changes";
    // The ground step samples the air and gravity at the negative altitude the last update
    // reached, before the clamp: denser than at sea level, and gravity above its sea-level value.
    EXPECT_GT(run->environment.airDensity, 1.204);
    EXPECT_GT(run->environment.gravity, run->environment.seaLevelGravity);
}

TEST(IntegrationLoop, TimeStopHoldsFirstInStep10001) {
    ASSERT_LT(timeAfter(10000), 10.0) << "10 000 steps of 0.001 sum to just below 10";
    ASSERT_GE(timeAfter(10001), 10.0);
    auto run = freshRun();
    const FlownScenario flown = flyScenario(*run, stone + "alt=100000\nstopflag=2\nstopval=10");
    // Rows in steps 0, 1000, ..., 10000 and the stop row of step 10001.
    ASSERT_EQ(flown.rows.size(), 12u);
    EXPECT_EQ(flown.rows[10][colTime], "10.00");
    EXPECT_EQ(flown.rows[11][colTime], "10.00");
    EXPECT_TRUE(sameDouble(run->flight.time, timeAfter(10001), 0));
    EXPECT_EQ(flown.summary[sumAltitude], flown.rows[11][colAltitude]);
}

// Stop mode 1 at 1000 m; any stopflag outside 1 to 3 must give exactly the same flight.
TEST(IntegrationLoop, AltitudeStopAndTheFlagsThatActAsIt) {
    const std::string scenario = stone + "alt=2000\nstopval=1000\nstopflag=";
    auto reference = freshRun();
    const FlownScenario flown = flyScenario(*reference, scenario + "1");
    const FlightState& end = reference->flight;
    EXPECT_LE(end.position.y, 1000.0);
    EXPECT_GT(end.position.y - end.velocity.y * 0.001, 1000.0)
        << "the state before the last update was still above 1000 m";
    EXPECT_EQ(flown.rows.back()[colAltitude], fixed2(end.position.y));
    EXPECT_EQ(flown.rows.back()[colTime], fixed2(end.time));

    for (const char* flag : {"7", "0", "-1", "4"}) {
        auto run = freshRun();
        const FlownScenario other = flyScenario(*run, scenario + flag);
        EXPECT_TRUE(sameDouble(run->flight.time, end.time, 0)) << "stopflag " << flag;
        EXPECT_TRUE(sameDouble(run->flight.position.y, end.position.y, 0)) << "stopflag " << flag;
        EXPECT_EQ(other.trackText, flown.trackText) << "stopflag " << flag;
    }
}

TEST(IntegrationLoop, StopFlagSevenWithStopValueZeroEndsOnTheGround) {
    auto run = freshRun();
    const FlownScenario flown = flyScenario(*run, stone + "alt=20\nstopflag=7");
    EXPECT_EQ(flown.rows.back()[colAltitude], "0.00");
    EXPECT_TRUE(sameDouble(run->flight.position.y, 0.0, 0));
}

TEST(IntegrationLoop, AirSpeedStopIgnoresASpeedStillAboveIt) {
    auto run = freshRun();
    const FlownScenario flown =
        flyScenario(*run, stone + "alt=1000\nvel=100\ninc=0\nstopflag=3\nstopval=50");
    EXPECT_GT(run->flight.time, 0.0) << "100 m/s through still air is above 50";
    EXPECT_GT(flown.rows.size(), 1u);
}

// A fall of 3.5 s without drag: rows at 0, 1, 2 and 3 s and on the ground.
TEST(IntegrationLoop, RowsFallOnWholeSecondsWithEitherTimeStep) {
    for (const char* precision : {"hpdt=true\n", "hpdt=false\n"}) {
        auto run = freshRun();
        const FlownScenario flown = flyScenario(*run, stone + "alt=60\ncwx=false\ncw=0", precision);
        ASSERT_EQ(flown.rows.size(), 5u) << precision << flown.trackText;
        for (int second = 0; second < 4; ++second) {
            EXPECT_EQ(flown.rows[second][colTime], fixed2(second)) << precision;
            EXPECT_GT(std::stod(flown.rows[second][colAltitude]), 0.0) << precision;
        }
        // sqrt(2 * 60 m / 9.8 m/s^2) = 3.50 s.
        EXPECT_NEAR(std::stod(flown.rows[4][colTime]), 3.50, 0.03) << precision;
        EXPECT_EQ(flown.rows[4][colAltitude], "0.00") << precision;
    }
}

// A body that cannot fall far enough in 1800 s: 1 800 001 updates, the last of which carries
// the time past the limit and is reported by the summary alone.
TEST(IntegrationLoop, DefaultTimeLimitMakes1800001Updates) {
    ASSERT_LT(timeAfter(1800000), 1800.0);
    const double finalTime = timeAfter(1800001);
    ASSERT_GE(finalTime, 1800.0);

    auto run = freshRun();
    const FlownScenario flown = flyScenario(*run, stone + "alt=100000000");
    ASSERT_EQ(flown.rows.size(), 1801u) << "rows in steps 0, 1000, ..., 1 800 000";
    for (std::size_t second = 0; second < flown.rows.size(); ++second) {
        ASSERT_EQ(flown.rows[second][colTime], fixed2(static_cast<double>(second)));
    }
    EXPECT_TRUE(sameDouble(run->flight.time, finalTime, 0));
    EXPECT_EQ(flown.summary[sumTime], "1800.00");
    EXPECT_LT(std::stod(flown.summary[sumAltitude]), std::stod(flown.rows.back()[colAltitude]))
        << "the summary shows the state one update past the last row";
}

// loss 100 % at a start speed of 1 m/s: the ablation coefficient is huge, the stone is eaten
// away high above the ground, and the step after the update that empties it ends the run.
TEST(IntegrationLoop, MassAblatedToZeroEndsTheNextStep) {
    auto run = freshRun();
    const FlownScenario flown = flyScenario(*run, stone + "alt=10000\nvel=1\ninc=90\nloss=100");
    ASSERT_EQ(flown.status, exitCompleted);
    EXPECT_TRUE(sameDouble(run->flight.currentMass, 0.0, 0));
    EXPECT_GT(run->flight.position.y, 0.0) << "not a ground ending";
    EXPECT_EQ(flown.rows.back()[colMass], "0.00000");
    EXPECT_EQ(flown.rows.back()[colTime], flown.summary[sumTime]);
    EXPECT_EQ(flown.summary[sumMass], "0.00000");
    EXPECT_EQ(flown.summary[sumInitialMass], "1.00000");
}

// A second run on the same context gives the bytes of a run on a fresh one: nothing of the
// first run (its wind, its body) leaks into the second.
TEST(IntegrationLoop, ASecondRunOnTheSameContextStartsAfresh) {
    // The first stone keeps its mass of 1 kg to the end, the second starts with the same mass.
    const std::string first = stone + "alt=300\nvel=40\ninc=30\nwazi=90\nwvel=12";
    const std::string second = "mass=1\ndia=200\nalt=300\nvel=40\ninc=30";
    auto reused = freshRun();
    flyScenario(*reused, first);
    const FlownScenario again = flyScenario(*reused, second);
    auto fresh = freshRun();
    const FlownScenario once = flyScenario(*fresh, second);
    EXPECT_EQ(again.trackText, once.trackText);
    EXPECT_EQ(again.summaryText, once.summaryText);
}

}  // namespace
}  // namespace kestro
