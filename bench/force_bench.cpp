// Times the force computation and the whole Runge-Kutta step on scenes of
// 100, 300 and 1000 particles with the Coulomb force and two pair slots on,
// at 1 and 2 threads, and reports ordered pair interactions per second.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstdlib>

#include "force_rates.h"
#include "time_step.h"
#include "world_init.h"
#include "world_state.h"

static void buildScene(int particles) {
    world = WorldState{};
    world.particleCount = particles;
    std::srand(1);
    initWorld();
    for (int i = 0; i < particles; ++i) world.particles[i].charge = i % 2 ? 1 : -1;
    world.coulombStrength = 10;
    world.coulombSoftening = 3;
    world.pairSlots[0] = {static_cast<int>(PotentialKind::MassProportional), static_cast<int>(PairShape::Morse), 1, 15, 5, 0};
    world.pairSlots[1] = {static_cast<int>(PotentialKind::RelativeVelocityDissipation),
                          static_cast<int>(PairShape::Gaussian), 0.01, 0, 10, 0};
}

static ParticleRate rates[MaxParticles];

static void computeRatesBench(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    buildScene(n);
    omp_set_num_threads(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        computeRates(world.particles, rates);
        benchmark::DoNotOptimize(rates);
    }
    state.counters["pairs/s"] = benchmark::Counter(double(n) * (n - 1), benchmark::Counter::kIsIterationInvariantRate);
}

// The scene keeps moving between iterations, as it does in the simulator.
static void advanceStepBench(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    buildScene(n);
    omp_set_num_threads(static_cast<int>(state.range(1)));
    for (auto _ : state) advanceStep();
    state.counters["pairs/s"] = benchmark::Counter(4.0 * n * (n - 1), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(computeRatesBench)->ArgNames({"N", "threads"})->ArgsProduct({{100, 300, 1000}, {1, 2}})->UseRealTime();
BENCHMARK(advanceStepBench)->ArgNames({"N", "threads"})->ArgsProduct({{100, 300, 1000}, {1, 2}})->UseRealTime();

BENCHMARK_MAIN();
