// The threads the force computation runs on: a pool kept for the whole run,
// so that a step starts no thread, and a schedule that survives other
// programs on the same cores.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/force_rates.h"

// Fills rates[first .. last) of one block of particles from `state` and the
// settings in `context`. Must give the same bits whichever thread calls it.
using BlockRates = void (*)(int block, const Particle* state, const void* context, ParticleRate* rates);

// Largest context a job may carry; the pool keeps copies of it.
constexpr std::size_t MaxJobContext = 2048;

// Calls compute for every block from 0 to blocks - 1 and returns when rates
// holds all of them, using at most `threads` threads, the caller's included.
// A block is computed whole by one thread, so the results never depend on the
// thread count or the schedule.
//
// Blocks are handed out one at a time to whichever thread asks next. The
// caller never waits for a helper that the system has taken off its core: a
// block a helper has not finished soon after the caller ran out of blocks,
// the caller computes again itself, and the first result in counts (both are
// the same bits). Helpers work on the pool's own copies of the particles and
// the context, so one that wakes up late never reads what the caller has
// since changed, and writes only into its own buffer.
//
// One caller at a time: the simulator steps from its one main thread.
void forEachBlock(int blocks, int threads, int particles, const Particle* state, const void* context,
                  std::size_t contextBytes, BlockRates compute, ParticleRate* rates, int blockSize);

// Makes the next job job number `jobs` (never one below a job already run),
// so that the tests reach the far end of the job counter without running all
// the jobs before it.
void countJobsFrom(std::uint64_t jobs);

// How many threads a computation of `pairWork` pair evaluations is worth: one
// per slice of work large enough to pay for waking a thread, at most the
// OpenMP maximum (OMP_NUM_THREADS, omp_set_num_threads, the batch runner's
// --threads).
int threadsForWork(double pairWork);
