// partivox-batch: runs a settings file for a number of steps without a
// window, exactly as the simulator's idle routine would, and writes the
// result; or reports the conserved quantities of a file. Scripts rely on it
// for reproducible runs: the same file and step count give the same bytes
// whatever the thread count.
#include <omp.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "launch/command_line.h"
#include "settings/file_writing.h"
#include "settings/settings_files.h"
#include "sim/boundaries.h"
#include "sim/conserved_quantities.h"
#include "sim/time_step.h"
#include "sim/world_state.h"

namespace {
struct BatchArguments {
    bool conservedOnly = false;
    std::string input;
    std::string output;
    long long steps = 0;
    int threads = 0;   // 0: the OpenMP default
};
}  // namespace

const char* const help =
    "usage: partivox-batch IN.txt OUT.txt STEPS [--threads N] | partivox-batch --conserved IN.txt\n"
    "Runs a settings file STEPS time steps without a window, exactly as the\n"
    "simulator would, and writes the result to OUT.txt; the same input gives the\n"
    "same bytes whatever the thread count. With --conserved, prints the file's\n"
    "conserved quantities instead, one 'name value' per line.\n"
    "\n"
    "  --threads N  force threads (1 to 1024; default: one per processor)\n"
    "  --help       this text\n"
    "  --version    the version\n";

[[noreturn]] static void fail(const std::string& message) {
    std::fprintf(stderr, "partivox-batch: %s\n", message.c_str());
    std::exit(2);
}

// Whole decimal numbers only: "10x" or "1e3" as a step count is a typo, not 10.
static bool parseCount(const char* text, long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= 0;
}

static BatchArguments parseArguments(int argc, char** argv) {
    const std::vector<const char*> arguments(argv + 1, argv + argc);
    answerHelpAndVersion(arguments, "partivox-batch", help);
    for (const char* argument : arguments)
        if (isOption(argument) && std::strcmp(argument, "--conserved") != 0 && std::strcmp(argument, "--threads") != 0)
            refuseOption("partivox-batch", argument);
    BatchArguments a;
    if (argc == 3 && std::string(argv[1]) == "--conserved") {
        a.conservedOnly = true;
        a.input = argv[2];
        return a;
    }
    if (argc != 4 && !(argc == 6 && std::string(argv[4]) == "--threads")) refuseArguments("partivox-batch", help);
    a.input = argv[1];
    a.output = argv[2];
    if (!parseCount(argv[3], a.steps)) fail(std::string("STEPS must be a whole number >= 0, not '") + argv[3] + "'");
    if (argc == 6) {
        long long threads = 0;
        if (!parseCount(argv[5], threads) || threads < 1 || threads > 1024)
            fail(std::string("--threads needs a number from 1 to 1024, not '") + argv[5] + "'");
        a.threads = static_cast<int>(threads);
    }
    return a;
}

// A half-read file would run silently on stale values, so anything short of
// the whole layout is refused.
static void loadInput(const std::string& path) {
    world = WorldState{};
    const LoadResult result = loadSettingsFile(path, world, SizeLines::Window, OtherFiles::Used);
    if (!result.opened) fail("cannot open '" + path + "' for reading");
    if (!result.complete)
        fail("'" + path + "' is incomplete or damaged: reading stopped at line " +
             std::to_string(result.valuesTaken + 1));
}

// Results that never reached standard output (a full disk, a closed pipe)
// are a failure, not a silent success.
static void printConserved() {
    computeConservedQuantities();
    std::cout.precision(20);
    for (int k = 0; k < Conserved::Count; ++k)
        std::cout << Conserved::names[k] << ' ' << static_cast<double>(world.conservedValues[k]) << '\n';
    if (!std::cout.flush()) fail(std::string("cannot write to standard output: ") + std::strerror(errno));
}

// What the simulator's idle routine does to the particles, once per step.
static void runSteps(long long steps) {
    for (long long s = 0; s < steps; ++s) {
        advanceStep();
        applyBoundaries();
    }
}

static void reportSpeed(long long steps, double seconds) {
    const double n = world.particleCount;
    const double pairsPerStep = 4 * n * (n - 1);
    const double stepsPerSecond = seconds > 0 ? steps / seconds : 0;
    std::fprintf(stderr, "steps per second: %.6g\n", stepsPerSecond);
    std::fprintf(stderr, "pair interactions per second: %.6g\n", stepsPerSecond * pairsPerStep);
}

int main(int argc, char** argv) {
    failWritesPastTheFileSizeLimit();
    const BatchArguments a = parseArguments(argc, argv);
    loadInput(a.input);
    if (a.conservedOnly) {
        printConserved();
        return 0;
    }
    if (a.threads > 0) omp_set_num_threads(a.threads);
    const auto start = std::chrono::steady_clock::now();
    runSteps(a.steps);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const std::string failure = writeSettingsOutput(a.output, world);
    if (!failure.empty()) fail("cannot write '" + a.output + "': " + failure);
    reportSpeed(a.steps, elapsed.count());
    return 0;
}
