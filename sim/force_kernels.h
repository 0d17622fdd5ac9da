// The force computation compiled once per instruction set. computeRates runs
// the best of them that the processor has, chosen once at start-up; the tests
// and the benchmark reach every one of them through this table.
#pragma once

#include "force_rates.h"

struct ForceKernel {
    const char* instructionSet;   // as the benchmark reports it
    void (*computeRates)(const Particle* state, ParticleRate* rates);
    bool (*processorHasIt)();
};

// Best first; the last one runs on every x86-64.
constexpr int ForceKernelCount = 3;
extern const ForceKernel forceKernels[ForceKernelCount];

// The kernel computeRates uses on this processor.
const ForceKernel& selectedForceKernel();

// One kernel per instruction set: the same source, compiled three times. Each
// computes particles side by side, one per lane, and every lane sums its pairs
// in ascending order, so a particle's rates are the same bits whatever lane,
// block or thread it falls in.
void computeRatesAvx512(const Particle* state, ParticleRate* rates);
void computeRatesAvx2(const Particle* state, ParticleRate* rates);
void computeRatesSse2(const Particle* state, ParticleRate* rates);

// The potential catalogue as compiled for any x86-64. The kernels call it for
// the shapes they evaluate lane by lane, rather than instantiating the inline
// catalogue under their own instruction set: the linker keeps one copy of an
// inline function, and it must not be the AVX-512 one.
double pairPotentialAnyProcessor(double dx, double dy, double a, double b, double c, double r,
                                 int query, int shape);
