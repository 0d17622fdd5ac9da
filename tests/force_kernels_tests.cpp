// The lane kernels against the reference loop. Every kernel this processor
// runs is tested, not only the one computeRates picks.
//
// The bound: every rate component of every particle is within
// UlpBound * 2^-52 * S of the reference, where S is the sum of the magnitudes
// of all terms that went into that component (one-body part plus every pair
// term, each measured with the reference on a world of just that pair; for
// the four terms that cancel internally, the magnitudes of their parts, see
// useCancellingParts). This is "a few units in the last place per term": a
// term with a relative error of k ulps contributes at most k * 2^-52 * |term|.
#include <dirent.h>
#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <random>
#include <new>
#include <string>

#include "force_kernels.h"
#include "time_step.h"
#include "world_state.h"

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

constexpr double UlpBound = 8;   // worst measured over 13 seeds: 3.7 (Coulomb, AVX2)
constexpr double Ulp = 0x1p-52;

int asInt(PotentialKind k) { return static_cast<int>(k); }
int asInt(PairShape s) { return static_cast<int>(s); }
int asInt(BoundaryMode m) { return static_cast<int>(m); }

class ForceKernels : public ::testing::TestWithParam<int> {
protected:
    std::mt19937 random{12345};
    ParticleRate fast[MaxParticles];
    ParticleRate reference[MaxParticles];

    const ForceKernel& kernel() { return forceKernels[GetParam()]; }

    void SetUp() override {
        if (!kernel().processorHasIt()) GTEST_SKIP() << kernel().instructionSet << " not on this processor";
        world = WorldState{};
        world.particleCount = 0;
    }

    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); }

    double randomSign() { return uniform(0, 1) < 0.5 ? -1 : 1; }

    // Particles spread over the window, a few of them in a tight cluster so
    // that the short-range branches (softening, sphere interiors) are taken.
    void randomWorld(int n) {
        world.particleCount = n;
        for (int i = 0; i < n; ++i) {
            Particle& p = world.particles[i];
            const bool clustered = i % 5 == 0;
            p.x = clustered ? uniform(240, 243) : uniform(-20, 520);
            p.y = clustered ? uniform(240, 243) : uniform(-20, 520);
            p.vx = uniform(-1, 1);
            p.vy = uniform(-1, 1);
            p.mass = uniform(0.5, 2);
            p.charge = randomSign() * uniform(0.5, 2);
            p.dissipation = uniform(0.5, 1.5);
        }
    }

    void setPairSlot(int k, PotentialKind kind, PairShape shape) {
        PotentialSlot& s = world.pairSlots[k];
        s.kind = asInt(kind);
        s.shape = asInt(shape);
        s.strength = randomSign() * uniform(0.5, 5);
        s.a = uniform(5, 60);
        s.b = uniform(5, 40);
        s.c = uniform(20, 100);
        if (shape == PairShape::Power || shape == PairShape::PowerExp) s.a = uniform(-2.5, 2.5);
    }

    // Adds |term| of every pair (i, j), per component, each measured with the
    // reference on a world of just that pair; `both` adds |x| + |y| to each.
    void addPairTermMagnitudes(int i, int n, const ParticleRate& alone, bool both, double& sx, double& sy) {
        Particle pair[2] = {world.particles[i], {}};
        ParticleRate together[2];
        world.particleCount = 2;
        for (int j = 0; j < n; ++j) {
            if (j == i) continue;
            pair[1] = world.particles[j];
            computeRatesReference(pair, together);
            const double tx = std::fabs(together[0].ax - alone.ax), ty = std::fabs(together[0].ay - alone.ay);
            sx += both ? tx + ty : tx;
            sy += both ? tx + ty : ty;
        }
        world.particleCount = n;
    }

    // Four terms subtract nearly equal parts, so their rounding scales with
    // the parts, not with the difference: Morse's e2 - 2 e1 (value) and
    // e2 - e1 (gradient), Tanh's 1 - tanh t, and the projection
    // Ax dx + Ay dy of AngularMomentumDissipation. The parts are reference
    // terms themselves: PowerExp with exponent 0 is e^(-r/c), so Morse is
    // s e^(2a/b) times PowerExp(c = b/2) less 2 s e^(a/b) times
    // PowerExp(c = b); Power with exponent 0 is 1, and 2 s times it bounds
    // both parts of Tanh; the force before projection is the slot's
    // RelativeVelocityDissipation term, which bounds the projected one in
    // both components. Part 0 or 1 of every such slot replaces the slots;
    // false if there is none.
    bool useCancellingParts(int part, const PotentialSlot* original) {
        bool any = false;
        for (int k = 0; k < PotentialSlotCount; ++k) {
            PotentialSlot s = original[k];
            const bool morse = s.shape == asInt(PairShape::Morse);
            const bool step = s.shape == asInt(PairShape::Tanh) && part == 0;
            const bool projected = s.kind == asInt(PotentialKind::AngularMomentumDissipation);
            if (morse) {
                s.strength *= part == 0 ? std::exp(2 * s.a / s.b) : 2 * std::exp(s.a / s.b);
                s = {s.kind, asInt(PairShape::PowerExp), s.strength, 0, 1, part == 0 ? s.b / 2 : s.b};
            }
            if (step) s = {s.kind, asInt(PairShape::Power), 2 * s.strength, 0, 1, 0};
            if (projected) s.kind = asInt(PotentialKind::RelativeVelocityDissipation);
            world.pairSlots[k] = morse || step || projected ? s : PotentialSlot{};
            any = any || morse || step || projected;
        }
        return any;
    }

    // What the rounding of particle i's rates scales with, per component: the
    // magnitudes of all its terms, with the parts of the cancelling ones.
    void termScale(int i, double& sx, double& sy) {
        const int n = world.particleCount;
        ParticleRate alone[1];
        world.particleCount = 1;
        computeRatesReference(&world.particles[i], alone);
        world.particleCount = n;
        sx = std::fabs(alone[0].ax);
        sy = std::fabs(alone[0].ay);
        addPairTermMagnitudes(i, n, alone[0], false, sx, sy);
        PotentialSlot original[PotentialSlotCount];
        std::memcpy(original, world.pairSlots, sizeof original);
        for (int part = 0; part < 2 && useCancellingParts(part, original); ++part)
            addPairTermMagnitudes(i, n, alone[0], true, sx, sy);
        std::memcpy(world.pairSlots, original, sizeof original);
    }

    // Largest error of any component, in units of Ulp times its term scale.
    double worstErrorInUlps() {
        kernel().computeRates(world.particles, fast);
        computeRatesReference(world.particles, reference);
        double worst = 0;
        for (int i = 0; i < world.particleCount; ++i) {
            EXPECT_EQ(fast[i].dxdt, reference[i].dxdt);
            EXPECT_EQ(fast[i].dydt, reference[i].dydt);
            EXPECT_TRUE(std::isfinite(fast[i].ax) && std::isfinite(fast[i].ay)) << "particle " << i;
            double sx, sy;
            termScale(i, sx, sy);
            const double ex = std::fabs(fast[i].ax - reference[i].ax);
            const double ey = std::fabs(fast[i].ay - reference[i].ay);
            if (ex > 0) worst = std::max(worst, ex / (Ulp * sx));
            if (ey > 0) worst = std::max(worst, ey / (Ulp * sy));
        }
        return worst;
    }
};

std::string kernelName(const ::testing::TestParamInfo<int>& info) {
    std::string name = forceKernels[info.param].instructionSet;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, ForceKernels, ::testing::Range(0, ForceKernelCount), kernelName);

constexpr int OddCount = 37;   // fills no vector width: every kernel has a remainder block

TEST_P(ForceKernels, CoulombWithAndWithoutSofteningAndEveryBoundary) {
    for (double softening : {0.0, 1.0, 2.5}) {
        for (int mode = 0; mode < BoundaryModeCount; ++mode) {
            randomWorld(OddCount);
            world.coulombStrength = static_cast<float>(randomSign() * uniform(1, 100));
            world.coulombSoftening = static_cast<float>(softening);
            world.boundaryX = mode;
            world.boundaryY = (mode + 2) % BoundaryModeCount;
            EXPECT_LE(worstErrorInUlps(), UlpBound) << "softening " << softening << ", mode " << mode;
        }
    }
}

TEST_P(ForceKernels, EveryPairSlotKindAndShape) {
    for (int kind = asInt(PotentialKind::ChargeProportional); kind < PotentialKindCount; ++kind) {
        for (int shape = 0; shape < PairShapeCount; ++shape) {
            randomWorld(OddCount);
            world.forcesEnabled = 0;
            setPairSlot(3, static_cast<PotentialKind>(kind), static_cast<PairShape>(shape));
            EXPECT_LE(worstErrorInUlps(), UlpBound) << "kind " << kind << ", shape " << shape;
        }
    }
}

TEST_P(ForceKernels, AllSlotsWithCoulombOneBodyTermsAndFoldedSeparations) {
    for (int round = 0; round < 5; ++round) {
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
            setPairSlot(k, static_cast<PotentialKind>(1 + (k + round) % 5), static_cast<PairShape>((k + round) % 7));
        EXPECT_LE(worstErrorInUlps(), UlpBound) << "round " << round;
    }
}

// A lone Coulomb term has no cancellation, so here the bound is on the term
// itself: 6 * 2^-52 of its own size (worst over 13 seeds 4.3), from well inside
// the softening distance to far outside it. Both sides round several times.
TEST_P(ForceKernels, LoneCoulombTermWithinSixUlpsAtAnyDistance) {
    world.coulombStrength = 7;
    world.coulombSoftening = 1;
    world.particleCount = 2;
    double worst = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const double distance = std::pow(10.0, uniform(-3, 4));
        const double angle = uniform(0, 6.283185307179586);
        Particle* p = world.particles;
        p[0] = {};
        p[0].x = uniform(0, 500);
        p[0].y = uniform(0, 500);
        p[0].mass = uniform(0.5, 2);
        p[0].charge = randomSign() * uniform(0.5, 2);
        p[1] = p[0];
        p[1].x += distance * std::cos(angle);
        p[1].y += distance * std::sin(angle);
        kernel().computeRates(p, fast);
        computeRatesReference(p, reference);
        for (int i = 0; i < 2; ++i) {
            worst = std::max(worst, std::fabs(fast[i].ax - reference[i].ax) / (Ulp * std::fabs(reference[i].ax)));
            worst = std::max(worst, std::fabs(fast[i].ay - reference[i].ay) / (Ulp * std::fabs(reference[i].ay)));
        }
    }
    EXPECT_LE(worst, 6);
}

// The reference skips a term whose x or y part is not finite; so must the
// kernel, or one pair poisons the whole world with NaN.
TEST_P(ForceKernels, DegenerateTermsAreSkippedAsInTheReference) {
    randomWorld(OddCount);
    world.coulombStrength = 5;
    world.coulombSoftening = 0;                                 // 1/r^3 at r = 0
    world.particles[7].x = world.particles[20].x;               // two coincident particles
    world.particles[7].y = world.particles[20].y;
    world.particles[11].y = std::nan("");                       // a particle gone bad
    setPairSlot(0, PotentialKind::MassProportional, PairShape::Gaussian);
    world.pairSlots[0].b = 0;                                   // 0/0 in every Gaussian term
    setPairSlot(1, PotentialKind::AngularMomentumDissipation, PairShape::Morse);
    EXPECT_LE(worstErrorInUlps(), UlpBound);
}

TEST_P(ForceKernels, BitIdenticalForAnyThreadCount) {
    randomWorld(301);
    world.coulombStrength = 10;
    world.boundaryY = asInt(BoundaryMode::PeriodicInteracting);
    setPairSlot(0, PotentialKind::MassProportional, PairShape::Morse);
    setPairSlot(1, PotentialKind::RelativeVelocityDissipation, PairShape::Gaussian);
    static ParticleRate byThreads[3][MaxParticles];
    for (int threads = 1; threads <= 3; ++threads) {
        omp_set_num_threads(threads);
        kernel().computeRates(world.particles, byThreads[threads - 1]);
    }
    omp_set_num_threads(omp_get_num_procs());
    EXPECT_EQ(std::memcmp(byThreads[0], byThreads[1], 301 * sizeof(ParticleRate)), 0);
    EXPECT_EQ(std::memcmp(byThreads[0], byThreads[2], 301 * sizeof(ParticleRate)), 0);
}

// Uncharged particles add exact zeros to every sum, so putting k of them in
// front moves the charged ones through every lane, block and remainder
// without changing what they feel: their rates must keep every bit.
TEST_P(ForceKernels, ALanesPositionDoesNotChangeItsParticlesRates) {
    constexpr int Charged = 13;
    randomWorld(Charged);
    world.coulombStrength = 10;
    setPairSlot(0, PotentialKind::ChargeProportional, PairShape::Morse);
    Particle charged[Charged];
    std::memcpy(charged, world.particles, sizeof charged);
    ParticleRate first[Charged];
    for (int k = 0; k <= 16; ++k) {
        world.particleCount = k + Charged;
        for (int i = 0; i < k; ++i) {
            world.particles[i] = charged[i % Charged];
            world.particles[i].x += 1000 + 7 * i;                  // far from all, never coincident
            world.particles[i].charge = 0;
        }
        std::memcpy(world.particles + k, charged, sizeof charged);
        kernel().computeRates(world.particles, fast);
        if (k == 0) std::memcpy(first, fast, sizeof first);
        EXPECT_EQ(std::memcmp(first, fast + k, sizeof first), 0) << k << " uncharged particles in front";
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
// heap or start threads beyond the pool OpenMP keeps from the first one.
TEST_P(ForceKernels, AStepAllocatesNothingAndStartsNoThreads) {
    randomWorld(300);
    world.coulombStrength = 10;
    setPairSlot(0, PotentialKind::MassProportional, PairShape::Morse);
    setPairSlot(1, PotentialKind::EnergyDissipation, PairShape::Power);
    omp_set_num_threads(2);
    advanceStepWith(kernel().computeRates);
    const long allocationsBefore = allocations;
    const int threadsBefore = threadsOfThisProcess();
    for (int step = 0; step < 5; ++step) advanceStepWith(kernel().computeRates);
    EXPECT_EQ(allocations, allocationsBefore);
    // A thread left over from a larger team earlier may still be ending.
    EXPECT_LE(threadsOfThisProcess(), threadsBefore);
    omp_set_num_threads(omp_get_num_procs());
}

TEST_P(ForceKernels, NoParticlesWritesNothing) {
    fast[0] = {7, 7, 7, 7};
    kernel().computeRates(world.particles, fast);
    EXPECT_EQ(fast[0].ax, 7);
}

}  // namespace
