#include <gtest/gtest.h>

#include <cmath>

#include "conserved_quantities.h"
#include "sim_test_particles.h"
#include "world_state.h"

namespace {
using namespace Conserved;

class ConservedQuantities : public ::testing::Test {
protected:
    void SetUp() override {
        world = WorldState{};
        world.particleCount = 0;
    }
    Particle& add(double x, double y, double vx, double vy, double mass, double charge) {
        Particle& p = world.particles[world.particleCount++];
        p = particle(x, y, vx, vy, mass, charge);
        return p;
    }
    float value(Index k) {
        computeConservedQuantities();
        return world.conservedValues[k];
    }
    // Opposite charges in a magnetic field of 0.5 with Coulomb strength 1:
    // p0 (mass 2) moving right, p1 (mass 1) at rest 10 to its right.
    void twoParticles() {
        add(100, 100, 1, 0, 2, 1);
        add(110, 100, 0, 0, 1, -1);
        world.magneticField = 0.5f;
        world.coulombStrength = 1;
        world.coulombSoftening = 1;
    }
};

TEST_F(ConservedQuantities, NoParticlesGiveZeros) {
    for (float& v : world.conservedValues) v = 3;
    computeConservedQuantities();
    for (int k = 0; k < Count; ++k) EXPECT_EQ(world.conservedValues[k], 0) << names[k];
}

TEST_F(ConservedQuantities, TwoChargedParticlesInAMagneticField) {
    twoParticles();
    computeConservedQuantities();
    const float* e = world.conservedValues;
    EXPECT_FLOAT_EQ(e[momentumX], 2);
    EXPECT_FLOAT_EQ(e[momentumY], 0);
    EXPECT_FLOAT_EQ(e[angularMomentum], -200);
    EXPECT_FLOAT_EQ(e[magneticMomentumX], 0);
    EXPECT_FLOAT_EQ(e[magneticMomentumY], -5);
    EXPECT_FLOAT_EQ(e[magneticAngularMomentum], -525);
    EXPECT_FLOAT_EQ(e[totalMomentumX], 2);
    EXPECT_FLOAT_EQ(e[totalMomentumY], -5);
    EXPECT_FLOAT_EQ(e[totalAngularMomentum], -725);
    EXPECT_FLOAT_EQ(e[kineticEnergy], 1);
    EXPECT_FLOAT_EQ(e[coulombEnergy], -0.1f);
    EXPECT_FLOAT_EQ(e[electricEnergy], 0);
    EXPECT_FLOAT_EQ(e[gravityEnergy], 0);
    EXPECT_FLOAT_EQ(e[otherExternalEnergy], 0);
    EXPECT_FLOAT_EQ(e[otherPairEnergy], 0);
    EXPECT_FLOAT_EQ(e[totalEnergy], 0.9f);
}

TEST_F(ConservedQuantities, ForcesSwitchDropsCoulombAndFieldsButNotPairSlots) {
    twoParticles();
    world.gravityY = 2;
    world.electricX = 1;
    world.forcesEnabled = 0;
    EXPECT_EQ(value(coulombEnergy), 0);
    EXPECT_EQ(value(gravityEnergy), 0);
    EXPECT_EQ(value(electricEnergy), 0);
    EXPECT_FLOAT_EQ(value(totalEnergy), 1);
    // Power a = 2, b = 1 at r = 10: U = 100.
    world.pairSlots[4] = {static_cast<int>(PotentialKind::ChargeProportional), static_cast<int>(PairShape::Power), 0.5, 2, 1, 0};
    world.pairSlots[5] = {static_cast<int>(PotentialKind::MassProportional), static_cast<int>(PairShape::Power), 0.25, 2, 1, 0};
    EXPECT_FLOAT_EQ(value(otherPairEnergy), 100 * 0.5 * -1 + 100 * 0.25 * 2);
    world.forcesEnabled = 1;
    EXPECT_FLOAT_EQ(value(gravityEnergy), -(2 * 100 * 2 + 2 * 100 * 1));
    EXPECT_FLOAT_EQ(value(electricEnergy), -(100 * 1 - 110 * 1));
}

TEST_F(ConservedQuantities, SofteningAndPeriodicSeparations) {
    add(10, 50, 0, 0, 1, 1);
    add(12, 50, 0, 0, 1, 1);
    world.coulombStrength = 1;
    world.coulombSoftening = 4;
    EXPECT_FLOAT_EQ(value(coulombEnergy), 0.34375f);
    world.coulombSoftening = 1;
    world.particles[1].x = 490;
    EXPECT_FLOAT_EQ(value(coulombEnergy), 1.0f / 480);
    world.boundaryX = static_cast<int>(BoundaryMode::PeriodicInteracting);
    EXPECT_FLOAT_EQ(value(coulombEnergy), 1.0f / 20);
    // Coincident at zero softening: the energy is infinite and shows so.
    world.particles[1].x = 10;
    world.coulombSoftening = 0;
    EXPECT_EQ(value(coulombEnergy), INFINITY);
    EXPECT_EQ(value(totalEnergy), INFINITY);
}

TEST_F(ConservedQuantities, SoftWallsCountOnlyInTheirMode) {
    Particle& p = add(250, 250, 0, 0, 1, 0);
    world.boundaryX = static_cast<int>(BoundaryMode::Wall);
    EXPECT_EQ(value(otherExternalEnergy), 0);
    world.boundaryX = static_cast<int>(BoundaryMode::WallPrecise);
    EXPECT_NEAR(value(otherExternalEnergy), 0, 1e-10);
    p.x = -10;
    EXPECT_FLOAT_EQ(value(otherExternalEnergy), 50);
    p.mass = 2;
    world.boundaryY = static_cast<int>(BoundaryMode::WallPrecise);
    p.y = 510;
    EXPECT_FLOAT_EQ(value(otherExternalEnergy), 200);
}

TEST_F(ConservedQuantities, OnlyConservativeSlotKindsHaveEnergy) {
    add(5, 0, 1, 1, 2, 3);
    add(8, 4, 1, 1, 2, 3);
    const int quadraticX = static_cast<int>(ExternalShape::QuadraticX);
    world.externalSlots[0] = {static_cast<int>(PotentialKind::ChargeProportional), quadraticX, 0.5, 1, 0, 0};
    world.externalSlots[1] = {static_cast<int>(PotentialKind::MassProportional), quadraticX, 0.25, 1, 0, 0};
    EXPECT_FLOAT_EQ(value(otherExternalEnergy), (16 + 49) * 0.5 * 3 + (16 + 49) * 0.25 * 2);
    computeConservedQuantities();
    float before[Count];
    std::copy(world.conservedValues, world.conservedValues + Count, before);
    world.externalSlots[2] = {static_cast<int>(PotentialKind::EnergyDissipation), quadraticX, 9, 1, 0, 0};
    world.externalSlots[3] = {7, quadraticX, 9, 1, 0, 0};
    world.externalSlots[4] = {static_cast<int>(PotentialKind::ChargeProportional), 5, 9, 1, 0, 0};
    for (int kind = 3; kind <= 6; ++kind)
        world.pairSlots[kind] = {kind, static_cast<int>(PairShape::Power), 9, 2, 1, 0};
    world.pairSlots[0] = {static_cast<int>(PotentialKind::MassProportional), 7, 9, 2, 1, 0};
    computeConservedQuantities();
    for (int k = 0; k < Count; ++k) EXPECT_EQ(world.conservedValues[k], before[k]) << names[k];
}

TEST_F(ConservedQuantities, EntriesAccumulateInSinglePrecision) {
    // 2^24 + 1 + 1: each float addition of 1 rounds back to 2^24, while a
    // double sum would round to 2^24 + 2.
    add(0, 0, 16777216, 0, 1, 0);
    add(0, 0, 1, 0, 1, 0);
    add(0, 0, 1, 0, 1, 0);
    EXPECT_EQ(value(momentumX), 16777216.0f);
}
}  // namespace
