// What a fuzz target demands of every input: a failed check aborts, which
// the fuzzing engine reports with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : fuzzCheckFailed(#condition, __FILE__, __LINE__))
