#include "ui/graph_view.h"

#include "ui/run_state.h"
#include "ui/window_seam.h"
#include "sim/world_state.h"

void showGraphChanged(int) {
    if (world.showGraph != 0)
        stopSimulation();
    else
        resumeSimulation();
}

void graphSlotChanged(int) {
    if (world.graphSlotIndex < 0 || world.graphSlotIndex >= PotentialSlotCount) world.graphSlotIndex = 0;
    syncControls();
    postMainRedisplay();
}

void graphClick(int x, int y) {
    if (world.graphOriginManual != 0) {
        world.graphOriginX = static_cast<float>(x);
        world.graphOriginY = static_cast<float>(y);
    }
    if (world.probeAxisManual != 0) {
        world.probeX = static_cast<float>(x);
        world.probeY = static_cast<float>(y);
    }
    syncControls();
    postMainRedisplay();
}

void drawGraph() {}
