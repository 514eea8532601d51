// The body as a point mass: where it is, how it moves, what acts on it in the current step.
#pragma once

#include "flight/vector3.h"

namespace kestro {

struct RunContext;

struct FlightState {
    Vector3 position;            // m; y is the altitude above the ground
    Vector3 velocity;            // m/s, over ground
    Vector3 acceleration;        // m/s^2, of the current step
    Vector3 force;               // N, drag plus weight of the current step
    Vector3 relativeVelocity;    // m/s, velocity minus the wind vector
    double relativeSpeed = 0.0;  // m/s, length of relativeVelocity
    double dragForce = 0.0;      // N, magnitude of the drag
    double time = 0.0;           // s, running sum of the time steps
    double currentMass = 0.0;    // kg, never below 0
};

// Start position (0, alt, 0) and velocity from vel, inc and azi: the body descends for a
// positive inc and moves toward azi + 180 degrees.
void setUpFlightState(RunContext& run);

}  // namespace kestro
