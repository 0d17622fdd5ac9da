// computeRates without vector kernels: the straightforward loop, a block of
// particles at a time on the thread pool.
#include <algorithm>

#include "sim/force_kernels.h"
#include "sim/particle_threads.h"

namespace {

constexpr int BlockSize = 8;

struct ScalarJob {
    const Particle* state;
    ParticleRate* rates;
    ForceSettings settings;
};

void scalarBlock(int block, void* context) {
    const ScalarJob& job = *static_cast<const ScalarJob*>(context);
    const int end = std::min(job.settings.particleCount, (block + 1) * BlockSize);
    for (int i = block * BlockSize; i < end; ++i) job.rates[i] = particleRate(job.state, i, job.settings);
}

}  // namespace

void computeRates(const Particle* state, ParticleRate* rates) {
    ScalarJob job = {state, rates, forceSettingsFromWorld()};
    const int n = job.settings.particleCount;
    if (n <= 0) return;
    const int threads = threadsForWork(static_cast<double>(n) * n * 20);
    forEachBlock((n + BlockSize - 1) / BlockSize, threads, scalarBlock, &job);
}

int forceKernelCount() { return 0; }
const char* forceKernelName(int) { return "scalar loop"; }
void useForceKernel(int) {}
const char* selectedForceKernelName() { return "scalar loop"; }

void laneQuotients(const double* a, const double* b, double* quotients, int count) {
    for (int k = 0; k < count; ++k) quotients[k] = a[k] / b[k];
}
