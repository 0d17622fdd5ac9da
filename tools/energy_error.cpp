// partivox-energy-error: how far the total energy of a conservative scene
// strays under the Runge-Kutta step, for several step sizes. The largest
// deviation over a fixed stretch of time shrinks as the fourth power of the
// step size: the figure in the README, and a test of the integrator's order.
//
//   partivox-energy-error SCENE.txt TIME STEP_SIZE...
//
// Prints "step_size,energy_error" and a row per step size, the energy taken
// in double precision (the panel's single precision would hide the error).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings_files.h"
#include "sim/boundaries.h"
#include "sim/conserved_quantities.h"
#include "sim/time_step.h"
#include "sim/world_state.h"

[[noreturn]] static void fail(const std::string& message) {
    std::fprintf(stderr, "partivox-energy-error: %s\n", message.c_str());
    std::exit(2);
}

static double positiveNumber(const char* text) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value > 0) || !std::isfinite(value))
        fail(std::string("expected a positive number, not '") + text + "'");
    return value;
}

static double totalEnergy() {
    double e[Conserved::Count];
    computeConservedQuantitiesInDouble(e);
    return e[Conserved::totalEnergy];
}

// The largest |E(t) - E(0)| over `time` with the scene's step size set to h.
static double largestEnergyError(const std::string& scene, double time, float h) {
    world = WorldState{};
    if (!loadSettingsFile(scene, world, SizeLines::Window, OtherFiles::Used).complete)
        fail("cannot read the whole of '" + scene + "'");
    world.simulationSpeed = h;
    const double start = totalEnergy();
    double largest = 0;
    for (long long s = 0; s < std::llround(time / h); ++s) {
        advanceStep();
        applyBoundaries();
        largest = std::fmax(largest, std::fabs(totalEnergy() - start));
    }
    return largest;
}

int main(int argc, char** argv) {
    if (argc < 4) fail("usage: partivox-energy-error SCENE.txt TIME STEP_SIZE...");
    const double time = positiveNumber(argv[2]);
    std::printf("step_size,energy_error\n");
    for (int k = 3; k < argc; ++k) {
        const float h = static_cast<float>(positiveNumber(argv[k]));
        std::printf("%.9g,%.6e\n", h, largestEnergyError(argv[1], time, h));
    }
    return 0;
}
