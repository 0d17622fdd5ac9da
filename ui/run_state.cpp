#include "ui/run_state.h"

#include <time.h>

#include <algorithm>

#include "sim/boundaries.h"
#include "sim/conserved_quantities.h"
#include "sim/time_step.h"
#include "sim/world_state.h"
#include "ui/particle_editing.h"
#include "ui/recording.h"
#include "ui/window_seam.h"

bool runConditionHolds() {
    const WorldState& w = world;
    return !w.paused && w.dragMode == static_cast<int>(DragMode::NoDrag) && w.particleCount != 0 &&
           w.showGraph == 0;
}

void stopSimulation() {
    selectMainWindow();
    setIdleRoutine(nullptr);
    postMainRedisplay();
}

void resumeSimulation() {
    selectMainWindow();
    if (runConditionHolds()) setIdleRoutine(idleStep);
}

void followParticleCount(int countBefore) {
    const bool wasEmpty = countBefore == 0, isEmpty = world.particleCount == 0;
    if (wasEmpty && !isEmpty) resumeSimulation();
    if (!wasEmpty && isEmpty) stopSimulation();
}

// Lets the window system and the other programs have the processor once per
// displayed frame.
static void sleepOneMillisecond() {
    const timespec oneMillisecond = {0, 1000000};
    nanosleep(&oneMillisecond, nullptr);
}

void idleStep() {
    WorldState& w = world;
    advanceStep();
    applyBoundaries();
    w.frameCounter = w.frameCounter + 1;
    if (w.frameCounter < w.displayInterval) return;
    if (w.computeConserved == 1) computeConservedQuantities();
    recordFrame(w.frameCounter);
    copyInfoParticle();
    w.frameCounter = 0;
    syncControls();
    postMainRedisplay();
    sleepOneMillisecond();
}

void togglePause(int) {
    WorldState& w = world;
    if (w.paused) {
        w.paused = false;
        resumeSimulation();
    } else {
        w.paused = true;
        stopSimulation();
    }
}

// A size of 0 or less would make the window vanish: the field shows the
// current size again instead. One beyond what can be drawn is cut to that,
// and the field shows what was applied.
static void applyRequested(int& requested, int& actual, int largest) {
    if (requested > 0) actual = std::min(requested, largest);
    requested = actual;
}

void applyWindowSize(int) {
    WorldState& w = world;
    const int largest = largestWindowSide();
    applyRequested(w.requestedWidth, w.windowWidth, largest);
    applyRequested(w.requestedHeight, w.windowHeight, largest);
    syncControls();
    resizeMainWindow(w.windowWidth, w.windowHeight);
}

void recomputeConserved(int) {
    computeConservedQuantities();
    syncControls();
}
