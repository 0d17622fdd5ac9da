// The lane kernels against the reference loop, byte for byte. Every kernel
// this processor runs is tested, not only the one computeRates picks; a build
// without vector kernels tests its scalar computeRates the same way.
#include <dirent.h>
#include <gtest/gtest.h>
#include <omp.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "sim/boundaries.h"
#include "sim/force_kernels.h"
#include "sim/time_step.h"
#include "sim/world_state.h"

// Every operator new of this test program is counted, so a test can show that
// a stretch of code allocates nothing.
static long allocations = 0;

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

// GCC pairs the free below with the library's operator new it has in view
// and warns, though the operator new above is the one that runs.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

int asInt(PotentialKind k) { return static_cast<int>(k); }
int asInt(PairShape s) { return static_cast<int>(s); }
int asInt(BoundaryMode m) { return static_cast<int>(m); }

const double infinity = std::numeric_limits<double>::infinity();

// A build without vector kernels still has one computeRates to test.
int kernelsToTest() { return std::max(1, forceKernelCount()); }

class ForceKernels : public ::testing::TestWithParam<int> {
protected:
    std::mt19937 random{12345};
    ParticleRate fast[MaxParticles];
    ParticleRate reference[MaxParticles];

    void SetUp() override {
        if (forceKernelCount() > 0) useForceKernel(GetParam());
        world = WorldState{};
        world.particleCount = 0;
    }

    void TearDown() override {
        useForceKernel(-1);
        omp_set_num_threads(omp_get_num_procs());
    }

    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); }

    double randomSign() { return uniform(0, 1) < 0.5 ? -1 : 1; }

    // Particles spread over the window, every fifth in a tight cluster so that
    // the short-range branches (softening, sphere interiors) are taken.
    void randomWorld(int n, bool unitMasses = false) {
        world.particleCount = n;
        for (int i = 0; i < n; ++i) {
            Particle& p = world.particles[i];
            const bool clustered = i % 5 == 0;
            p.x = clustered ? uniform(240, 243) : uniform(-20, 520);
            p.y = clustered ? uniform(240, 243) : uniform(-20, 520);
            p.vx = uniform(-1, 1);
            p.vy = uniform(-1, 1);
            p.mass = unitMasses ? 1 : uniform(0.5, 2);
            p.charge = randomSign() * uniform(0.5, 2);
            p.dissipation = uniform(0.5, 1.5);
        }
    }

    void setPairSlot(int k, int kind, int shape) {
        PotentialSlot& s = world.pairSlots[k];
        s.kind = kind;
        s.shape = shape;
        s.strength = randomSign() * uniform(0.5, 5);
        s.a = uniform(5, 60);
        s.b = uniform(5, 40);
        s.c = uniform(20, 100);
        if (shape == asInt(PairShape::Power) || shape == asInt(PairShape::PowerExp)) s.a = uniform(-2.5, 2.5);
    }

    // The first particle whose rates differ from the reference's in any
    // byte, or -1.
    int firstDifference() {
        computeRates(world.particles, fast);
        computeRatesReference(world.particles, reference);
        for (int i = 0; i < world.particleCount; ++i)
            if (std::memcmp(&fast[i], &reference[i], sizeof(ParticleRate)) != 0) return i;
        return -1;
    }

    std::string describe(int i) {
        if (i < 0) return "identical";
        char text[200];
        std::snprintf(text, sizeof text, "particle %d: ax %a vs %a, ay %a vs %a", i, fast[i].ax, reference[i].ax,
                      fast[i].ay, reference[i].ay);
        return text;
    }
};

std::string kernelName(const ::testing::TestParamInfo<int>& info) {
    std::string name = forceKernelCount() > 0 ? forceKernelName(info.param) : "scalar";
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, ForceKernels, ::testing::Range(0, kernelsToTest()), kernelName);

constexpr int OddCount = 37;   // fills no vector width: every kernel has a remainder block

// Random worlds of every kind of term, each at several particle and thread
// counts: the rates must be the reference's in every byte.
TEST_P(ForceKernels, RandomWorldsGiveTheReferencesBytes) {
    struct Scene {
        const char* name;
        std::function<void()> build;
    };
    std::vector<Scene> scenes;
    for (double softening : {0.0, 1.0, 2.5})
        for (int mode = 0; mode < BoundaryModeCount; ++mode)
            for (bool unit : {false, true})
                scenes.push_back({"Coulomb", [=] {
                                      randomWorld(OddCount, unit);
                                      world.coulombStrength = static_cast<float>(randomSign() * uniform(1, 100));
                                      world.coulombSoftening = static_cast<float>(softening);
                                      world.boundaryX = mode;
                                      world.boundaryY = (mode + 2) % BoundaryModeCount;
                                  }});
    // Kinds and shapes beyond the catalogue's included: an unknown shape is 0
    // times the kind's factors, whose sign can reach a zero sum.
    for (int kind = -1; kind <= PotentialKindCount; ++kind)
        for (int shape = -1; shape <= PairShapeCount; ++shape)
            scenes.push_back({"one pair slot", [=] {
                                  randomWorld(OddCount);
                                  world.forcesEnabled = 0;
                                  setPairSlot(3, kind, shape);
                              }});
    for (int round = 0; round < 5; ++round)
        scenes.push_back({"everything", [=] {
                              randomWorld(OddCount);
                              world.coulombStrength = 20;
                              world.magneticField = 0.3f;
                              world.dragCoefficient = 0.1f;
                              world.terminalSpeed = 0.5f;
                              world.gravityY = 0.2f;
                              world.electricX = -0.1f;
                              world.boundaryX = asInt(BoundaryMode::PeriodicInteracting);
                              world.boundaryY = asInt(BoundaryMode::WallPrecise);
                              world.externalSlots[0] = {asInt(PotentialKind::EnergyDissipation), 1, 0.001, 250, 0, 0};
                              for (int k = 0; k < PotentialSlotCount; ++k)
                                  setPairSlot(k, 1 + (k + round) % 5, (k + round) % 7);
                              world.particles[4].vx = world.particles[4].vy = 0;   // at rest: no dissipation
                          }});
    // A pair's two directions share their values unless a periodic fold
    // treats them differently: separations of exactly half the period, and
    // with an odd period the values just past half, on both axes; particles
    // on a few positions, so that many pairs coincide; far pairs, where the
    // slots' exponentials are 0.
    for (int period : {500, 333})
        for (int slots : {0, 1, 2})
            scenes.push_back({"folds at half the period", [=] {
                                  randomWorld(OddCount, slots == 0);
                                  world.coulombStrength = 10;
                                  world.coulombSoftening = static_cast<float>(slots);
                                  world.windowWidth = period;
                                  world.windowHeight = period == 500 ? 333 : 500;
                                  world.boundaryX = world.boundaryY = asInt(BoundaryMode::PeriodicInteracting);
                                  const double offsets[] = {0, 0, 0.5, 1, 0.3, -0.2, 0.7};
                                  for (int i = 0; i < OddCount; ++i) {
                                      Particle& p = world.particles[i];
                                      p.x = i % 2 * (world.windowWidth / 2) + offsets[i % 7];
                                      p.y = i % 3 % 2 * (world.windowHeight / 2) + offsets[(i + 1) % 7];
                                  }
                                  if (slots == 0) return;
                                  for (int k = 0; k < 5; ++k) setPairSlot(k, 1 + k, (k + 2 * slots) % PairShapeCount);
                              }});
    for (int shape = 0; shape < PairShapeCount; ++shape)
        scenes.push_back({"far pairs", [=] {
                              randomWorld(OddCount);
                              world.coulombStrength = 10;
                              for (int i = 0; i < OddCount; i += 3) world.particles[i].x += i * 1e6;
                              for (int kind = 1; kind <= 5; ++kind) setPairSlot(kind, kind, shape);
                          }});
    for (const Scene& scene : scenes) {
        scene.build();
        EXPECT_EQ(describe(firstDifference()), "identical") << scene.name;
    }
}

TEST_P(ForceKernels, ParticleAndThreadCountsChangeNoByte) {
    for (int n : {1, 2, 3, 8, 9, 100, 301}) {
        for (int threads : {1, 2, 3}) {
            world = WorldState{};
            randomWorld(n, n % 2 == 1);
            world.coulombStrength = 10;
            world.boundaryY = asInt(BoundaryMode::PeriodicInteracting);
            if (n == 100) setPairSlot(0, asInt(PotentialKind::MassProportional), asInt(PairShape::Morse));
            omp_set_num_threads(threads);
            EXPECT_EQ(describe(firstDifference()), "identical") << n << " particles, " << threads << " threads";
        }
    }
}

// Rows of the shared-pair wavefront that stop waiting for the row before
// them (as they do when a thread is taken off its core) and compute their
// blocks alone must give the same bytes as the whole wavefront. Where a row
// gives up differs from run to run, so each world runs a few times.
TEST_P(ForceKernels, RowsThatGiveUpWaitingGiveTheReferencesBytes) {
    for (int threads : {2, 3}) {
        for (int period : {0, 0, 0, 333, 333, 333}) {
            world = WorldState{};
            randomWorld(101);
            world.coulombStrength = 10;
            if (period > 0) {
                world.windowWidth = period;
                world.boundaryX = asInt(BoundaryMode::PeriodicInteracting);
            }
            setPairSlot(0, asInt(PotentialKind::MassProportional), asInt(PairShape::Morse));
            setPairSlot(1, asInt(PotentialKind::RelativeVelocityDissipation), asInt(PairShape::Gaussian));
            omp_set_num_threads(threads);
            setWavefrontPatience(0);
            EXPECT_EQ(describe(firstDifference()), "identical") << threads << " threads, period " << period;
        }
    }
    setWavefrontPatience(-1);
}

// Numbers far outside what a window shows, zeros of both signs, and terms
// that are not finite: where the kernel cannot use its shortcuts it must
// still give the reference's bytes, and skip what the reference skips.
TEST_P(ForceKernels, ExtremeAndDegenerateWorldsGiveTheReferencesBytes) {
    struct Case {
        const char* name;
        std::function<void(Particle*)> change;   // applied to a random world of OddCount
    };
    const Case cases[] = {
        {"coincident particles without softening", [](Particle* p) { p[7].x = p[20].x, p[7].y = p[20].y; }},
        {"a NaN coordinate", [](Particle* p) { p[11].y = std::nan(""); }},
        {"an infinite velocity", [](Particle* p) { p[3].vx = infinity; }},
        {"tiny coordinates", [](Particle* p) { p[5].x = 1e-300, p[6].x = -3e-280, p[6].y = 2e-310; }},
        {"huge coordinates", [](Particle* p) { p[5].x = 1e300, p[6].y = -2.2e9, p[8].x = 4e31; }},
        {"tiny and huge masses", [](Particle* p) { p[2].mass = 1e-310, p[9].mass = 1e300, p[10].mass = 0x1p-60; }},
        {"zero and negative masses", [](Particle* p) { p[2].mass = 0, p[9].mass = -1.5, p[12].mass = -0.0; }},
        {"neutral particles", [](Particle* p) { p[1].charge = 0, p[2].charge = -0.0, p[30].charge = 1e-200; }},
        {"particles on one line", [](Particle* p) { for (int i = 0; i < 10; ++i) p[i].x = 100, p[i].vy = -1; }},
    };
    for (const Case& c : cases) {
        for (int softening : {0, 1}) {
            randomWorld(OddCount);
            world.coulombStrength = 5;
            world.coulombSoftening = static_cast<float>(softening);
            c.change(world.particles);
            EXPECT_EQ(describe(firstDifference()), "identical") << c.name << ", softening " << softening;
        }
    }
}

// Sums that stay zero keep the sign the reference gives them: with no
// magnetic field a particle moving upwards starts its x sum at -0, and a zero
// Coulomb constant or neutral partners add zeros of either sign.
TEST_P(ForceKernels, SignsOfZeroSumsAreTheReferences) {
    for (float strength : {0.0f, -0.0f, 3.0f}) {
        for (bool folds : {false, true}) {
            randomWorld(OddCount);
            world.coulombStrength = strength;
            if (folds) world.boundaryX = asInt(BoundaryMode::PeriodicInteracting);
            for (int i = 0; i < OddCount; ++i) {
                world.particles[i].vy = -1;
                world.particles[i].x = 100 + (i % 3);
                if (i % 2) world.particles[i].charge = i % 4 == 1 ? 0.0 : -0.0;
            }
            setPairSlot(0, asInt(PotentialKind::RelativeVelocityDissipation), 99);
            EXPECT_EQ(describe(firstDifference()), "identical") << "strength " << strength << ", folds " << folds;
        }
    }
}

// Two particles 2.2e9 apart under a Gaussian slot: the exponential's argument
// is about -6e15, where the Gaussian is exactly 0.
TEST_P(ForceKernels, FarGaussianPairIsZeroAsInTheReference) {
    world.particleCount = 2;
    world.forcesEnabled = 0;
    world.particles[0] = {};
    world.particles[0].mass = world.particles[0].charge = world.particles[0].dissipation = 1;
    world.particles[1] = world.particles[0];
    world.particles[1].x = 2.2e9;
    world.pairSlots[0] = {asInt(PotentialKind::MassProportional), asInt(PairShape::Gaussian), 1, 0, 20, 0};
    EXPECT_EQ(describe(firstDifference()), "identical");
    EXPECT_EQ(fast[0].ax, 0.0);
    EXPECT_EQ(fast[1].ax, 0.0);
}

// Differences grow tenfold every few steps in these worlds, so any bit the
// kernel got wrong would show up as a different state after 100 steps.
TEST_P(ForceKernels, ChaoticWorldsStayIdenticalFor100Steps) {
    omp_set_num_threads(1);   // thread counts have their own test; this one is about the bits
    for (int scene = 0; scene < 4; ++scene) {
        randomWorld(60, scene == 0);
        world.coulombStrength = 200;
        world.coulombSoftening = scene == 1 ? 0 : 2;
        world.simulationSpeed = 0.5f;
        world.boundaryX = asInt(scene % 2 ? BoundaryMode::PeriodicInteracting : BoundaryMode::Wall);
        world.boundaryY = asInt(scene == 3 ? BoundaryMode::WallPrecise : BoundaryMode::Periodic);
        if (scene >= 2) {
            setPairSlot(0, asInt(PotentialKind::MassProportional), asInt(PairShape::Morse));
            setPairSlot(1, asInt(PotentialKind::RelativeVelocityDissipation), asInt(PairShape::Gaussian));
        }
        if (scene == 3) setPairSlot(2, asInt(PotentialKind::ChargeProportional), asInt(PairShape::PowerExp));
        const WorldState start = world;
        auto run = [&](void (*rates)(const Particle*, ParticleRate*)) {
            world = start;
            for (int step = 0; step < 100; ++step) {
                advanceStepWith(rates);
                applyBoundaries();
            }
            return world;
        };
        const WorldState byKernel = run(computeRates);
        const WorldState byReference = run(computeRatesReference);
        EXPECT_EQ(std::memcmp(byKernel.particles, byReference.particles, 60 * sizeof(Particle)), 0)
            << "scene " << scene;
        EXPECT_GT(std::fabs(byReference.particles[0].x - start.particles[0].x), 1.0) << "the world must move";
    }
}

// The corrected quotients against true division over the ranges the
// Coulomb term can give them (see coulombRangeIsSafe), with zeros of both
// signs and the ends of every range.
TEST_P(ForceKernels, QuotientsAreCorrectlyRoundedOverTheirWholeRange) {
    struct Range {
        int numeratorLow, numeratorHigh, denominatorLow, denominatorHigh;
    };
    const Range ranges[] = {
        {-302, 102, -906, 306},   // dx / r^3 and dx / a^3
        {-757, 754, -50, 50},     // (dx / b) (k q qj) / m
    };
    constexpr int Count = 1 << 20;
    static double a[Count], b[Count], q[Count];
    for (const Range& range : ranges) {
        for (int round = 0; round < 4; ++round) {
            for (int k = 0; k < Count; ++k) {
                const int ea = range.numeratorLow + static_cast<int>(random() % (range.numeratorHigh - range.numeratorLow));
                const int eb = range.denominatorLow + static_cast<int>(random() % (range.denominatorHigh - range.denominatorLow));
                a[k] = k % 1024 == 0 ? (k % 2048 ? 0.0 : -0.0) : randomSign() * std::ldexp(uniform(1, 2), ea);
                b[k] = std::ldexp(k % 512 == 1 ? 2 - 0x1p-52 : k % 512 == 2 ? 1 : uniform(1, 2), eb);
            }
            laneQuotients(a, b, q, Count);
            int wrong = 0;
            for (int k = 0; k < Count; ++k) {
                const double exact = a[k] / b[k];
                if (std::memcmp(&exact, &q[k], sizeof exact) != 0 && ++wrong <= 3)
                    ADD_FAILURE() << std::hexfloat << a[k] << " / " << b[k] << " gave " << q[k];
            }
        }
    }
}

int threadsOfThisProcess() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks))
            if (entry->d_name[0] != '.') ++count;
        closedir(tasks);
    }
    return count;
}

// The simulator steps hundreds of times a second: a step must not touch the
// heap or start threads beyond the pool kept from the first one.
TEST_P(ForceKernels, AStepAllocatesNothingAndStartsNoThreads) {
    randomWorld(300);
    world.coulombStrength = 10;
    setPairSlot(0, asInt(PotentialKind::MassProportional), asInt(PairShape::Morse));
    setPairSlot(1, asInt(PotentialKind::EnergyDissipation), asInt(PairShape::Power));
    omp_set_num_threads(2);
    advanceStep();
    const long allocationsBefore = allocations;
    const int threadsBefore = threadsOfThisProcess();
    for (int step = 0; step < 5; ++step) advanceStep();
    EXPECT_EQ(allocations, allocationsBefore);
    // A thread left over from a larger OpenMP team earlier may still be ending.
    EXPECT_LE(threadsOfThisProcess(), threadsBefore);
}

TEST_P(ForceKernels, NoParticlesWritesNothing) {
    fast[0] = {7, 7, 7, 7};
    computeRates(world.particles, fast);
    EXPECT_EQ(fast[0].ax, 7);
}

}  // namespace
