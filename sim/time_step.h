// One classical fourth-order Runge-Kutta step of all live particles.
#pragma once

// Advances positions and velocities of world's live particles by h =
// simulationSpeed. Intermediate states are neither wrapped nor reflected;
// applyBoundaries comes after. Allocates nothing.
void advanceStep();
