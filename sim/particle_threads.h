// The threads the force computation runs on: a pool kept for the whole run,
// so that a step starts no thread, and a schedule that survives other
// programs on the same cores.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/force_rates.h"

// Fills rates[first .. last) of one block of particles from `state` and the
// settings in `context`. Must give the same bits whichever thread calls it.
//
// `scratch` (JobScratchBytes) is shared by every block of one job, so that a
// block can hand partial results on to the blocks after it; it holds whatever
// the job left there, earlier jobs' leftovers included. A block given scratch
// may wait for an earlier block's partial results; one that waits too long
// computes its block alone, as it must when `scratch` is null: from `state`
// and `context` only, without waiting for anyone.
using BlockRates = void (*)(int block, const Particle* state, const void* context, void* scratch,
                            ParticleRate* rates);

// Largest context a job may carry; the pool keeps copies of it.
constexpr std::size_t MaxJobContext = 2048;

// The scratch each job gets.
constexpr std::size_t JobScratchBytes = 128 * 1024;

// Calls compute for every block from 0 to blocks - 1 and returns when rates
// holds all of them, using at most `threads` threads, the caller's included.
// A block is computed whole by one thread, so the results never depend on the
// thread count or the schedule. Blocks are handed out in ascending order.
//
// Blocks are handed out one at a time to whichever thread asks next. The
// caller never waits for a helper that the system has taken off its core: a
// block a helper has not finished soon after the caller ran out of blocks,
// the caller computes again itself, and the first result in counts (both are
// the same bits), computing it alone. Helpers work on the pool's own copies
// of the particles and the context, the caller on its own input (the same
// numbers, read faster from its own caches), and all of them on the job's
// scratch, so a helper that wakes up late never reads what the caller has
// since changed, and writes only into its own buffer and the scratch of a
// job nobody waits for any more.
//
// One caller at a time: the simulator steps from its one main thread.
void forEachBlock(int blocks, int threads, int particles, const Particle* state, const void* context,
                  std::size_t contextBytes, BlockRates compute, ParticleRate* rates, int blockSize);

// One round of a wait loop: a pause for the first rounds, then a yield, which
// on a busy machine hands the core to whoever the system has waiting, perhaps
// the very thread being waited for.
void relax(int round);

// Counts `jobs` jobs as run without running them, so that the tests reach the
// far end of the job counter. It only moves forward: a job numbered below
// one already run would find blocks marked as finished by it.
void skipJobs(std::uint64_t jobs);

// How many threads a computation of `pairWork` pair evaluations is worth: one
// per slice of work large enough to pay for waking a thread, at most the
// OpenMP maximum (OMP_NUM_THREADS, omp_set_num_threads, the batch runner's
// --threads).
int threadsForWork(double pairWork);
