#include <gtest/gtest.h>

#include <array>
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

// One RK4 step of a linear system z' = M z is exactly
// z + h M (z + h M / 2 (z + h M / 3 (z + h M / 4 z))), whatever the order
// of the arithmetic inside the step.
using Vector4 = std::array<double, 4>;
using Matrix4 = std::array<Vector4, 4>;

Vector4 times(const Matrix4& m, const Vector4& z, double factor) {
    Vector4 r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r[i] += m[i][j] * z[j] * factor;
    return r;
}

Vector4 rungeKuttaOfLinear(const Matrix4& m, const Vector4& z, double h) {
    Vector4 inner = z;
    for (int k = 4; k >= 1; --k) {
        const Vector4 step = times(m, inner, h / k);
        for (int i = 0; i < 4; ++i) inner[i] = z[i] + step[i];
    }
    return inner;
}

// Drag towards speed 0, a magnetic field and a quadratic well: every stage of
// the step needs each particle's position, velocity, mass, charge and
// dissipation. Two particles with different values catch a stage that reads
// a stale, zero or neighbouring value.
TEST_F(TimeStep, EveryStageUsesEachParticlesOwnMassChargeAndDissipation) {
    world.particleCount = 2;
    world.simulationSpeed = 0.5f;
    world.dragCoefficient = 0.125f;
    world.magneticField = 0.25f;
    const double well = 0.03125, centre = 200;
    world.externalSlots[0] = {static_cast<int>(PotentialKind::MassProportional),
                              static_cast<int>(ExternalShape::QuadraticX), well, centre, 0, 0};
    struct Values { double x, y, vx, vy, mass, charge, dissipation; };
    const Values values[2] = {{210, 250, 1.5, -0.5, 2, 1, 3}, {190, 240, -0.25, 2, 0.5, -3, 0.25}};
    for (int i = 0; i < 2; ++i) {
        const Values& v = values[i];
        world.particles[i] = {v.x, v.y, v.vx, v.vy, v.mass, v.charge, 0.5, 0.5, 0.5, 5, v.dissipation};
    }
    advanceStep();
    for (int i = 0; i < 2; ++i) {
        const Values& v = values[i];
        const double drag = 0.125 * v.dissipation / v.mass, turn = 0.25 * v.charge / v.mass;
        // z = (x - centre, y, vx, vy)
        const Matrix4 m = {{{0, 0, 1, 0}, {0, 0, 0, 1}, {-2 * well, 0, -drag, turn}, {0, 0, -turn, -drag}}};
        const Vector4 expected = rungeKuttaOfLinear(m, {v.x - centre, v.y, v.vx, v.vy}, 0.5);
        const Particle& p = world.particles[i];
        EXPECT_NEAR(p.x - centre, expected[0], 1e-12) << i;
        EXPECT_NEAR(p.y, expected[1], 1e-12) << i;
        EXPECT_NEAR(p.vx, expected[2], 1e-12) << i;
        EXPECT_NEAR(p.vy, expected[3], 1e-12) << i;
        EXPECT_EQ(p.dissipation, v.dissipation) << i;
    }
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
