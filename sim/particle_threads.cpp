#include "sim/particle_threads.h"

#include <linux/futex.h>
#include <omp.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int MaxHelpers = 15;

// Below this many pair evaluations per thread, waking a second thread costs
// more than it saves (measured with bench/force_bench.cpp on 2 cores).
constexpr double PairWorkPerThread = 20000;

// How long an idle helper keeps looking for the next job before it sleeps:
// the four force computations of a step come a few microseconds apart.
constexpr auto HelperSpin = std::chrono::microseconds(200);

// ---- What the helpers work on ----

// A copy of one job's input. A helper holds it (users > 0) while it computes
// a block from it; the caller refills only a copy nobody holds, so a helper
// that the system stopped for a while still reads consistent numbers.
struct Snapshot {
    std::atomic<int> users{0};
    std::uint64_t job = 0;
    BlockRates compute = nullptr;
    Particle particles[MaxParticles];
    alignas(64) unsigned char context[MaxJobContext];
    alignas(64) unsigned char scratch[JobScratchBytes];
};
constexpr int SnapshotCount = 8;
Snapshot snapshots[SnapshotCount];

// The job being handed out, in one word, so that a block is taken from the
// job it belongs to or not at all: generation (the job number's low 24 bits),
// snapshot (4 bits), block count (16 bits), next block (16 bits). Only ever
// compared for equality; the full job number travels in the snapshot.
std::atomic<std::uint64_t> ticket{0};
constexpr int GenerationShift = 36, SnapshotShift = 32, CountShift = 16;
constexpr std::uint64_t GenerationMask = (1u << 24) - 1;

std::uint32_t generationOf(std::uint64_t t) { return static_cast<std::uint32_t>(t >> GenerationShift); }
int snapshotOf(std::uint64_t t) { return static_cast<int>(t >> SnapshotShift & 15); }
int blockCountOf(std::uint64_t t) { return static_cast<int>(t >> CountShift & 0xffff); }
int nextBlockOf(std::uint64_t t) { return static_cast<int>(t & 0xffff); }

// Jobs are numbered from 1 in the caller's order, 56 bits' worth: centuries
// of steps, so a mark never ages out of comparison.
std::uint64_t lastJob = 0;

// Per block: the number of the job it was last finished in, and by whom (0
// the caller, h + 1 helper h), as job << 8 | owner. Whoever finishes first in
// a job sets it.
std::atomic<std::uint64_t> finished[MaxParticles];

// Each helper writes only into its own rates; the caller copies them over.
ParticleRate helperRates[MaxHelpers][MaxParticles];
ParticleRate callerRates[MaxParticles];

// The scratch of a job the caller runs by itself.
alignas(64) unsigned char soloScratch[JobScratchBytes];

std::atomic<int> helpersWanted{0};

// Each helper sleeps on its own word, so that a job wakes exactly the
// helpers it wants: the caller changes the word, then wakes the helper if it
// said it sleeps.
std::atomic<std::uint32_t> wakeWord[MaxHelpers];
std::atomic<bool> sleeping[MaxHelpers];
int helpersStarted = 0;

long futex(std::atomic<std::uint32_t>* word, int op, std::uint32_t value) {
    return syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), op, value, nullptr, nullptr, 0);
}

// Marks `block` finished in `job` by `owner`, unless someone was first; a
// mark of a later job means a helper woke up late.
bool claimFinished(int block, std::uint64_t job, int owner) {
    std::uint64_t mark = finished[block].load();
    for (;;) {
        if (mark >> 8 >= job) return false;
        if (finished[block].compare_exchange_weak(mark, job << 8 | owner)) return true;
    }
}

bool isFinished(int block, std::uint64_t job, int& owner) {
    const std::uint64_t mark = finished[block].load();
    owner = static_cast<int>(mark & 0xff);
    return mark >> 8 == job;
}

// ---- Helpers ----

// Takes and computes blocks of job `generation` until it has none left.
void helpWith(std::uint32_t generation, int helper) {
    for (;;) {
        std::uint64_t t = ticket.load();
        if (generationOf(t) != generation || nextBlockOf(t) >= blockCountOf(t)) return;
        Snapshot& snapshot = snapshots[snapshotOf(t)];
        snapshot.users.fetch_add(1);
        if (!ticket.compare_exchange_strong(t, t + 1)) {
            snapshot.users.fetch_sub(1);
            continue;
        }
        const int block = nextBlockOf(t);
        const std::uint64_t job = snapshot.job;
        snapshot.compute(block, snapshot.particles, snapshot.context, snapshot.scratch, helperRates[helper]);
        snapshot.users.fetch_sub(1);
        claimFinished(block, job, helper + 1);
    }
}

// Waits for a generation after `seen`: spinning a little, then asleep.
std::uint32_t awaitJob(std::uint32_t seen, int helper) {
    const auto spinUntil = Clock::now() + HelperSpin;
    for (int k = 0;; ++k) {
        const std::uint32_t word = wakeWord[helper].load();
        const std::uint32_t g = generationOf(ticket.load());
        if (g != seen) return g;
        relax(k);
        if (k % 64 != 63 || Clock::now() < spinUntil) continue;
        sleeping[helper].store(true);
        if (generationOf(ticket.load()) == seen) futex(&wakeWord[helper], FUTEX_WAIT_PRIVATE, word);
        sleeping[helper].store(false);
    }
}

// `seen` is the generation before the job that started the helper: a thread
// the system starts late still finds that job.
void helperLoop(int helper, std::uint32_t seen) {
    for (;;) {
        seen = awaitJob(seen, helper);
        if (helper < helpersWanted.load()) helpWith(seen, helper);
    }
}

void startHelpers(int count) {
    const std::uint32_t seen = generationOf(ticket.load());
    for (; helpersStarted < count; ++helpersStarted) std::thread(helperLoop, helpersStarted, seen).detach();
}

// ---- The caller ----

// The last snapshot again if nobody holds it: its memory is still in the
// caches (a fresh one made the first tiles of a wavefront ten times slower).
int freeSnapshot(int previous) {
    for (int k = 0; k < SnapshotCount; ++k) {
        const int s = (previous + k) % SnapshotCount;
        if (snapshots[s].users.load() == 0) return s;
    }
    return -1;
}

void copyBlock(const ParticleRate* from, ParticleRate* to, int block, int size, int particles) {
    const int first = block * size, end = std::min(particles, first + size);
    std::memcpy(to + first, from + first, (end - first) * sizeof(ParticleRate));
}

// Collects a block a helper took: its result if it comes within `patience`,
// else the caller's own, computed alone from the caller's input.
void collect(int block, int size, int particles, std::uint64_t job, Clock::duration patience,
             const Particle* state, const void* context, BlockRates compute, ParticleRate* rates) {
    int owner = 0;
    const auto giveUp = Clock::now() + patience;
    for (int k = 0; !isFinished(block, job, owner) && Clock::now() < giveUp; ++k) relax(k);
    if (!isFinished(block, job, owner)) {
        compute(block, state, context, nullptr, callerRates);
        if (claimFinished(block, job, 0)) return copyBlock(callerRates, rates, block, size, particles);
        isFinished(block, job, owner);
    }
    copyBlock(helperRates[owner - 1], rates, block, size, particles);
}

}  // namespace

void relax(int round) {
    if (round >= 64) {
        sched_yield();
        return;
    }
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

void forEachBlock(int blocks, int threads, int particles, const Particle* state, const void* context,
                  std::size_t contextBytes, BlockRates compute, ParticleRate* rates, int size) {
    static int lastSnapshot = 0;
    const int helpers = std::min({threads - 1, blocks - 1, MaxHelpers});
    const int s = helpers > 0 && contextBytes <= MaxJobContext ? freeSnapshot(lastSnapshot) : -1;
    if (s < 0) {
        for (int b = 0; b < blocks; ++b) compute(b, state, context, soloScratch, rates);
        return;
    }
    lastSnapshot = s;
    startHelpers(helpers);
    Snapshot& snapshot = snapshots[s];
    const std::uint64_t job = ++lastJob;
    snapshot.job = job;
    snapshot.compute = compute;
    std::memcpy(snapshot.particles, state, particles * sizeof(Particle));
    std::memcpy(snapshot.context, context, contextBytes);
    helpersWanted.store(helpers);
    const std::uint32_t generation = job & GenerationMask;
    ticket.store(static_cast<std::uint64_t>(generation) << GenerationShift |
                 static_cast<std::uint64_t>(s) << SnapshotShift | static_cast<std::uint64_t>(blocks) << CountShift);
    for (int h = 0; h < helpers; ++h) {
        wakeWord[h].fetch_add(1);
        if (sleeping[h].load()) futex(&wakeWord[h], FUTEX_WAKE_PRIVATE, 1);
    }

    // The caller's share: whatever is left when it asks.
    bool mine[MaxParticles] = {};
    int ownBlocks = 0;
    const auto start = Clock::now();
    for (std::uint64_t t = ticket.load(); generationOf(t) == generation && nextBlockOf(t) < blocks;) {
        if (!ticket.compare_exchange_weak(t, t + 1)) continue;
        compute(nextBlockOf(t), state, context, snapshot.scratch, rates);
        mine[nextBlockOf(t)] = true;
        ++ownBlocks;
        t = ticket.load();
    }
    // A running helper finishes its last block within about one block's time.
    const Clock::duration perBlock = ownBlocks > 0 ? (Clock::now() - start) / ownBlocks : std::chrono::microseconds(20);
    for (int b = 0; b < blocks; ++b)
        if (!mine[b]) collect(b, size, particles, job, 2 * perBlock, state, context, compute, rates);
}

void skipJobs(std::uint64_t jobs) { lastJob += jobs; }

int threadsForWork(double pairWork) {
    const int allowed = std::max(1, omp_get_max_threads());
    const double worth = 1 + pairWork / PairWorkPerThread;
    return worth >= allowed ? allowed : static_cast<int>(worth);
}
