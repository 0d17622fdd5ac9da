// Times the simulator's real interactive loop: the program's own start-up,
// windows and idle routine under GLUT, on a settings file, for a few
// seconds; then the time of one frame of the main window. Run it under an X
// server (bench/interactive_loop.sh does, beside the batch runner).
//
//   partivox-loop-bench FILE INTERVAL SECONDS [--open]
//                                               loop steps/s and frame time;
//                                               --open: every rollout open, so
//                                               the values shown change each frame
//   partivox-loop-bench --write-scene FILE      the 1000-particle Coulomb scene
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "glui/glui.h"
#include "settings/settings_files.h"
#include "sim/world_init.h"
#include "sim/world_state.h"
#include "ui/control_panel.h"
#include "ui/main_window_drawing.h"
#include "ui/run_state.h"
#include "ui/start_up.h"
#include "ui/window_seam.h"

namespace {
using Clock = std::chrono::steady_clock;

// The force benchmark's Coulomb scene: 1000 particles of alternating charge,
// Coulomb strength 10, softening 3, nothing else.
int writeScene(const char* path) {
    world = WorldState{};
    world.particleCount = MaxParticles;
    std::srand(1);
    initWorld();
    for (int i = 0; i < world.particleCount; ++i) world.particles[i].charge = i % 2 ? 1 : -1;
    world.coulombStrength = 10;
    world.coulombSoftening = 3;
    return writeSettingsFileAtomically(path, world) ? 0 : 2;
}

// GLUT's own main loop, pass by pass, as glutMainLoop runs it (events and
// redisplays, then the idle routine), for a given time; steps per second.
double runLoop(double seconds) {
    long long steps = 0;
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    Clock::time_point now = start;
    while (now < end) {
        glutMainLoopEvent();
        GLUI_Master.user_idle();
        ++steps;
        now = Clock::now();
    }
    return steps / std::chrono::duration<double>(now - start).count();
}

// Median of repeated frames, each drawn and finished.
double frameMilliseconds() {
    selectMainWindow();
    std::vector<double> times;
    for (int i = 0; i < 41; ++i) {
        const Clock::time_point t = Clock::now();
        displayMainWindow();
        glFinish();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
    }
    std::nth_element(times.begin(), times.begin() + 20, times.end());
    return times[20];
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-scene") return writeScene(argv[2]);
    const bool openRollouts = argc == 5 && std::string(argv[4]) == "--open";
    if (argc != 4 && !openRollouts) {
        std::fprintf(stderr, "usage: partivox-loop-bench FILE INTERVAL SECONDS [--open] | --write-scene FILE\n");
        return 2;
    }
    const int interval = std::atoi(argv[2]);
    const double seconds = std::atof(argv[3]);
    int startArgc = 2;
    char* startArgv[] = {argv[0], argv[1], nullptr};
    startUp(startArgc, startArgv);
    world.displayInterval = interval;
    world.computeConserved = openRollouts ? 1 : 0;
    if (openRollouts)
        for (auto& control : controlWindow->owned)
            if (auto* rollout = dynamic_cast<GLUI_Rollout*>(control.get())) rollout->open();
    syncControls();
    GLUI_Master.set_glutIdleFunc(idleStep);
    runLoop(1);   // the windows appear, the caches warm up
    const double stepsPerSecond = runLoop(seconds);
    GLUI_Master.set_glutIdleFunc(nullptr);
    std::printf("interval %d%s: %.1f steps/s, %d particles, frame %.2f ms\n", interval, openRollouts ? " (rollouts open)" : "", stepsPerSecond,
                world.particleCount, frameMilliseconds());
    return 0;
}
