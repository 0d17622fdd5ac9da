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
#include <thread>

namespace {

constexpr int MaxHelpers = 63;

// Below this many pair evaluations per thread, waking a second thread costs
// more than it saves (measured with bench/force_bench.cpp on 2 cores).
constexpr double PairWorkPerThread = 20000;

// How long an idle helper keeps looking for the next job before it sleeps:
// the four force computations of a step come a few microseconds apart.
constexpr auto HelperSpin = std::chrono::microseconds(200);

// The job being handed out, in one word so that a helper can never take a
// block of a newer job for an older one: generation (24 bits), block count
// (20 bits), next block (20 bits).
std::atomic<std::uint64_t> ticket{0};
constexpr int BlockBits = 20;
constexpr std::uint64_t BlockMask = (1u << BlockBits) - 1;

std::uint64_t generationOf(std::uint64_t t) { return t >> (2 * BlockBits); }
int blockCountOf(std::uint64_t t) { return static_cast<int>((t >> BlockBits) & BlockMask); }
int nextBlockOf(std::uint64_t t) { return static_cast<int>(t & BlockMask); }

// Written before the ticket publishes them; read only by a thread that holds
// an unfinished block of the job, so never while the caller rewrites them.
void (*jobWork)(int, void*) = nullptr;
void* jobContext = nullptr;
std::atomic<int> helpersWanted{0};
std::atomic<int> blocksDone{0};

// The futex word helpers sleep on: the low 32 bits of the generation.
std::atomic<std::uint32_t> wakeWord{0};
std::atomic<int> sleepers{0};
int helpersStarted = 0;

long futex(std::atomic<std::uint32_t>* word, int op, std::uint32_t value) {
    return syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), op, value, nullptr, nullptr, 0);
}

void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Takes the next block of job `generation`, or returns -1 when it has none left.
int takeBlock(std::uint64_t generation) {
    std::uint64_t t = ticket.load(std::memory_order_acquire);
    while (generationOf(t) == generation && nextBlockOf(t) < blockCountOf(t)) {
        if (ticket.compare_exchange_weak(t, t + 1, std::memory_order_acq_rel)) return nextBlockOf(t);
    }
    return -1;
}

void workOn(std::uint64_t generation) {
    for (int b; (b = takeBlock(generation)) >= 0;) {
        jobWork(b, jobContext);
        blocksDone.fetch_add(1, std::memory_order_release);
    }
}

// Waits for a generation after `seen`: spinning a little, then asleep.
std::uint64_t awaitJob(std::uint64_t seen) {
    const auto spinUntil = std::chrono::steady_clock::now() + HelperSpin;
    for (int k = 0;; ++k) {
        const std::uint64_t g = generationOf(ticket.load(std::memory_order_acquire));
        if (g != seen) return g;
        if (k % 64 != 63) {
            relax();
            continue;
        }
        if (std::chrono::steady_clock::now() < spinUntil) continue;
        sleepers.fetch_add(1, std::memory_order_seq_cst);
        const std::uint32_t word = static_cast<std::uint32_t>(seen);
        if (wakeWord.load(std::memory_order_seq_cst) == word) futex(&wakeWord, FUTEX_WAIT_PRIVATE, word);
        sleepers.fetch_sub(1, std::memory_order_seq_cst);
    }
}

void helperLoop(int index) {
    std::uint64_t seen = generationOf(ticket.load(std::memory_order_acquire));
    for (;;) {
        seen = awaitJob(seen);
        if (index < helpersWanted.load(std::memory_order_acquire)) workOn(seen);
    }
}

void startHelpers(int count) {
    for (; helpersStarted < count; ++helpersStarted) std::thread(helperLoop, helpersStarted).detach();
}

// The caller never sleeps: it yields, so that a helper holding the last block
// gets the core if the system has only this one to give.
void awaitBlocks(int blocks) {
    for (int k = 0; blocksDone.load(std::memory_order_acquire) < blocks; ++k) {
        if (k < 256)
            relax();
        else
            sched_yield();
    }
}

}  // namespace

void forEachBlock(int blocks, int threads, void (*work)(int block, void* context), void* context) {
    if (blocks <= 0) return;
    const int helpers = std::min({threads - 1, blocks - 1, MaxHelpers});
    if (helpers <= 0) {
        for (int b = 0; b < blocks; ++b) work(b, context);
        return;
    }
    startHelpers(helpers);
    jobWork = work;
    jobContext = context;
    helpersWanted.store(helpers, std::memory_order_relaxed);
    blocksDone.store(0, std::memory_order_relaxed);
    const std::uint64_t generation = (generationOf(ticket.load(std::memory_order_relaxed)) + 1) & 0xffffff;
    ticket.store(generation << (2 * BlockBits) | static_cast<std::uint64_t>(blocks) << BlockBits,
                 std::memory_order_seq_cst);
    wakeWord.store(static_cast<std::uint32_t>(generation), std::memory_order_seq_cst);
    if (sleepers.load(std::memory_order_seq_cst) > 0) futex(&wakeWord, FUTEX_WAKE_PRIVATE, helpers);
    workOn(generation);
    awaitBlocks(blocks);
}

int threadsForWork(double pairWork) {
    const int allowed = std::max(1, omp_get_max_threads());
    const double worth = 1 + pairWork / PairWorkPerThread;
    return worth >= allowed ? allowed : static_cast<int>(worth);
}
