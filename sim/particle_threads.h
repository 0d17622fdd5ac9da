// The threads the force computation runs on: a pool kept for the whole run,
// so that a step starts no thread, and a schedule that survives other
// programs on the same cores.
#pragma once

// Calls work(block, context) once for every block from 0 to blocks - 1, on
// at most `threads` threads, the caller's included; returns when every call
// has returned. A block goes whole to one thread, so the results never depend
// on the thread count or the schedule. Blocks are handed out one at a time to
// whichever thread asks next: a thread that the system has taken off its core
// holds up the rest by one block at most, never by a share of the work.
void forEachBlock(int blocks, int threads, void (*work)(int block, void* context), void* context);

// How many threads a computation of `pairWork` pair evaluations is worth: one
// per slice of work large enough to pay for waking a thread, at most the
// OpenMP maximum (OMP_NUM_THREADS, omp_set_num_threads, the batch runner's
// --threads).
int threadsForWork(double pairWork);
