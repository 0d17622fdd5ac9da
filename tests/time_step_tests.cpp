#include <gtest/gtest.h>

#include <cmath>

#include "boundaries.h"
#include "time_step.h"
#include "world_state.h"

namespace {
class TimeStep : public ::testing::Test {
protected:
    void SetUp() override {
        world = WorldState{};
        world.particleCount = 1;
        world.boundaryX = world.boundaryY = static_cast<int>(BoundaryMode::Open);
        Particle& p = world.particles[0];
        p.x = 250;
        p.y = 250;
        p.mass = 1;
        p.charge = 1;
        p.dissipation = 1;
    }
    Particle& p0() { return world.particles[0]; }
    void run(int steps) {
        for (int s = 0; s < steps; ++s) {
            advanceStep();
            applyBoundaries();
        }
    }
};

TEST_F(TimeStep, NoParticlesNoChange) {
    world.particleCount = 0;
    p0().vx = 1;
    advanceStep();
    EXPECT_EQ(p0().x, 250);
}

TEST_F(TimeStep, FreeParticleMovesByOneStepSize) {
    p0().vx = 1;
    p0().red = 0.5;
    p0().radius = 4;
    advanceStep();
    EXPECT_EQ(p0().x, 250 + static_cast<double>(0.1f));
    EXPECT_EQ(p0().vx, 1);
    EXPECT_EQ(p0().y, 250);
    EXPECT_EQ(p0().red, 0.5);
    EXPECT_EQ(p0().radius, 4);
}

TEST_F(TimeStep, ConstantAccelerationIsIntegratedExactly) {
    world.gravityY = 3;
    world.simulationSpeed = 0.5f;
    advanceStep();
    EXPECT_DOUBLE_EQ(p0().y, 250 + 3 * 0.25 / 2);
    EXPECT_DOUBLE_EQ(p0().vy, 3 * 0.5);
    world.simulationSpeed = -0.5f;   // runs backwards
    advanceStep();
    EXPECT_DOUBLE_EQ(p0().y, 250);
    EXPECT_DOUBLE_EQ(p0().vy, 0);
}

// x'' = -2 s (x - a) through a mass-proportional quadratic slot: omega^2 = 2 s.
double oscillatorError(float h, int steps) {
    world.particleCount = 1;
    world.simulationSpeed = h;
    world.externalSlots[0] = {static_cast<int>(PotentialKind::MassProportional),
                              static_cast<int>(ExternalShape::QuadraticX), 0.5, 200, 0, 0};
    world.particles[0].x = 210;
    world.particles[0].vx = 0;
    for (int s = 0; s < steps; ++s) advanceStep();
    const double t = static_cast<double>(h) * steps;
    return std::fabs(world.particles[0].x - (200 + 10 * std::cos(t)));
}

TEST_F(TimeStep, HarmonicOscillatorErrorIsFourthOrder) {
    const double coarse = oscillatorError(0.125f, 80);
    const double fine = oscillatorError(0.0625f, 160);
    EXPECT_LT(coarse, 1e-3);
    EXPECT_NEAR(coarse / fine, 16, 2.5);
}

TEST_F(TimeStep, ChargeInAMagneticFieldReturnsAfterOnePeriod) {
    // Period 2 pi m / (q B) made exactly 1000 steps of h = 1/16.
    const int steps = 1000;
    world.simulationSpeed = 0.0625f;
    world.magneticField = 1;
    const double period = steps * 0.0625;
    p0().mass = period / (2 * M_PI);
    p0().vx = 1;
    run(steps / 2);
    const double radius = p0().mass;   // m v / (q B)
    EXPECT_NEAR(std::hypot(p0().x - 250, p0().y - 250), 2 * radius, 1e-6);
    run(steps / 2);
    EXPECT_NEAR(p0().x, 250, 1e-7);
    EXPECT_NEAR(p0().y, 250, 1e-7);
    EXPECT_NEAR(p0().vx, 1, 1e-9);
    EXPECT_NEAR(p0().vy, 0, 1e-9);
}

TEST_F(TimeStep, CoincidentParticlesLeaveEveryPositionFinite) {
    world.particleCount = 3;
    world.coulombStrength = 1;
    world.coulombSoftening = 0;
    world.particles[1] = world.particles[0];
    world.particles[2] = world.particles[0];
    world.particles[2].x = 260;
    run(5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(std::isfinite(world.particles[i].x)) << i;
        EXPECT_TRUE(std::isfinite(world.particles[i].vy)) << i;
    }
    EXPECT_LT(world.particles[0].x, 250);   // still repelled by the third
    EXPECT_GT(world.particles[2].x, 260);
}
}  // namespace
