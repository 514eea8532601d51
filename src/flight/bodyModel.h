// The body: a homogeneous sphere of fixed density that shrinks as it ablates, and its drag.
#pragma once

namespace kestro {

struct RunContext;

constexpr double sphereVolumeFactor = 4.1887902047863905;  // 4*pi/3: volume from radius cubed
constexpr double radiusCubeFactor = 0.238732414637843;     // 3/(4*pi): radius cubed from volume
constexpr double oneThird = 1.0 / 3.0;  // the double nearest 1/3, exponent of the cube root
constexpr double speedOfSound = 343.0;  // m/s, fixed, whatever the temperature and altitude
constexpr double machBaseCoefficient = 0.46;
constexpr double maximumLoss = 0.9999;  // upper bound of the mass-loss fraction (not 1.0)

struct BodyModel {
    double bodyDensity = 0.0;          // kg/m^3, fixed at set-up
    double ablationCoefficient = 0.0;  // kg/J (s^2/m^2), mass removed per joule of drag work
    double volume = 0.0;               // m^3, of the current sphere
    double crossSection = 0.0;         // m^2, of the current sphere
    double dragCoefficient = 0.0;      // drag coefficient of the current step
};

// The loss fraction limited to 0..0.9999 (a value above the bound first, then one below 0).
double clampedLoss(double loss);

// -2 ln(1 - loss) / vel^2, or exactly 0 when loss is 0. Infinite or NaN when vel^2 is 0.
double ablationCoefficientFor(double loss, double vel);

// Volume from the diameter, density, start mass, the clamp of loss (written back into the
// scenario) and the ablation coefficient.
void setUpBody(RunContext& run);

// Velocity relative to the air, drag coefficient (fixed, or the smaller of the two Mach
// candidates), current volume and cross-section, drag force, and the drag as the whole force.
void evaluateDrag(RunContext& run);

// currentMass -= timeStep * ablationCoefficient * dragForce * relativeSpeed, clamped at 0.
void updateMass(RunContext& run, double timeStep);

}  // namespace kestro
