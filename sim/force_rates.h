// The right-hand side of the equations of motion: for every live particle the
// time derivative of its position and velocity, given a whole state.
#pragma once

#include "world_state.h"

struct ParticleRate {
    double dxdt;
    double dydt;
    double ax;
    double ay;
};

// The settings the forces read, widened to double once per call so that the
// per-pair work reads plain locals instead of the float fields of the record.
struct ForceSettings {
    int particleCount;
    double magneticField;
    double dragCoefficient;
    double terminalSpeed;
    bool forcesEnabled;
    double electricX, electricY;
    double gravityX, gravityY;
    double coulombStrength;
    double coulombSoftening;
    int boundaryX, boundaryY;
    double wallStrength, wallSoftness, wallPosition;
    int windowWidth, windowHeight;
    const PotentialSlot* externalSlots;
    const PotentialSlot* pairSlots;
};

ForceSettings forceSettingsFromWorld();

// Running acceleration of one particle.
struct Acceleration {
    double x;
    double y;
};

// Kinematics plus every term that depends on the particle alone: magnetic,
// drag, uniform fields, soft walls and external slots, in that order.
ParticleRate oneBodyRate(const Particle& p, const ForceSettings& s);

// Adds the Coulomb and pair-slot terms that `other` exerts on `p`.
void addPairAcceleration(Acceleration& acc, const Particle& p, const Particle& other,
                         const ForceSettings& s);

// Fills rates[i] for every live particle of `state`, in parallel. A term whose
// x or y part is not finite (two coincident particles, a zero width) is left
// out, so one degenerate pair cannot spread NaN to the whole world. Runs the
// fastest lane kernel the processor has (force_kernels.h): every term within a
// few units in the last place of computeRatesReference's, and the same bits
// for any thread count.
void computeRates(const Particle* state, ParticleRate* rates);

// The same computation one particle and one term at a time, in the model's
// own order and formulas; the tests and the benchmark hold the kernels to it.
void computeRatesReference(const Particle* state, ParticleRate* rates);
