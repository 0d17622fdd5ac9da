#include <gtest/gtest.h>

#include <GL/glut.h>

#include <functional>
#include <string>
#include <vector>

#include "sim/world_state.h"
#include "tests/ui_fake_seam.h"
#include "ui/graph_view.h"
#include "ui/main_window_drawing.h"
#include "ui/mouse_keyboard.h"
#include "ui/particle_editing.h"
#include "ui/run_state.h"

namespace {
using Calls = std::vector<std::string>;
const Calls stop = {"select", "idle none", "redisplay"};
const Calls resume = {"select", "idle step"};
const Calls resumeRefused = {"select"};

// The state before an event: the four parts of the run condition.
struct Before {
    bool paused = false;
    DragMode drag = DragMode::NoDrag;
    int particles = 3;
    int graph = 0;
};

struct RunRow {
    const char* event;
    Before before;
    std::function<void()> act;
    Calls expected;   // what the event asked of the windows
};

// Particle 0 sits at (100, 100) with radius 10.
void prepare(const Before& b) {
    resetFrontEnd();
    world.paused = b.paused;
    world.dragMode = static_cast<int>(b.drag);
    world.dragParticle = 0;
    world.particleCount = b.particles;
    world.showGraph = b.graph;
    for (int i = 0; i < b.particles; ++i) {
        world.particles[i].x = 100 + 50 * i;
        world.particles[i].y = 100;
        world.particles[i].radius = 10;
        world.particles[i].mass = 1;
    }
}

void press(int button, int x = 100, int y = 100) { mouseMainWindow(button, GLUT_DOWN, x, y); }
void release(int button, int x = 100, int y = 100) { mouseMainWindow(button, GLUT_UP, x, y); }
void setGraph(int on) {
    world.showGraph = on;
    showGraphChanged(0);
}
void edit(ParticleEditAction a) { particleEditButton(static_cast<int>(a)); }

const auto pressPause = [] { togglePause(0); };

}  // namespace

// Every event that breaks the run condition stops at once; every event that
// can restore it re-tests all four parts.
TEST(RunState, EveryEventStopsOrResumesByTheWholeCondition) {
    const DragMode move = DragMode::MoveDrag, velocity = DragMode::VelocityDrag;
    const Calls shown = {"sync", "redisplay"};
    const RunRow rows[] = {
        {"pause while running", {}, pressPause, stop},
        {"unpause", {true}, pressPause, resume},
        {"unpause during a drag", {true, move}, pressPause, resumeRefused},
        {"unpause with the graph shown", {true, DragMode::NoDrag, 3, 1}, pressPause, resumeRefused},
        {"unpause with no particles", {true, DragMode::NoDrag, 0}, pressPause, resumeRefused},
        {"left press on a particle", {}, [] { press(GLUT_LEFT_BUTTON); }, stop},
        {"left press beside every particle", {}, [] { press(GLUT_LEFT_BUTTON, 300, 300); }, {}},
        {"left release ends the move", {false, move}, [] { release(GLUT_LEFT_BUTTON); }, resume},
        {"left release while paused", {true, move}, [] { release(GLUT_LEFT_BUTTON); }, resumeRefused},
        {"left release during a right drag", {false, velocity}, [] { release(GLUT_LEFT_BUTTON); }, {}},
        {"left press during a right drag", {false, velocity}, [] { press(GLUT_LEFT_BUTTON); }, {}},
        {"right press on a particle", {}, [] { press(GLUT_RIGHT_BUTTON); }, stop},
        {"right press during a left drag", {false, move}, [] { press(GLUT_RIGHT_BUTTON); }, {}},
        {"right press with the graph shown", {false, DragMode::NoDrag, 3, 1}, [] { press(GLUT_RIGHT_BUTTON); }, {}},
        {"right release ends the velocity drag", {false, velocity}, [] { release(GLUT_RIGHT_BUTTON); }, resume},
        {"right release during a move", {false, move}, [] { release(GLUT_RIGHT_BUTTON); }, {}},
        {"middle button", {}, [] { press(GLUT_MIDDLE_BUTTON); }, {}},
        {"graph checked", {}, [] { setGraph(1); }, stop},
        {"graph unchecked", {false, DragMode::NoDrag, 3, 1}, [] { setGraph(0); }, resume},
        {"graph unchecked while paused", {true, DragMode::NoDrag, 3, 1}, [] { setGraph(0); }, resumeRefused},
        {"last particle removed", {false, DragMode::NoDrag, 1}, [] { edit(ParticleEditAction::RemoveParticle); },
         {"select", "idle none", "redisplay", "sync", "redisplay"}},
        {"particle added to an empty table", {false, DragMode::NoDrag, 0},
         [] { edit(ParticleEditAction::AddParticle); }, {"select", "idle step", "sync", "redisplay"}},
        {"particle added to an empty table while paused", {true, DragMode::NoDrag, 0},
         [] { edit(ParticleEditAction::AddParticle); }, {"select", "sync", "redisplay"}},
        {"particle added to an empty table with the graph shown", {false, DragMode::NoDrag, 0, 1},
         [] { edit(ParticleEditAction::AddParticle); }, {"select", "sync", "redisplay"}},
        {"particle added to a table with particles", {}, [] { edit(ParticleEditAction::AddParticle); }, shown},
        {"a particle removed, others left", {}, [] { edit(ParticleEditAction::RemoveParticle); }, shown},
    };
    for (const RunRow& row : rows) {
        prepare(row.before);
        row.act();
        EXPECT_EQ(fakeSeam::calls, row.expected) << row.event;
    }
}

TEST(RunState, PauseDuringADragStaysStoppedUntilUnpausedAfterTheRelease) {
    prepare({});
    press(GLUT_LEFT_BUTTON);
    togglePause(0);
    release(GLUT_LEFT_BUTTON);
    EXPECT_EQ(fakeSeam::idleRoutine, nullptr);
    togglePause(0);
    EXPECT_EQ(fakeSeam::idleRoutine, idleStep);
    EXPECT_FALSE(world.paused);
}

// With displayInterval n >= 1 every n-th step refreshes the panel and redraws;
// with 1, 0 or less every step does.
TEST(IdleStep, RefreshesEveryDisplayIntervalSteps) {
    struct Row {
        int interval;
        int steps;
        int frames;
    };
    const Row rows[] = {{10, 9, 0}, {10, 10, 1}, {10, 25, 2}, {3, 9, 3}, {1, 4, 4}, {0, 4, 4}, {-5, 2, 2}};
    for (const Row& row : rows) {
        prepare({});
        world.displayInterval = row.interval;
        for (int s = 0; s < row.steps; ++s) idleStep();
        Calls expected;
        for (int f = 0; f < row.frames; ++f) expected.insert(expected.end(), {"sync", "redisplay"});
        EXPECT_EQ(fakeSeam::calls, expected) << row.interval << " " << row.steps;
    }
}

TEST(IdleStep, AFrameShowsTheInfoParticleAndComputesConservedOnlyWhenAsked) {
    prepare({});
    world.displayInterval = 1;
    world.particles[1].vx = 2;
    world.infoParticleIndex = 1;
    idleStep();
    EXPECT_EQ(world.infoValues.x, static_cast<float>(world.particles[1].x));
    EXPECT_NE(world.infoValues.x, 150.0f);   // the particle moved first
    EXPECT_EQ(world.conservedValues[0], 0.0f);
    world.computeConserved = 1;
    idleStep();
    EXPECT_EQ(world.conservedValues[0], 2.0f);   // momentum x: mass 1, vx 2
    EXPECT_EQ(world.frameCounter, 0);
}

// A size of 0 or less is replaced by the current size; only the other
// dimension changes. One beyond the largest that can be drawn is cut to it.
TEST(ApplyWindowSize, AppliesPositiveEntriesAndRestoresOthers) {
    struct Row {
        int requestedWidth, requestedHeight;
        int width, height;   // the window afterwards
    };
    const int largest = fakeSeam::largestWindowSide;
    const Row rows[] = {{800, 600, 800, 600},         {0, 300, 500, 300},
                        {-20, 0, 500, 500},           {1, -1, 1, 500},
                        {largest, 65536, largest, largest}, {largest + 1, 2, largest, 2}};
    for (const Row& row : rows) {
        resetFrontEnd();
        world.requestedWidth = row.requestedWidth;
        world.requestedHeight = row.requestedHeight;
        applyWindowSize(0);
        EXPECT_EQ(world.windowWidth, row.width);
        EXPECT_EQ(world.windowHeight, row.height);
        EXPECT_EQ(world.requestedWidth, row.width);
        EXPECT_EQ(world.requestedHeight, row.height);
        const Calls expected = {"sync", "resize " + std::to_string(row.width) + " " + std::to_string(row.height)};
        EXPECT_EQ(fakeSeam::calls, expected);
    }
}

// A size the window system reports beyond what can be drawn is asked back to
// the largest side and not taken, so the simulated region never has it.
TEST(ReshapeMainWindow, SizesBeyondTheLargestAreAskedBackAndNotTaken) {
    struct Row {
        int width, height;
        int worldWidth, worldHeight;
        Calls expected;
    };
    const int largest = fakeSeam::largestWindowSide;
    const std::string cut = std::to_string(largest);
    const Row rows[] = {
        {640, 480, 640, 480, {"sync"}},
        {largest, largest, largest, largest, {"sync"}},
        {largest + 1, 300, 500, 500, {"resize " + cut + " 300"}},
        {32767, 32767, 500, 500, {"resize " + cut + " " + cut}},
    };
    for (const Row& row : rows) {
        resetFrontEnd();
        reshapeMainWindow(row.width, row.height);
        EXPECT_EQ(world.windowWidth, row.worldWidth) << row.width;
        EXPECT_EQ(world.windowHeight, row.worldHeight) << row.width;
        EXPECT_EQ(world.requestedWidth, row.worldWidth) << row.width;
        EXPECT_EQ(fakeSeam::calls, row.expected) << row.width;
    }
}
