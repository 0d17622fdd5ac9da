// One classical fourth-order Runge-Kutta step of all live particles.
#pragma once

#include "force_rates.h"

// Advances positions and velocities of world's live particles by h =
// simulationSpeed. Intermediate states are neither wrapped nor reflected;
// applyBoundaries comes after. Allocates nothing.
void advanceStep();

// The same step with a given force computation in place of computeRates, so
// that the benchmark can time the reference loop beside the fast kernel.
void advanceStepWith(void (*rateFunction)(const Particle* state, ParticleRate* rates));
