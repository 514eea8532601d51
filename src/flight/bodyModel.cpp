#include "flight/bodyModel.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "run/runContext.h"

namespace kestro {

namespace {
constexpr double pi = 3.141592653589793;
// The second Mach candidate, (e^(-2M) + 1) * 0.92, is never below 0.92: a first candidate
// below that is the smaller without evaluating the exponential.
constexpr double machSecondCandidateFloor = 2.0 * machBaseCoefficient;
}  // namespace

double clampedLoss(double loss) {
    if (loss > maximumLoss) loss = maximumLoss;
    if (loss < 0.0) loss = 0.0;
    return loss;
}

double ablationCoefficientFor(double loss, double vel) {
    if (loss == 0.0) return 0.0;
    return -2.0 * std::log(1.0 - loss) / (vel * vel);
}

void setUpBody(RunContext& run) {
    ScenarioParameters& scenario = run.scenario;
    BodyModel& body = run.body;
    const double radius = 0.5 * scenario.dia;
    body.volume = radius * radius * radius * sphereVolumeFactor;
    body.bodyDensity = scenario.mass / body.volume;
    run.flight.currentMass = scenario.mass;
    scenario.loss = clampedLoss(scenario.loss);
    body.ablationCoefficient = ablationCoefficientFor(scenario.loss, scenario.vel);
    run.stepCache.massValid = false;
}

void evaluateDrag(RunContext& run) {
    FlightState& flight = run.flight;
    BodyModel& body = run.body;
    const EnvironmentSample& environment = run.environment;

    flight.relativeVelocity.x = flight.velocity.x - environment.windVector.x;
    flight.relativeVelocity.y = flight.velocity.y - environment.windVector.y;
    flight.relativeVelocity.z = flight.velocity.z - environment.windVector.z;
    const Vector3& relative = flight.relativeVelocity;
    const double speed =
        std::sqrt(relative.x * relative.x + relative.y * relative.y + relative.z * relative.z);
    flight.relativeSpeed = speed;

    if (run.scenario.cwx) {
        const double mach = speed / speedOfSound;
        const double first = (mach * mach + 1.0) * machBaseCoefficient;
        if (first < machSecondCandidateFloor) {
            body.dragCoefficient = first;
        } else {
            const double second = (std::exp(-2.0 * mach) + 1.0) * (2.0 * machBaseCoefficient);
            body.dragCoefficient = first < second ? first : second;
        }
    } else {
        body.dragCoefficient = run.scenario.cw;
    }

    // Volume and cross-section depend on the mass and the density alone: while both keep their
    // exact bits they are the doubles of the previous step.
    StepCache& cache = run.stepCache;
    const std::uint64_t massBits = std::bit_cast<std::uint64_t>(flight.currentMass);
    const std::uint64_t densityBits = std::bit_cast<std::uint64_t>(body.bodyDensity);
    if (!cache.massValid || massBits != cache.massBits || densityBits != cache.densityBits) {
        body.volume = flight.currentMass / body.bodyDensity;
        // pow with the double nearest 1/3, not cbrt: the two differ in the last bit.
        const double radius = std::pow(body.volume * radiusCubeFactor, oneThird);
        body.crossSection = pi * radius * radius;
        cache.massBits = massBits;
        cache.densityBits = densityBits;
        cache.massValid = true;
    }

    flight.dragForce =
        0.5 * environment.airDensity * body.crossSection * body.dragCoefficient * speed * speed;
    if (speed == 0.0) {
        // No direction to oppose: the bracket is 0 for every component, nothing is divided.
        flight.force.x = -flight.dragForce * 0.0;
        flight.force.y = -flight.dragForce * 0.0;
        flight.force.z = -flight.dragForce * 0.0;
    } else {
        flight.force.x = -flight.dragForce * (relative.x / speed);
        flight.force.y = -flight.dragForce * (relative.y / speed);
        flight.force.z = -flight.dragForce * (relative.z / speed);
    }
}

void updateMass(RunContext& run, double timeStep) {
    FlightState& flight = run.flight;
    flight.currentMass = flight.currentMass - timeStep * run.body.ablationCoefficient *
                                                  flight.dragForce * flight.relativeSpeed;
    if (flight.currentMass < 0.0) flight.currentMass = 0.0;
}

}  // namespace kestro
