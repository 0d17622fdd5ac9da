#include <gtest/gtest.h>

#include <GL/glut.h>

#include "sim/world_state.h"
#include "tests/ui_fake_seam.h"
#include "ui/mouse_keyboard.h"

namespace {
void particleAtPosition(int i, double x, double y, double radius) {
    world.particles[i].x = x;
    world.particles[i].y = y;
    world.particles[i].radius = radius;
}
}  // namespace

// Strictly inside the disc, first index wins even where a later particle is
// drawn on top.
TEST(HitTest, FirstParticleWhoseDiscStrictlyContainsThePoint) {
    resetFrontEnd();
    world.particleCount = 4;
    particleAtPosition(0, 100, 100, 10);
    particleAtPosition(1, 105, 100, 10);
    particleAtPosition(2, 300, 300, 0);
    particleAtPosition(3, 400, 400, -5);
    struct Row {
        double x, y;
        int hit;
    };
    const Row rows[] = {
        {100, 100, 0}, {108, 100, 0}, {112, 100, 1}, {110, 100, 1}, {115, 100, -1}, {100, 90, -1},
        {300, 300, -1}, {403, 400, 3}, {405, 400, -1}, {0, 0, -1},
    };
    for (const Row& row : rows) EXPECT_EQ(particleAt(row.x, row.y), row.hit) << row.x << "," << row.y;
    world.particleCount = 1;
    EXPECT_EQ(particleAt(112, 100), -1);   // particle 1 is no longer live
}

TEST(Drags, LeftDragPutsTheCentreOnTheCursorAndKeepsTheVelocity) {
    resetFrontEnd();
    world.particleCount = 1;
    particleAtPosition(0, 100, 100, 10);
    world.particles[0].vx = 0.5;
    mouseMainWindow(GLUT_LEFT_BUTTON, GLUT_DOWN, 105, 95);
    motionMainWindow(240, 260);
    EXPECT_EQ(world.particles[0].x, 240);
    EXPECT_EQ(world.particles[0].y, 260);
    EXPECT_EQ(world.particles[0].vx, 0.5);
    EXPECT_EQ(fakeSeam::calls.back(), "redisplay");
}

// The dragged particle may no longer be in the table: a motion then touches
// no particle, not even the record just past the live ones.
TEST(Drags, AMotionWhoseParticleIsGoneTouchesNothing) {
    for (int dragged : {-1, 2}) {
        resetFrontEnd();
        world.particleCount = 2;
        world.dragMode = static_cast<int>(DragMode::MoveDrag);
        world.dragParticle = dragged;
        motionMainWindow(240, 260);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(world.particles[i].x, 0) << dragged;
        EXPECT_TRUE(fakeSeam::calls.empty()) << dragged;
    }
}

// Measured from the press point, the last motion deciding; no redraw.
TEST(Drags, RightDragSetsTheVelocityFromThePressPoint) {
    resetFrontEnd();
    world.particleCount = 1;
    particleAtPosition(0, 200, 200, 10);
    mouseMainWindow(GLUT_RIGHT_BUTTON, GLUT_DOWN, 205, 200);
    motionMainWindow(400, 0);
    motionMainWindow(305, 150);
    fakeSeam::calls.clear();
    mouseMainWindow(GLUT_RIGHT_BUTTON, GLUT_UP, 305, 150);
    EXPECT_EQ(world.particles[0].vx, 100 * static_cast<double>(0.01f));
    EXPECT_EQ(world.particles[0].vy, -50 * static_cast<double>(0.01f));
    EXPECT_EQ(world.particles[0].x, 200);
    EXPECT_EQ(fakeSeam::calls, (std::vector<std::string>{"select", "idle step"}));
}

TEST(Drags, AClickWithAPickBoxCheckedSelectsInsteadOfDragging) {
    struct Row {
        int info, edit;
        int infoIndex, editIndex;
    };
    const Row rows[] = {{1, 0, 1, 0}, {0, 1, 0, 1}, {1, 1, 1, 1}};
    for (const Row& row : rows) {
        resetFrontEnd();
        world.particleCount = 2;
        particleAtPosition(1, 50, 50, 10);
        world.particles[1].mass = 3;
        world.infoPickByClick = row.info;
        world.editPickByClick = row.edit;
        mouseMainWindow(GLUT_LEFT_BUTTON, GLUT_DOWN, 50, 50);
        EXPECT_EQ(world.dragMode, 0);
        EXPECT_EQ(world.infoParticleIndex, row.infoIndex);
        EXPECT_EQ(world.editParticleIndex, row.editIndex);
        EXPECT_EQ(world.infoValues.mass, row.info ? 3.0f : 0.0f);
        EXPECT_EQ(world.editValues.mass, 1.0f);   // the buffer is loaded only by its button
        EXPECT_EQ(fakeSeam::calls, std::vector<std::string>{"sync"});
    }
}

TEST(Drags, WithTheGraphShownALeftClickOnlyMovesWhatIsChecked) {
    struct Row {
        int origin, probe;
        float originX, probeX;
    };
    const Row rows[] = {{0, 0, 250, 200}, {1, 0, 100, 200}, {0, 1, 250, 100}, {1, 1, 100, 100}};
    for (const Row& row : rows) {
        resetFrontEnd();
        world.showGraph = 1;
        world.particleCount = 1;
        particleAtPosition(0, 100, 300, 10);
        world.graphOriginManual = row.origin;
        world.probeAxisManual = row.probe;
        mouseMainWindow(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 300);
        EXPECT_EQ(world.graphOriginX, row.originX);
        EXPECT_EQ(world.probeX, row.probeX);
        EXPECT_EQ(world.dragMode, 0);
        EXPECT_EQ(fakeSeam::calls, (std::vector<std::string>{"sync", "redisplay"}));
    }
}

TEST(Keys, PTogglesThePauseOtherKeysDoNothing) {
    resetFrontEnd();
    keyboardMainWindow('p', 0, 0);
    EXPECT_TRUE(world.paused);
    keyboardMainWindow('P', 0, 0);
    EXPECT_FALSE(world.paused);
    fakeSeam::calls.clear();
    for (unsigned char key : {'a', 'x', ' ', '0', '\r'}) keyboardMainWindow(key, 0, 0);
    EXPECT_TRUE(fakeSeam::calls.empty());
}
