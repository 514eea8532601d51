// The body: set-up from diameter, mass and loss; drag coefficient, cross-section and drag force
// of a step; mass lost to ablation.
//
// Expected values: Python floats evaluating the stated formulas in their stated order, e.g.
// M = s/343.0, c1 = (M*M + 1.0)*0.46, c2 = (exp(-2.0*M) + 1.0)*(2.0*0.46), the smaller of them;
// r = (volume*0.238732414637843) ** (1.0/3.0), crossSection = pi*r*r;
// dragForce = 0.5*rho*A*cd*s*s; force = -dragForce*(component/s).
#include "flight/bodyModel.h"

#include <gtest/gtest.h>

#include "support/doubleCheck.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::sameDouble;

// A body of `mass` kg and `dia` m after its set-up, moving with `velocity` in air of `density`.
std::unique_ptr<RunContext> bodyInFlight(double mass, double dia, Vector3 velocity,
                                         double density) {
    auto run = test::freshRun();
    run->scenario.mass = mass;
    run->scenario.dia = dia;
    run->scenario.vel = 100;
    setUpBody(*run);
    run->flight.velocity = velocity;
    run->environment.airDensity = density;
    return run;
}

TEST(EvaluateDrag, MachCoefficientIsTheSmallerOfTheTwoCandidates) {
    struct Case {
        bool cwx;
        double speed, want;
        const char* why;
    };
    const Case cases[] = {
        {true, 0, 0.46, "at rest: c1 = 0.46"},
        {true, 171.5, 0.5750000000000001, "Python, M = 0.5: c1 = 1.25*0.46"},
        {true, 343, 0.92, "M = 1: c1 = 0.92, c2 = 1.0445 is larger"},
        {true, 1.1 * 343, 1.0166, "Python, M = 1.1: still c1, just below where c1 meets c2"},
        {true, 1.105 * 343, 1.0209245966342706,
         "Python, M = 1.105: c2, past the meeting near 1.1044"},
        {true, 686, 0.9368503877776355, "Python, M = 2: c2 = (e^-4 + 1)*0.92"},
        {true, 34300, 0.92, "M = 100: c2, e^-200 vanishes against 1"},
        {false, 0, 0.7, "cwx off: cw at rest"},
        {false, 686, 0.7, "cwx off: cw at any speed"},
    };
    for (const Case& c : cases) {
        auto run = bodyInFlight(1, 0.1, {0.0, -c.speed, 0.0}, 1.204);
        run->scenario.cwx = c.cwx;
        evaluateDrag(*run);
        EXPECT_TRUE(sameDouble(run->flight.relativeSpeed, c.speed, 0)) << c.why;
        EXPECT_TRUE(sameDouble(run->body.dragCoefficient, c.want, 0)) << c.why;
    }
}

TEST(SetUpBody, VolumeDensityAndFirstCrossSection) {
    struct Case {
        double dia, mass, wantVolume, wantDensity, wantStepVolume, wantCrossSection;
        const char* why;
    };
    const Case cases[] = {
        {1.0, 1000, 0.5235987755982988, 1909.8593171027442, 0.5235987755982988, 0.7853981633974483,
         "Python: 1000 mm, 1000 kg: pi/6 m^3, radius 0.5, pi/4 m^2"},
        {0.1, 1, 0.0005235987755982989, 1909.859317102744, 0.0005235987755982989,
         0.007853981633974485,
         "Python: pow(x, 1/3) gives radius 0.05000000000000001; cbrt would give 0.05 and a cross "
         "section of 0.007853981633974483"},
    };
    for (const Case& c : cases) {
        auto run = bodyInFlight(c.mass, c.dia, {0.0, -10.0, 0.0}, 1.204);
        EXPECT_TRUE(sameDouble(run->body.volume, c.wantVolume, 0)) << c.why;
        EXPECT_TRUE(sameDouble(run->body.bodyDensity, c.wantDensity, 0)) << c.why;
        EXPECT_TRUE(sameDouble(run->flight.currentMass, c.mass, 0)) << c.why;
        evaluateDrag(*run);
        EXPECT_TRUE(sameDouble(run->body.volume, c.wantStepVolume, 0)) << c.why;
        EXPECT_TRUE(sameDouble(run->body.crossSection, c.wantCrossSection, 0)) << c.why;
        const double radius = 0.5 * c.dia;
        EXPECT_TRUE(sameDouble(run->body.crossSection, 3.141592653589793 * radius * radius, 1e-15))
            << c.why << ": the cross-section of the sphere, to rounding";
    }
}

TEST(SetUpBody, LossIsClampedAndGivesTheAblationCoefficient) {
    struct Case {
        double loss, vel, wantLoss, wantCoefficient;
        const char* why;
    };
    const Case cases[] = {
        {1.5, 100, 0.9999, 0.0018420680743952587,
         "150 %: clamped to 0.9999; Python -2*log(1-0.9999)/(100*100)"},
        {1.0, 100, 0.9999, 0.0018420680743952587, "100 % is above the bound as well"},
        {0.5, 30, 0.5, 0.0015403270679109895, "Python: -2*log(0.5)/900"},
        {0.0, 100, 0.0, 0.0, "no loss: no ablation"},
        {-0.2, 100, 0.0, 0.0, "a negative loss is clamped to 0: no ablation"},
    };
    for (const Case& c : cases) {
        auto run = test::freshRun();
        run->scenario.mass = 1;
        run->scenario.dia = 0.1;
        run->scenario.loss = c.loss;
        run->scenario.vel = c.vel;
        setUpBody(*run);
        EXPECT_TRUE(sameDouble(run->scenario.loss, c.wantLoss, 0)) << c.why;
        EXPECT_TRUE(sameDouble(run->body.ablationCoefficient, c.wantCoefficient, 0)) << c.why;
    }
}

// Mass 1 kg, 100 mm, moving at (30, -40, 5) in a wind from 200 degrees at 7.5 m/s, in the air
// of 1000 m at 15 degrees Celsius.
TEST(EvaluateDrag, DragOpposesTheMotionThroughTheAir) {
    auto run = bodyInFlight(1, 0.1, {30.0, -40.0, 5.0}, 1.092603964549517);
    run->environment.windVector = {7.047694655894313, 0.0, 2.565151074942515};
    evaluateDrag(*run);
    const FlightState& flight = run->flight;
    // All from Python.
    EXPECT_TRUE(sameDouble(flight.relativeVelocity.x, 22.95230534410569, 0));
    EXPECT_TRUE(sameDouble(flight.relativeVelocity.y, -40.0, 0));
    EXPECT_TRUE(sameDouble(flight.relativeVelocity.z, 2.434848925057485, 0));
    EXPECT_TRUE(sameDouble(flight.relativeSpeed, 46.1815635280673, 0));
    EXPECT_TRUE(sameDouble(run->body.dragCoefficient, 0.468338863335452, 0));
    EXPECT_TRUE(sameDouble(flight.dragForce, 4.285683746650388, 0));
    EXPECT_TRUE(sameDouble(flight.force.x, -2.1299911576533677, 0));
    EXPECT_TRUE(sameDouble(flight.force.y, 3.71203001305551, 0));
    EXPECT_TRUE(sameDouble(flight.force.z, -0.22595580717673328, 0));
}

TEST(EvaluateDrag, NoRelativeSpeedNoDragAndNoDivision) {
    auto run = bodyInFlight(1, 0.1, {7.5, 0.0, -2.0}, 1.204);
    run->environment.windVector = {7.5, 0.0, -2.0};  // the body drifts with the wind
    evaluateDrag(*run);
    EXPECT_TRUE(sameDouble(run->flight.relativeSpeed, 0.0, 0));
    EXPECT_TRUE(sameDouble(run->body.dragCoefficient, 0.46, 0));
    EXPECT_TRUE(sameDouble(run->flight.dragForce, 0.0, 0));
    // -dragForce * 0 for every component: negative zeros, never NaN.
    EXPECT_TRUE(sameDouble(run->flight.force.x, -0.0, 0));
    EXPECT_TRUE(sameDouble(run->flight.force.y, -0.0, 0));
    EXPECT_TRUE(sameDouble(run->flight.force.z, -0.0, 0));
}

TEST(EvaluateDrag, NoMassLeftNoCrossSection) {
    auto run = bodyInFlight(1, 0.1, {0.0, -50.0, 0.0}, 1.204);
    run->flight.currentMass = 0.0;
    evaluateDrag(*run);
    EXPECT_TRUE(sameDouble(run->body.volume, 0.0, 0));
    EXPECT_TRUE(sameDouble(run->body.crossSection, 0.0, 0));
    EXPECT_TRUE(sameDouble(run->flight.dragForce, 0.0, 0));
}

TEST(EvaluateDrag, CrossSectionFollowsTheMassLeft) {
    // Python: 0.37 kg left of a 1 kg, 100 mm body.
    auto run = bodyInFlight(1, 0.1, {0.0, -50.0, 0.0}, 1.204);
    evaluateDrag(*run);
    run->flight.currentMass = 0.37;
    evaluateDrag(*run);
    EXPECT_TRUE(sameDouble(run->body.volume, 0.0001937315469713706, 0));
    EXPECT_TRUE(sameDouble(run->body.crossSection, 0.004047849566333671, 0));
}

TEST(UpdateMass, RemovesTheDragWorkShareAndStopsAtZero) {
    struct Case {
        double mass, coefficient, dragForce, relativeSpeed, want;
        const char* why;
    };
    const Case cases[] = {
        {1.0, 0.0015403270679109895, 4.285683746650388, 46.1815635280673, 0.9996951391194987,
         "Python: 1 - 0.001*k*D*s"},
        {1.0, 0.0, 4.285683746650388, 46.1815635280673, 1.0, "no ablation: the mass stays"},
        {0.001, 18.420680743952367, 50.0, 100.0, 0.0, "more than is left: exactly 0"},
    };
    for (const Case& c : cases) {
        auto run = test::freshRun();
        run->flight.currentMass = c.mass;
        run->body.ablationCoefficient = c.coefficient;
        run->flight.dragForce = c.dragForce;
        run->flight.relativeSpeed = c.relativeSpeed;
        updateMass(*run, 0.001);
        EXPECT_TRUE(sameDouble(run->flight.currentMass, c.want, 0)) << c.why;
    }
}

}  // namespace
}  // namespace kestro
