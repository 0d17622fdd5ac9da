// computeRates without vector kernels: the straightforward loop, a block of
// particles at a time on the thread pool.
#include <algorithm>
#include <cstring>

#include "sim/force_kernels.h"
#include "sim/particle_threads.h"

namespace {

constexpr int BlockSize = 8;

// Copied by the thread pool for its helpers: the slots travel with it.
struct ScalarSettings {
    ForceSettings s;
    PotentialSlot externalSlots[PotentialSlotCount];
    PotentialSlot pairSlots[PotentialSlotCount];
};
static_assert(sizeof(ScalarSettings) <= MaxJobContext, "the thread pool copies the settings");

void scalarBlock(int block, const Particle* state, const void* context, void*, ParticleRate* rates) {
    const ScalarSettings& settings = *static_cast<const ScalarSettings*>(context);
    ForceSettings s = settings.s;
    s.externalSlots = settings.externalSlots;
    s.pairSlots = settings.pairSlots;
    const int end = std::min(s.particleCount, (block + 1) * BlockSize);
    for (int i = block * BlockSize; i < end; ++i) rates[i] = particleRate(state, i, s);
}

}  // namespace

void computeRates(const Particle* state, ParticleRate* rates) {
    ScalarSettings settings;
    settings.s = forceSettingsFromWorld();
    std::memcpy(settings.externalSlots, settings.s.externalSlots, sizeof settings.externalSlots);
    std::memcpy(settings.pairSlots, settings.s.pairSlots, sizeof settings.pairSlots);
    const int n = settings.s.particleCount;
    if (n <= 0) return;
    const int threads = threadsForWork(static_cast<double>(n) * n * 20);
    forEachBlock((n + BlockSize - 1) / BlockSize, threads, n, state, &settings, sizeof settings, scalarBlock, rates,
                 BlockSize);
}

int forceKernelCount() { return 0; }
const char* forceKernelName(int) { return "scalar loop"; }
void useForceKernel(int) {}
const char* selectedForceKernelName() { return "scalar loop"; }

void laneQuotients(const double* a, const double* b, double* quotients, int count) {
    for (int k = 0; k < count; ++k) quotients[k] = a[k] / b[k];
}

void setWavefrontPatience(long) {}
