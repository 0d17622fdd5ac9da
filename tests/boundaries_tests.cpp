#include <gtest/gtest.h>

#include "boundaries.h"
#include "world_state.h"

namespace {
class Boundaries : public ::testing::Test {
protected:
    void SetUp() override {
        world = WorldState{};
        world.particleCount = 1;
    }
    // Folds one particle on the x axis and returns where it ends.
    Particle foldX(BoundaryMode mode, double x, double vx) {
        world.boundaryX = static_cast<int>(mode);
        world.boundaryY = static_cast<int>(BoundaryMode::Open);
        world.particles[0].x = x;
        world.particles[0].vx = vx;
        applyBoundaries();
        return world.particles[0];
    }
};

TEST_F(Boundaries, PeriodicWrapsOncePerStep) {
    for (BoundaryMode mode : {BoundaryMode::Periodic, BoundaryMode::PeriodicInteracting}) {
        EXPECT_NEAR(foldX(mode, 500.3, 1).x, 0.3, 1e-12);
        EXPECT_NEAR(foldX(mode, -0.2, 1).x, 499.8, 1e-12);
        EXPECT_EQ(foldX(mode, 500, 1).x, 0);
        EXPECT_EQ(foldX(mode, 1200, 1).x, 700);
        EXPECT_EQ(foldX(mode, 499.5, 1).x, 499.5);
        EXPECT_EQ(foldX(mode, 500.3, 2).vx, 2);
    }
}

TEST_F(Boundaries, WallReflectsElastically) {
    Particle p = foldX(BoundaryMode::Wall, 501, 3);
    EXPECT_EQ(p.x, 499);
    EXPECT_EQ(p.vx, -3);
    p = foldX(BoundaryMode::Wall, -2, -1);
    EXPECT_EQ(p.x, 2);
    EXPECT_EQ(p.vx, 1);
    // Far beyond the right edge: mirrored to below 0, then mirrored again.
    p = foldX(BoundaryMode::Wall, 1003, 1);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.vx, 1);
}

// The edges themselves: a periodic axis keeps 0 and puts the far edge at 0; a
// wall reflects a particle standing on its far edge and leaves one on 0 alone.
TEST_F(Boundaries, ParticlesExactlyOnAnEdgeGoToTheirSideOnBothAxes) {
    struct Case {
        BoundaryMode mode;
        bool onFarEdge;
        double velocity;
        bool atZero;   // where it ends: 0 or the far edge
        double velocityAfter;
    };
    const Case cases[] = {
        {BoundaryMode::Periodic, false, 1, true, 1},
        {BoundaryMode::Periodic, true, 1, true, 1},
        {BoundaryMode::PeriodicInteracting, false, -1, true, -1},
        {BoundaryMode::PeriodicInteracting, true, 1, true, 1},
        {BoundaryMode::Wall, true, 2, false, -2},
        {BoundaryMode::Wall, false, -2, true, -2},
    };
    world.windowWidth = 300;
    world.windowHeight = 200;
    for (const Case& c : cases)
        for (bool yAxis : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(c.mode) << (yAxis ? " y" : " x")
                                              << (c.onFarEdge ? " far edge" : " zero"));
            const double edge = yAxis ? 200 : 300;
            Particle& p = world.particles[0];
            p = {};
            p.x = yAxis ? 150 : c.onFarEdge ? edge : 0;
            p.y = !yAxis ? 100 : c.onFarEdge ? edge : 0;
            (yAxis ? p.vy : p.vx) = c.velocity;
            world.boundaryX = static_cast<int>(yAxis ? BoundaryMode::Open : c.mode);
            world.boundaryY = static_cast<int>(yAxis ? c.mode : BoundaryMode::Open);
            applyBoundaries();
            EXPECT_EQ(yAxis ? p.y : p.x, c.atZero ? 0 : edge);
            EXPECT_EQ(yAxis ? p.vy : p.vx, c.velocityAfter);
            EXPECT_EQ(yAxis ? p.x : p.y, yAxis ? 150 : 100);
        }
}

TEST_F(Boundaries, OpenSoftWallAndUnknownModesLeaveParticlesWhereTheyAre) {
    EXPECT_EQ(foldX(BoundaryMode::Open, 530, 1).x, 530);
    EXPECT_EQ(foldX(BoundaryMode::WallPrecise, -40, -1).vx, -1);
    EXPECT_EQ(foldX(static_cast<BoundaryMode>(9), 530, 1).x, 530);
    EXPECT_EQ(foldX(static_cast<BoundaryMode>(-1), -3, 1).x, -3);
}

TEST_F(Boundaries, EachAxisUsesItsOwnModeAndSize) {
    world.particleCount = 2;
    world.windowWidth = 300;
    world.windowHeight = 200;
    world.boundaryX = static_cast<int>(BoundaryMode::Wall);
    world.boundaryY = static_cast<int>(BoundaryMode::Periodic);
    world.particles[0] = {};
    world.particles[0].x = 310;
    world.particles[0].y = 210;
    world.particles[1].x = 10;
    world.particles[1].y = -5;
    world.particles[1].vy = 2;
    world.particles[2].x = 9999;   // not live
    applyBoundaries();
    EXPECT_EQ(world.particles[0].x, 290);
    EXPECT_EQ(world.particles[0].y, 10);
    EXPECT_EQ(world.particles[1].y, 195);
    EXPECT_EQ(world.particles[1].vy, 2);
    EXPECT_EQ(world.particles[2].x, 9999);
}

TEST(MinimumImage, FoldsToTheNearestImageWithIntegerHalf) {
    EXPECT_EQ(minimumImage(-480, 500), 20);
    EXPECT_EQ(minimumImage(480, 500), -20);
    EXPECT_EQ(minimumImage(250, 500), -250);
    EXPECT_EQ(minimumImage(-250, 500), -250);
    EXPECT_EQ(minimumImage(249.9, 500), 249.9);
    // Odd width: 250 folds to -251, and the second test brings it back.
    EXPECT_EQ(minimumImage(250, 501), 250);
}
}  // namespace
