// Times the whole Runge-Kutta step (four force computations) with the fast
// kernel and with the reference loop side by side, on scenes of 100, 300 and
// 1000 particles, at 1 and 2 threads; then every lane kernel the processor
// runs at 1000 particles. Two scenes: the Coulomb force alone, and the
// Coulomb force with two pair slots (a Morse and a Gaussian). Reports steps
// per second and ordered pair interactions per second.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstdlib>

#include "force_kernels.h"
#include "time_step.h"
#include "world_init.h"
#include "world_state.h"

enum Scene { CoulombOnly = 0, CoulombMorseGaussian = 1 };

static void buildScene(int particles, int scene) {
    world = WorldState{};
    world.particleCount = particles;
    std::srand(1);
    initWorld();
    for (int i = 0; i < particles; ++i) world.particles[i].charge = i % 2 ? 1 : -1;
    world.coulombStrength = 10;
    world.coulombSoftening = 3;
    if (scene != CoulombMorseGaussian) return;
    world.pairSlots[0] = {static_cast<int>(PotentialKind::MassProportional), static_cast<int>(PairShape::Morse), 1, 15, 5, 0};
    world.pairSlots[1] = {static_cast<int>(PotentialKind::RelativeVelocityDissipation),
                          static_cast<int>(PairShape::Gaussian), 0.01, 0, 10, 0};
}

struct Kernel {
    const char* name;
    void (*rates)(const Particle* state, ParticleRate* rates);
};

static const Kernel kernels[] = {{"fast", computeRates}, {"reference", computeRatesReference}};

// The scene keeps moving between iterations, as it does in the simulator.
static void timeSteps(benchmark::State& state, const Kernel& kernel) {
    const int n = static_cast<int>(state.range(0));
    buildScene(n, static_cast<int>(state.range(3)));
    omp_set_num_threads(static_cast<int>(state.range(1)));
    for (auto _ : state) advanceStepWith(kernel.rates);
    state.SetLabel(kernel.name);
    state.counters["steps/s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pairs/s"] = benchmark::Counter(4.0 * n * (n - 1), benchmark::Counter::kIsIterationInvariantRate);
}

static void stepBench(benchmark::State& state) { timeSteps(state, kernels[state.range(2)]); }

// Every lane kernel this processor runs, so that the figures of a processor
// without AVX-512 can be read off this one.
static void instructionSetBench(benchmark::State& state) {
    const ForceKernel& k = forceKernels[state.range(2)];
    if (!k.processorHasIt()) {
        state.SkipWithError("instruction set not on this processor");
        return;
    }
    timeSteps(state, {k.instructionSet, k.computeRates});
}

BENCHMARK(stepBench)
    ->ArgNames({"N", "threads", "reference", "slots"})
    ->ArgsProduct({{100, 300, 1000}, {1, 2}, {0, 1}, {CoulombOnly, CoulombMorseGaussian}})
    ->UseRealTime();

BENCHMARK(instructionSetBench)
    ->ArgNames({"N", "threads", "kernel", "slots"})
    ->ArgsProduct({{1000}, {1, 2}, {0, 1, 2}, {CoulombOnly, CoulombMorseGaussian}})
    ->UseRealTime();

// Names the instruction set the fast kernel runs with on this processor.
int main(int argc, char** argv) {
    benchmark::AddCustomContext("fast kernel", selectedForceKernel().instructionSet);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
