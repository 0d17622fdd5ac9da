// partivox-bench: steps per second of the whole Runge-Kutta step (four force
// computations) on fixed scenes, each measured quiet and under a competing
// load that the benchmark starts itself (one thread spinning on its own), with
// the default thread count and with 1 thread, beside the reference loop.
//
//   partivox-bench [--seconds S] [--only TEXT]
//
// S is the time spent on each figure (default 1); --only runs the scenes
// whose name contains TEXT.
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <time.h>

#include "sim/force_kernels.h"
#include "sim/time_step.h"
#include "sim/world_init.h"
#include "sim/world_state.h"

namespace {

struct Scene {
    const char* name;
    int particles;
    bool unitMasses;
    PotentialSlot slots[2];
};

constexpr int Mass = static_cast<int>(PotentialKind::MassProportional);
constexpr int Charge = static_cast<int>(PotentialKind::ChargeProportional);
constexpr int RelativeVelocity = static_cast<int>(PotentialKind::RelativeVelocityDissipation);

const Scene scenes[] = {
    {"Coulomb", 10, true, {}},
    {"Coulomb", 100, true, {}},
    {"Coulomb", 300, true, {}},
    {"Coulomb", 1000, true, {}},
    {"Coulomb, masses 0.75-1.35", 1000, false, {}},
    {"Coulomb + Morse + Gaussian", 1000, true,
     {{Mass, static_cast<int>(PairShape::Morse), 1, 15, 5, 0},
      {RelativeVelocity, static_cast<int>(PairShape::Gaussian), 0.01, 0, 10, 0}}},
    {"Coulomb + Power + PowerExp", 1000, true,
     {{Charge, static_cast<int>(PairShape::Power), 0.5, -1.5, 10, 0},
      {Mass, static_cast<int>(PairShape::PowerExp), 2, 1.5, 10, 30}}},
};

// Random positions and velocities from a fixed seed, alternating charges.
void buildScene(const Scene& scene) {
    world = WorldState{};
    world.particleCount = scene.particles;
    std::srand(1);
    initWorld();
    for (int i = 0; i < scene.particles; ++i) {
        world.particles[i].charge = i % 2 ? 1 : -1;
        if (!scene.unitMasses) world.particles[i].mass = 0.75 + 0.1 * (i % 7);
    }
    world.coulombStrength = 10;
    world.coulombSoftening = 3;
    world.pairSlots[0] = scene.slots[0];
    world.pairSlots[1] = scene.slots[1];
}

double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

struct Rate {
    double perSecond;      // steps per second of real time
    double perCpuSecond;   // steps per second of the calling thread's processor time
};

// Steps per second over about `seconds`, the scene moving on as it does in
// the simulator; the best of three thirds, so that one pre-emption by another
// program does not decide the figure. With 1 thread the calling thread does
// all the work, so its processor time gives a figure that other programs on
// the machine hardly change.
Rate stepsPerSecond(const Scene& scene, void (*rates)(const Particle*, ParticleRate*), int threads, double seconds) {
    buildScene(scene);
    omp_set_num_threads(threads);
    advanceStepWith(rates);   // the pool and OpenMP's team exist from here on
    Rate best = {0, 0};
    for (int third = 0; third < 3; ++third) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadSeconds();
        long steps = 0;
        std::chrono::duration<double> elapsed{};
        do {
            advanceStepWith(rates);
            ++steps;
            elapsed = std::chrono::steady_clock::now() - start;
        } while (elapsed.count() < seconds / 3);
        best.perSecond = std::max(best.perSecond, steps / elapsed.count());
        best.perCpuSecond = std::max(best.perCpuSecond, steps / (threadSeconds() - cpuStart));
    }
    return best;
}

// The competing load: one thread that never waits.
class BusyThread {
public:
    BusyThread() : spinner([this] {
        volatile double sink = 1;
        while (!stop.load(std::memory_order_relaxed)) sink = sink * 1.0000001 + 1e-9;
    }) {}
    ~BusyThread() {
        stop = true;
        spinner.join();
    }

private:
    std::atomic<bool> stop{false};
    std::thread spinner;
};

std::string loadAverage() {
    char text[128] = "?";
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(text, sizeof text, f)) std::strcpy(text, "?");
        std::fclose(f);
    }
    text[std::strcspn(text, "\n")] = 0;
    return text;
}

// Steps per second: whole steps, with a decimal where the scene is slow
// enough for it to matter.
std::string figure(double stepsPerSecond) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", stepsPerSecond < 100 ? 1 : 0, stepsPerSecond);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 1;
    const char* only = "";
    for (int k = 1; k + 1 < argc; k += 2) {
        if (std::strcmp(argv[k], "--seconds") == 0) seconds = std::atof(argv[k + 1]);
        if (std::strcmp(argv[k], "--only") == 0) only = argv[k + 1];
    }
    const int cores = omp_get_num_procs();
    std::printf("kernel %s, %d cores, load average before: %s\n", selectedForceKernelName(), cores,
                loadAverage().c_str());
    std::printf("steps/s; default = up to %d threads as the step chooses; loaded = beside one busy thread\n\n",
                cores);
    std::printf("| scene | N | quiet default | quiet 1 thread | loaded default | loaded 1 thread | reference "
                "| default / reference | 1 thread per CPU second | reference 1 thread per CPU second |\n"
                "|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Scene& scene : scenes) {
        if (!std::strstr(scene.name, only)) continue;
        const Rate quiet = stepsPerSecond(scene, computeRates, cores, seconds);
        const Rate quietOne = stepsPerSecond(scene, computeRates, 1, seconds);
        const Rate reference = stepsPerSecond(scene, computeRatesReference, cores, seconds);
        const Rate referenceOne = stepsPerSecond(scene, computeRatesReference, 1, seconds);
        Rate loaded, loadedOne;
        {
            BusyThread load;
            loaded = stepsPerSecond(scene, computeRates, cores, seconds);
            loadedOne = stepsPerSecond(scene, computeRates, 1, seconds);
        }
        std::printf("| %s | %d | %s | %s | %s | %s | %.1f | %.1f | %s | %.1f |\n", scene.name, scene.particles,
                    figure(quiet.perSecond).c_str(), figure(quietOne.perSecond).c_str(),
                    figure(loaded.perSecond).c_str(), figure(loadedOne.perSecond).c_str(), reference.perSecond,
                    quiet.perSecond / reference.perSecond, figure(quietOne.perCpuSecond).c_str(),
                    referenceOne.perCpuSecond);
        std::fflush(stdout);
    }
    std::printf("\nload average after: %s\n", loadAverage().c_str());
    return 0;
}
