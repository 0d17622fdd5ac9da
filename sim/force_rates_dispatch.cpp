// Chooses the lane kernel for this processor, once, at the first call.
#include "force_kernels.h"

#include "potentials.h"

// libgcc's feature check includes whether the operating system saves the
// wide registers, not only whether the processor has the instructions.
static bool hasAvx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f");
}

static bool hasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

static bool everyProcessor() { return true; }

const ForceKernel forceKernels[ForceKernelCount] = {
    {"AVX-512", computeRatesAvx512, hasAvx512},
    {"AVX2+FMA", computeRatesAvx2, hasAvx2},
    {"SSE2", computeRatesSse2, everyProcessor},
};

static const ForceKernel& bestKernel() {
    for (const ForceKernel& k : forceKernels)
        if (k.processorHasIt()) return k;
    return forceKernels[ForceKernelCount - 1];
}

const ForceKernel& selectedForceKernel() {
    static const ForceKernel& chosen = bestKernel();
    return chosen;
}

void computeRates(const Particle* state, ParticleRate* rates) {
    selectedForceKernel().computeRates(state, rates);
}

double pairPotentialAnyProcessor(double dx, double dy, double a, double b, double c, double r,
                                 int query, int shape) {
    return pairPotential(dx, dy, a, b, c, r, query, shape);
}
