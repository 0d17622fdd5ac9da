// The right-hand side of the equations of motion: for every live particle the
// time derivative of its position and velocity, given a whole state.
#pragma once

#include "sim/world_state.h"

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

// The whole rate of particle i: the one-body terms, then every other particle
// j in ascending order.
ParticleRate particleRate(const Particle* state, int i, const ForceSettings& s);

// Fills rates[i] for every live particle of `state`, in parallel. A term whose
// x or y part is not finite (two coincident particles, a zero width) is left
// out, so one degenerate pair cannot spread NaN to the whole world. Runs the
// best lane kernel the processor has (force_kernels.h) on the thread pool
// (particle_threads.h); its results are computeRatesReference's to the last
// bit, on every instruction set and for any thread count.
void computeRates(const Particle* state, ParticleRate* rates);

// The same computation one particle and one term at a time, in the model's
// own order and formulas, on OpenMP's static schedule; the tests and the
// benchmark hold the kernels to it.
void computeRatesReference(const Particle* state, ParticleRate* rates);
