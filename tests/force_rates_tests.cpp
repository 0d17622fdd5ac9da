#include <gtest/gtest.h>

#include <cmath>

#include "sim/force_rates.h"
#include "sim/world_state.h"
#include "tests/sim_test_particles.h"

namespace {
class ForceRates : public ::testing::Test {
protected:
    ParticleRate rates[8] = {};

    void SetUp() override {
        world = WorldState{};
        world.particleCount = 0;
    }
    void place(std::initializer_list<Particle> ps) {
        world.particleCount = 0;
        for (const Particle& p : ps) world.particles[world.particleCount++] = p;
    }
    const ParticleRate& rateOf(int i) {
        computeRates(world.particles, rates);
        return rates[i];
    }
    void setSlot(PotentialSlot& slot, PotentialKind kind, int shape, double strength, double a, double b = 0,
                 double c = 0) {
        slot = {static_cast<int>(kind), shape, strength, a, b, c};
    }
};

constexpr int Power = static_cast<int>(PairShape::Power);
constexpr int QuadraticX = static_cast<int>(ExternalShape::QuadraticX);

TEST_F(ForceRates, NoParticlesWritesNothing) {
    rates[0] = {7, 7, 7, 7};
    computeRates(world.particles, rates);
    EXPECT_EQ(rates[0].dxdt, 7);
    EXPECT_EQ(rates[0].ay, 7);
}

TEST_F(ForceRates, KinematicsAndMagneticForce) {
    world.magneticField = 0.5f;
    place({particle(10, 20, 3, -4, 2, 3)});
    const ParticleRate& r = rateOf(0);
    EXPECT_EQ(r.dxdt, 3);
    EXPECT_EQ(r.dydt, -4);
    EXPECT_EQ(r.ax, 0.5 * -4 * 3 / 2);   // B vy q / m: into the screen, y down
    EXPECT_EQ(r.ay, -0.5 * 3 * 3 / 2);
}

TEST_F(ForceRates, DragPullsTowardsTheTerminalSpeedAndSparesParticlesAtRest) {
    world.dragCoefficient = 0.5f;
    world.terminalSpeed = 10;
    place({particle(0, 0, 3, 4, 2, 1, 0.5), particle(100, 0)});
    // |v| = 5: f = 1 - 10/5 = -1, so the slow particle is pushed forwards.
    EXPECT_EQ(rateOf(0).ax, 1 * (0.5 * 3) / 2 * 0.5);
    EXPECT_EQ(rateOf(0).ay, 1 * (0.5 * 4) / 2 * 0.5);
    EXPECT_EQ(rateOf(1).ax, 0);
    EXPECT_EQ(rateOf(1).ay, 0);
    world.terminalSpeed = 0;
    EXPECT_EQ(rateOf(0).ax, -(0.5 * 3) / 2 * 0.5);
}

TEST_F(ForceRates, ForcesSwitchRemovesFieldsGravityAndCoulombOnly) {
    world.gravityX = 1;
    world.gravityY = 2;
    world.electricX = 3;
    world.electricY = -4;
    world.coulombStrength = 1;
    world.magneticField = 1;
    place({particle(0, 0, 0, 1, 2, 0.5), particle(10, 0, 0, 0, 1, 1)});
    EXPECT_DOUBLE_EQ(rateOf(0).ax, 1 * 0.5 / 2 + 3 * 0.5 / 2 + 1 - 0.01 * 0.5 / 2);
    EXPECT_DOUBLE_EQ(rateOf(0).ay, -4 * 0.5 / 2 + 2);
    for (int notExactlyOne : {0, 2, -1}) {
        world.forcesEnabled = notExactlyOne;
        EXPECT_EQ(rateOf(0).ax, 0.25) << notExactlyOne;   // the magnetic force alone
        EXPECT_EQ(rateOf(0).ay, 0) << notExactlyOne;
    }
    setSlot(world.pairSlots[3], PotentialKind::MassProportional, Power, 1, 2, 1);
    EXPECT_EQ(rateOf(0).ax, 0.25 - 2 * -10.0);
}

TEST_F(ForceRates, CoulombRepelsLikeChargesAndSoftensInside) {
    world.coulombStrength = 1;
    place({particle(100, 50), particle(110, 50)});
    EXPECT_DOUBLE_EQ(rateOf(0).ax, -0.01);
    EXPECT_DOUBLE_EQ(rateOf(1).ax, 0.01);
    EXPECT_EQ(rateOf(0).ay, 0);
    world.particles[1].x = 100.5;
    EXPECT_DOUBLE_EQ(rateOf(0).ax, -0.5);
    world.coulombStrength = -1;
    EXPECT_DOUBLE_EQ(rateOf(0).ax, 0.5);
}

TEST_F(ForceRates, PeriodicInteractingSeparationsCrossTheEdge) {
    world.coulombStrength = 1;
    place({particle(10, 50), particle(490, 50)});
    world.boundaryX = static_cast<int>(BoundaryMode::Periodic);
    EXPECT_DOUBLE_EQ(rateOf(0).ax, -1.0 / (480 * 480));
    world.boundaryX = static_cast<int>(BoundaryMode::PeriodicInteracting);
    EXPECT_DOUBLE_EQ(rateOf(0).ax, 1.0 / (20 * 20));
    EXPECT_DOUBLE_EQ(rateOf(1).ax, -1.0 / (20 * 20));
    // Only the axis that is set folds: the y separation stays raw.
    place({particle(50, 10), particle(50, 490)});
    EXPECT_DOUBLE_EQ(rateOf(0).ay, -1.0 / (480 * 480));
    world.boundaryY = static_cast<int>(BoundaryMode::PeriodicInteracting);
    world.windowHeight = 501;   // half = 250: dy = -480 folds to 21
    EXPECT_DOUBLE_EQ(rateOf(0).ay, 1.0 / (21 * 21));
}

TEST_F(ForceRates, SoftWallsActOnlyInTheirMode) {
    place({particle(-10, 250, 0, 0, 3), particle(250, 405, 0, 0, 3), particle(605, 200, 0, 0, 3)});
    world.particleCount = 1;
    EXPECT_EQ(rateOf(0).ax, 0);
    world.boundaryX = static_cast<int>(BoundaryMode::WallPrecise);
    EXPECT_NEAR(rateOf(0).ax, 10, 1e-12);   // 0.5 S / w, not divided by mass
    EXPECT_EQ(rateOf(0).ay, 0);
    world.particleCount = 3;
    world.boundaryX = static_cast<int>(BoundaryMode::Wall);
    world.boundaryY = static_cast<int>(BoundaryMode::WallPrecise);
    // Wider than high, so neither far wall can stand where the other's
    // side would put it: W - P = 610, H - P = 410; 5 inside, each pushes back.
    world.windowWidth = 600;
    world.windowHeight = 400;
    const double ch = std::cosh(-5.0 / 5);
    const double pushBack = -0.5 * 100 * (1.0 / 5) / (ch * ch);
    EXPECT_NEAR(rateOf(1).ay, pushBack, 1e-12);
    EXPECT_EQ(rateOf(1).ax, 0);
    world.boundaryX = static_cast<int>(BoundaryMode::WallPrecise);
    EXPECT_NEAR(rateOf(2).ax, pushBack, 1e-12);
}

TEST_F(ForceRates, ExternalSlotsByKind) {
    place({particle(5, 0, 3, 4, 2, 3, 0.5)});
    PotentialSlot& slot = world.externalSlots[6];
    setSlot(slot, PotentialKind::ChargeProportional, QuadraticX, 0.5, 1);
    EXPECT_EQ(rateOf(0).ax, -(8 * 0.5 * 3 / 2));
    EXPECT_EQ(rateOf(0).ay, 0);
    setSlot(slot, PotentialKind::MassProportional, QuadraticX, 0.5, 1);
    EXPECT_EQ(rateOf(0).ax, -(8 * 0.5));
    world.terminalSpeed = 2.5f;   // f = 1 - 2.5 / 5 = 0.5
    setSlot(slot, PotentialKind::EnergyDissipation, QuadraticX, 0.5, 1);
    EXPECT_EQ(rateOf(0).ax, -(16 * 0.5 * 3 * 0.5 / 2 * 0.5));
    EXPECT_EQ(rateOf(0).ay, -(16 * 0.5 * 4 * 0.5 / 2 * 0.5));
    world.particles[0].vx = world.particles[0].vy = 0;
    EXPECT_EQ(rateOf(0).ax, 0);
    EXPECT_EQ(rateOf(0).ay, 0);
    world.particles[0].vx = 3;
    for (int ignored : {4, 5, 6, -1}) {
        slot.kind = ignored;
        EXPECT_EQ(rateOf(0).ax, 0) << "kind " << ignored;
    }
    setSlot(slot, PotentialKind::MassProportional, 5, 0.5, 1);
    EXPECT_EQ(rateOf(0).ax, 0);
    slot.shape = -2;
    EXPECT_EQ(rateOf(0).ax, 0);
}

TEST_F(ForceRates, ConservativePairSlotsScaleByChargesOrMasses) {
    // Power with a = 2, b = 1: U = r^2, gradient 2 dx.
    place({particle(13, 4, 0, 0, 2, 3), particle(10, 0, 0, 0, 5, -2)});
    PotentialSlot& slot = world.pairSlots[9];
    setSlot(slot, PotentialKind::ChargeProportional, Power, 0.5, 2, 1);
    EXPECT_EQ(rateOf(0).ax, -(6 * 0.5 * 3 * -2 / 2));
    EXPECT_EQ(rateOf(0).ay, -(8 * 0.5 * 3 * -2 / 2));
    setSlot(slot, PotentialKind::MassProportional, Power, 0.5, 2, 1);
    EXPECT_EQ(rateOf(0).ax, -(6 * 0.5 * 5));
    EXPECT_EQ(rateOf(1).ax, -(-6 * 0.5 * 2));   // equal and opposite forces
    slot.shape = 7;
    EXPECT_EQ(rateOf(0).ax, 0);
}

TEST_F(ForceRates, DissipativePairSlots) {
    // Gaussian with a = 5: U = 1 at the separation (3, 4).
    const int gaussian = static_cast<int>(PairShape::Gaussian);
    place({particle(13, 4, 1, 2, 2, 1, 0.5), particle(10, 0, 0, 7)});
    PotentialSlot& slot = world.pairSlots[0];
    world.terminalSpeed = 0;
    setSlot(slot, PotentialKind::EnergyDissipation, gaussian, 0.4, 5, 1);
    EXPECT_EQ(rateOf(0).ax, -(0.4 * 1 * 1 / 2 * 0.5));
    EXPECT_EQ(rateOf(0).ay, -(0.4 * 2 / 2 * 0.5));
    setSlot(slot, PotentialKind::RelativeVelocityDissipation, gaussian, 0.4, 5, 1);
    EXPECT_EQ(rateOf(0).ax, -(0.4 * (1 - 0) / 2 * 0.5));
    EXPECT_EQ(rateOf(0).ay, -(0.4 * (2 - 7) / 2 * 0.5));
    // Along the separation only: the radial part of the relative velocity.
    setSlot(slot, PotentialKind::AngularMomentumDissipation, gaussian, 0.4, 5, 1);
    const double Ax = -(0.4 * 1 / 2 * 0.5), Ay = -(0.4 * -5 / 2 * 0.5);
    const double along = Ax * 3 + Ay * 4;
    EXPECT_DOUBLE_EQ(rateOf(0).ax, along * 3 / 25);
    EXPECT_DOUBLE_EQ(rateOf(0).ay, along * 4 / 25);
}

TEST_F(ForceRates, PerpendicularRelativeMotionIsKeptByAngularMomentumDissipation) {
    const int gaussian = static_cast<int>(PairShape::Gaussian);
    place({particle(10, 0, 0, 1), particle(0, 0, 0, -1)});
    setSlot(world.pairSlots[2], PotentialKind::AngularMomentumDissipation, gaussian, 1, 10, 3);
    EXPECT_EQ(rateOf(0).ax, 0);
    EXPECT_EQ(rateOf(0).ay, 0);
    setSlot(world.pairSlots[2], PotentialKind::RelativeVelocityDissipation, gaussian, 1, 10, 3);
    EXPECT_EQ(rateOf(0).ay, -2);
}

TEST_F(ForceRates, CoincidentParticlesDoNotPoisonTheOthers) {
    world.coulombStrength = 1;
    world.coulombSoftening = 0;
    world.gravityY = 0.25f;
    place({particle(50, 50), particle(50, 50), particle(60, 50)});
    computeRates(world.particles, rates);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(std::isfinite(rates[i].ax)) << i;
        EXPECT_TRUE(std::isfinite(rates[i].ay)) << i;
    }
    // The finite terms survive: each twin feels the third particle and gravity.
    EXPECT_DOUBLE_EQ(rates[0].ax, -0.01);
    EXPECT_EQ(rates[0].ay, 0.25);
    EXPECT_DOUBLE_EQ(rates[2].ax, 0.02);
    // A zero width slot is skipped the same way, term by term.
    setSlot(world.pairSlots[1], PotentialKind::MassProportional, static_cast<int>(PairShape::Tanh), 1, 5, 0);
    EXPECT_DOUBLE_EQ(rateOf(2).ax, 0.02);
}
}  // namespace
