// partivox-batch: runs a settings file for a number of steps without a
// window, exactly as the simulator's idle routine would, and writes the
// result; or reports the conserved quantities of a file. Scripts rely on it
// for reproducible runs: the same file and step count give the same bytes
// whatever the thread count. With --series it also writes the conserved
// quantities every K steps as CSV.
#include <omp.h>

#include <cerrno>
#include <chrono>
#include <climits>
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
#include "sim/conserved_series.h"
#include "sim/time_step.h"
#include "sim/world_state.h"

namespace {
struct BatchArguments {
    bool conservedOnly = false;
    std::string input;
    std::string output;
    long long steps = 0;
    int threads = 0;   // 0: the OpenMP default
    std::string series;       // "": no CSV of the conserved quantities
    long long every = 1;      // steps between two rows of the series
};
}  // namespace

const char* const help =
    "usage: partivox-batch IN.txt OUT.txt STEPS [--threads N] [--series FILE.csv [--every K]] |"
    " partivox-batch --conserved IN.txt\n"
    "Runs a settings file STEPS time steps without a window, exactly as the\n"
    "simulator would, and writes the result to OUT.txt; the same input gives the\n"
    "same bytes whatever the thread count. With --conserved, prints the file's\n"
    "conserved quantities instead, one 'name value' per line.\n"
    "\n"
    "  --threads N         force threads (1 to 1024; default: one per processor)\n"
    "  --series FILE.csv   the 16 conserved quantities as CSV, a row at step 0,\n"
    "                      every K steps and at the last step\n"
    "  --every K           the rows' spacing in steps (default 1)\n"
    "  --help              this text\n"
    "  --version           the version\n";

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

// A whole number from `low` to `high` for an option, or the usage error.
static long long optionCount(const char* option, const char* text, long long low, long long high) {
    long long value = 0;
    if (!parseCount(text, value) || value < low || value > high)
        fail(std::string(option) + " needs a number from " + std::to_string(low) + " to " + std::to_string(high) +
             ", not '" + text + "'");
    return value;
}

static bool isBatchOption(const char* argument) {
    for (const char* option : {"--conserved", "--threads", "--series", "--every"})
        if (std::strcmp(argument, option) == 0) return true;
    return false;
}

static BatchArguments parseArguments(int argc, char** argv) {
    const std::vector<const char*> arguments(argv + 1, argv + argc);
    answerHelpAndVersion(arguments, "partivox-batch", help);
    for (const char* argument : arguments)
        if (isOption(argument) && !isBatchOption(argument)) refuseOption("partivox-batch", argument);
    BatchArguments a;
    if (argc == 3 && std::string(argv[1]) == "--conserved") {
        a.conservedOnly = true;
        a.input = argv[2];
        return a;
    }
    if (argc < 4 || argc % 2 != 0) refuseArguments("partivox-batch", help);
    a.input = argv[1];
    a.output = argv[2];
    if (!parseCount(argv[3], a.steps)) fail(std::string("STEPS must be a whole number >= 0, not '") + argv[3] + "'");
    bool everyGiven = false;
    for (int i = 4; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--threads") {
            a.threads = static_cast<int>(optionCount("--threads", argv[i + 1], 1, 1024));
        } else if (option == "--series") {
            a.series = argv[i + 1];
        } else if (option == "--every") {
            a.every = optionCount("--every", argv[i + 1], 1, LLONG_MAX);
            everyGiven = true;
        } else {
            refuseArguments("partivox-batch", help);
        }
    }
    if (everyGiven && a.series.empty()) fail("--every needs --series FILE.csv");
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

// What the simulator's idle routine does to the particles, once per step;
// the series gets a row at step 0, every `every` steps and at the last step.
static void runSteps(long long steps, long long every, std::string* series) {
    float values[Conserved::Count];
    for (long long s = 0;; ++s) {
        if (series != nullptr && (s % every == 0 || s == steps)) {
            computeConservedQuantitiesInto(values);
            *series += seriesRow(s, s * static_cast<double>(world.simulationSpeed), values);
        }
        if (s == steps) return;
        advanceStep();
        applyBoundaries();
    }
}

static void writeOutput(const std::string& path, const std::string& text) {
    const std::string failure = writeOutputFile(path, text, OtherFiles::Used);
    if (!failure.empty()) fail("cannot write '" + path + "': " + failure);
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
    std::string series = seriesHeader();
    const auto start = std::chrono::steady_clock::now();
    runSteps(a.steps, a.every, a.series.empty() ? nullptr : &series);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    // The series first: a run whose series is lost leaves no OUT either.
    if (!a.series.empty()) writeOutput(a.series, series);
    const std::string failure = writeSettingsOutput(a.output, world);
    if (!failure.empty()) fail("cannot write '" + a.output + "': " + failure);
    reportSpeed(a.steps, elapsed.count());
    return 0;
}
