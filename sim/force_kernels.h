// The lane kernels behind computeRates: the same source compiled for every
// instruction set Highway targets, the best one the processor has chosen at
// the first call. Every one gives computeRatesReference's bits. A build
// without vector kernels (PARTIVOX_VECTOR_KERNELS off, or a processor family
// Highway has no vector target for) has none, and computeRates runs the
// straightforward loop on the thread pool instead.
#pragma once

#include "sim/force_rates.h"

// The kernels this build has and this processor runs, best first.
int forceKernelCount();
const char* forceKernelName(int kernel);

// Makes computeRates use `kernel` from now on, so that the tests and the
// benchmark reach every one; -1 returns to the best.
void useForceKernel(int kernel);

// What computeRates runs now: a kernel's name, or "scalar loop".
const char* selectedForceKernelName();

// The quotients a / b of the kernel in use, computed as its Coulomb term
// computes them (for the tests, which hold them to true division).
void laneQuotients(const double* a, const double* b, double* quotients, int count);

// For the tests: how long a row of the wavefront (each pair's shared values
// computed once) waits for the row before it before the rows left compute
// their blocks alone; negative: as measured. Also forgets which way of
// running the wavefront was faster, so that the next call runs on every
// thread.
void setWavefrontPatience(long nanoseconds);
