#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "world_init.h"
#include "world_state.h"

namespace {
class WorldInit : public ::testing::Test {
protected:
    void SetUp() override {
        world = WorldState{};
        std::srand(12345);
    }
};

TEST_F(WorldInit, DrawsSpanFifteenBits) {
    int low = 32767, high = 0;
    for (int k = 0; k < 200000; ++k) {
        const int r = randomDraw();
        low = std::min(low, r);
        high = std::max(high, r);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 32767);
}

TEST_F(WorldInit, RandomPlacementStaysInsideTheWindowAndTheVelocitySpread) {
    world.particleCount = 300;
    world.windowWidth = 640;
    world.windowHeight = 120;
    world.rightDragSpeed = 0.04f;
    world.particles[299].mass = 7;
    world.particles[299].red = 0.25;
    world.particles[300].x = -3;
    placeParticlesRandomly();
    const double spread = 50 * 0.04f;
    double widest = 0;
    for (int i = 0; i < 300; ++i) {
        const Particle& p = world.particles[i];
        EXPECT_GE(p.x, 0);
        EXPECT_LE(p.x, 640);
        EXPECT_GE(p.y, 0);
        EXPECT_LE(p.y, 120);
        EXPECT_LE(std::abs(p.vx), spread);
        EXPECT_LE(std::abs(p.vy), spread);
        widest = std::max({widest, std::abs(p.vx), std::abs(p.vy)});
    }
    EXPECT_GT(widest, 0.9 * spread);
    EXPECT_EQ(world.particles[299].mass, 7);
    EXPECT_EQ(world.particles[299].red, 0.25);
    EXPECT_EQ(world.particles[300].x, -3);
}

TEST_F(WorldInit, RandomPlacementWithNoParticlesChangesNothing) {
    world.particleCount = 0;
    world.particles[0].x = 42;
    placeParticlesRandomly();
    EXPECT_EQ(world.particles[0].x, 42);
    EXPECT_EQ(world.particles[0].vx, 0);
}

TEST_F(WorldInit, DefaultsColourSixEntriesAndClearEverySlot) {
    world.particleCount = 2;
    world.externalSlots[9] = {3, 4, 1, 2, 3, 4};
    world.pairSlots[0] = {5, 6, 1, 2, 3, 4};
    initWorld();
    EXPECT_EQ(world.particles[1].mass, 1.0);
    EXPECT_EQ(world.particles[1].charge, 1.0);
    EXPECT_EQ(world.particles[1].dissipation, 1.0);
    EXPECT_EQ(world.particles[1].radius, 10.0);
    EXPECT_EQ(world.particles[2].mass, 0);  // not live: only its colour is set
    EXPECT_EQ(world.particles[5].red, 1);
    EXPECT_EQ(world.particles[5].green, 0);
    EXPECT_EQ(world.particles[5].blue, 1);
    EXPECT_EQ(world.particles[3].red, 0);
    EXPECT_EQ(world.particles[3].green, 1);
    EXPECT_EQ(world.particles[3].blue, 1);
    EXPECT_EQ(world.externalSlots[9].kind, 0);
    EXPECT_EQ(world.externalSlots[9].c, 0);
    EXPECT_EQ(world.pairSlots[0].shape, 0);
    EXPECT_EQ(world.pairSlots[0].strength, 0);
}
}  // namespace
