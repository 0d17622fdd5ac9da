// The thread pool of the force computation: every block once, whatever the
// thread count, and a helper that the system stops for a while neither holds
// up the caller nor writes into its results afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "sim/particle_threads.h"

namespace {

// Writes, for each particle of the block, its index, its x and the context's
// number, so that a test can see who computed what from which input.
struct Context {
    double tag;
};

void writeBlock(int block, const Particle* state, const void* context, ParticleRate* rates, int size, int n) {
    const double tag = static_cast<const Context*>(context)->tag;
    for (int i = block * size; i < n && i < (block + 1) * size; ++i) rates[i] = {double(i), state[i].x, tag, 0};
}

Particle particles[MaxParticles];
ParticleRate rates[MaxParticles + 1];

constexpr int Size = 8;
int count = 0;

void plainBlock(int block, const Particle* state, const void* context, void*, ParticleRate* out) {
    writeBlock(block, state, context, out, Size, count);
}

TEST(ParticleThreads, EveryParticleOnceWithTheCallersInput) {
    for (int n : {1, 7, 8, 9, 100, 1000}) {
        for (int threads : {1, 2, 3, 8}) {
            count = n;
            for (int i = 0; i < n; ++i) particles[i].x = 3 * i + threads;
            for (ParticleRate& r : rates) r = {-1, -1, -1, -1};
            const Context context = {double(n)};
            forEachBlock((n + Size - 1) / Size, threads, n, particles, &context, sizeof context, plainBlock, rates,
                         Size);
            int wrong = 0;
            for (int i = 0; i < n; ++i)
                wrong += rates[i].dxdt != i || rates[i].dydt != 3 * i + threads || rates[i].ax != n;
            EXPECT_EQ(wrong, 0) << n << " particles, " << threads << " threads";
            EXPECT_EQ(rates[n].dxdt, -1) << "wrote past the last particle";
        }
    }
}

// The first block a helper takes, it holds until the test lets it go; the
// caller waits in its first block until that has happened.
std::thread::id caller;
std::atomic<bool> stalling{false}, released{false}, stalledDone{false};

void stallingBlock(int block, const Particle* state, const void* context, void*, ParticleRate* out) {
    if (std::this_thread::get_id() == caller)
        while (stalling) std::this_thread::yield();
    else if (stalling.exchange(false)) {
        while (!released) std::this_thread::yield();
        writeBlock(block, state, context, out, Size, count);
        stalledDone = true;
        return;
    }
    writeBlock(block, state, context, out, Size, count);
}

TEST(ParticleThreads, AStalledHelpersBlockIsDoneByTheCallerAndItsLateResultIsDropped) {
    caller = std::this_thread::get_id();
    count = 200;
    for (int i = 0; i < count; ++i) particles[i].x = i;
    stalling = true;
    const Context first = {1};
    forEachBlock(count / Size, 2, count, particles, &first, sizeof first, stallingBlock, rates, Size);
    // Returned while the helper still holds its block: the caller did it.
    EXPECT_FALSE(stalledDone);
    int wrong = 0;
    for (int i = 0; i < count; ++i) wrong += rates[i].dydt != i || rates[i].ax != 1;
    EXPECT_EQ(wrong, 0);

    // The caller moves on: new input, new job. The late helper must not
    // touch the results, then or later.
    for (int i = 0; i < count; ++i) particles[i].x = -i;
    released = true;
    while (!stalledDone) std::this_thread::yield();
    for (int i = 0; i < count; ++i) wrong += rates[i].dydt != i || rates[i].ax != 1;
    EXPECT_EQ(wrong, 0) << "the late helper wrote into the caller's results";
    const Context second = {2};
    forEachBlock(count / Size, 2, count, particles, &second, sizeof second, plainBlock, rates, Size);
    for (int i = 0; i < count; ++i) wrong += rates[i].dydt != -i || rates[i].ax != 2;
    EXPECT_EQ(wrong, 0);
}

// A helper marks each block it finishes with the job's number. Marks that
// wrap, or grow too old to compare, made a long run's blocks unclaimable and
// the caller copy another job's results. Each skip is at least three
// quarters of 2^24 jobs, so every mark left behind is that old; enough blocks that both
// helpers take some, one of them often a block the other marked last.
TEST(ParticleThreads, JobsFarIntoALongRunStillCollectEveryBlock) {
    count = 1000;
    for (int i = 0; i < count; ++i) particles[i].x = i;
    for (std::uint64_t skip = 3 << 22; skip < std::uint64_t{1} << 40; skip *= 4) {
        skipJobs(skip);
        int wrong = 0;
        for (int job = 0; job < 16; ++job) {
            const Context context = {double(job)};
            forEachBlock(count / Size, 3, count, particles, &context, sizeof context, plainBlock, rates, Size);
            for (int i = 0; i < count; ++i) wrong += rates[i].dydt != i || rates[i].ax != job;
        }
        EXPECT_EQ(wrong, 0) << "after skipping " << skip << " jobs";
    }
}

}  // namespace
