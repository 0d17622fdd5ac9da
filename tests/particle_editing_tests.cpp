#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "sim/world_state.h"
#include "tests/ui_fake_seam.h"
#include "ui/particle_editing.h"

namespace {
using A = ParticleEditAction;

// n particles numbered by their x: particle i at x = i, mass 1 + i.
void particles(int n) {
    resetFrontEnd();
    world.particleCount = n;
    for (int i = 0; i < n; ++i) {
        world.particles[i].x = i;
        world.particles[i].mass = 1 + i;
    }
}

void press(A action) { particleEditButton(static_cast<int>(action)); }

ParticleFloats buffer() {
    return {1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 0.25f, 0.5f, 0.75f, 7.5f, 8.5f};
}
}  // namespace

// Each apply button writes exactly its own fields of the chosen particle.
TEST(ParticleEditButtons, ApplyButtonsWriteTheirFieldsOnly) {
    struct Row {
        A action;
        Particle expected;   // particle 1 after the press, which started all zero apart from x 1, mass 2
    };
    const Row rows[] = {
        {A::ApplyPosition, {1.5, 2.5, 0, 0, 2, 0, 0, 0, 0, 0, 0}},
        {A::ApplyVelocity, {1, 0, 3.5, 4.5, 2, 0, 0, 0, 0, 0, 0}},
        {A::ApplyMass, {1, 0, 0, 0, 5.5, 0, 0, 0, 0, 0, 0}},
        {A::ApplyCharge, {1, 0, 0, 0, 2, 6.5, 0, 0, 0, 0, 0}},
        {A::ApplyColour, {1, 0, 0, 0, 2, 0, 0.25, 0.5, 0.75, 0, 0}},
        {A::ApplyRadius, {1, 0, 0, 0, 2, 0, 0, 0, 0, 7.5, 0}},
        {A::ApplyDissipation, {1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 8.5}},
    };
    for (const Row& row : rows) {
        particles(3);
        world.editParticleIndex = 1;
        world.editValues = buffer();
        press(row.action);
        const Particle& p = world.particles[1];
        const double got[] = {p.x, p.y, p.vx, p.vy, p.mass, p.charge, p.red, p.green, p.blue, p.radius, p.dissipation};
        const Particle& e = row.expected;
        const double want[] = {e.x, e.y, e.vx, e.vy, e.mass, e.charge, e.red, e.green, e.blue, e.radius, e.dissipation};
        for (int f = 0; f < 11; ++f) EXPECT_EQ(got[f], want[f]) << static_cast<int>(row.action) << " field " << f;
        EXPECT_EQ(world.particles[0].mass, 1) << static_cast<int>(row.action);
        EXPECT_EQ(world.particles[2].mass, 3) << static_cast<int>(row.action);
    }
}

TEST(ParticleEditButtons, ShowCurrentLoadsTheBufferAsFloats) {
    particles(2);
    world.editParticleIndex = 1;
    world.particles[1].vy = 0.1;   // not a float: the buffer holds its rounding
    press(A::ShowCurrent);
    EXPECT_EQ(world.editValues.x, 1.0f);
    EXPECT_EQ(world.editValues.mass, 2.0f);
    EXPECT_EQ(world.editValues.vy, 0.1f);
}

TEST(ParticleEditButtons, RandomColourGoesToBufferAndParticle) {
    particles(2);
    world.editParticleIndex = 1;
    world.editValues.red = 2;   // out of a draw's range
    press(A::RandomColour);
    const Particle& p = world.particles[1];
    EXPECT_LE(world.editValues.red, 1.0f);
    EXPECT_EQ(p.red, world.editValues.red);
    EXPECT_EQ(p.green, world.editValues.green);
    EXPECT_EQ(p.blue, world.editValues.blue);
}

TEST(ParticleEditButtons, AddAppendsTheBufferAndPointsTheEditPanelAtIt) {
    particles(6);
    world.editValues = buffer();
    press(A::AddParticle);
    EXPECT_EQ(world.particleCount, 7);
    EXPECT_EQ(world.editParticleIndex, 6);
    EXPECT_EQ(world.particles[6].dissipation, 8.5);
    EXPECT_EQ(world.particles[6].radius, 7.5);
}

TEST(ParticleEditButtons, AFullTableRefusesAddsButTheRandomColourStillChangesTheBuffer) {
    particles(MaxParticles);
    world.editParticleIndex = 3;
    world.editValues.red = 2;
    press(A::AddParticle);
    press(A::AddRandomColoured);
    EXPECT_EQ(world.particleCount, MaxParticles);
    EXPECT_EQ(world.editParticleIndex, 3);
    EXPECT_LE(world.editValues.red, 1.0f);
}

// Removal keeps the table packed and in order; the panels keep their
// numbers unless the number fell off the end.
TEST(ParticleEditButtons, RemoveShiftsLaterParticlesDownAndMovesIndicesOffTheEnd) {
    struct Row {
        int count, edit, info;
        int editAfter, infoAfter;
        std::vector<double> xsAfter;
    };
    const Row rows[] = {
        {5, 2, 4, 2, 3, {0, 1, 3, 4}},
        {5, 4, 4, 3, 3, {0, 1, 2, 3}},
        {5, 4, 1, 3, 1, {0, 1, 2, 3}},
        {2, 0, 0, 0, 0, {1}},
    };
    for (const Row& row : rows) {
        particles(row.count);
        world.editParticleIndex = row.edit;
        world.infoParticleIndex = row.info;
        press(A::RemoveParticle);
        std::vector<double> xs;
        for (int i = 0; i < world.particleCount; ++i) xs.push_back(world.particles[i].x);
        EXPECT_EQ(xs, row.xsAfter) << row.count << " " << row.edit;
        EXPECT_EQ(world.editParticleIndex, row.editAfter) << row.count << " " << row.edit;
        EXPECT_EQ(world.infoParticleIndex, row.infoAfter) << row.count << " " << row.edit;
        EXPECT_EQ(world.infoValues.x, static_cast<float>(row.xsAfter[row.infoAfter]));
    }
}

TEST(ParticleEditButtons, RemovingTheOnlyParticleZeroesTheInformation) {
    particles(1);
    world.infoValues.mass = 5;
    press(A::RemoveParticle);
    EXPECT_EQ(world.particleCount, 0);
    EXPECT_EQ(world.infoValues.mass, 0.0f);
}

TEST(ParticleEditButtons, AnEmptyTableIgnoresEveryButtonButTheAdds) {
    for (int id = 0; id <= 12; ++id) {
        if (id == static_cast<int>(A::AddParticle) || id == static_cast<int>(A::AddRandomColoured)) continue;
        particles(0);
        world.editValues = buffer();
        particleEditButton(id);
        EXPECT_TRUE(fakeSeam::calls.empty()) << id;
        EXPECT_EQ(world.editValues.x, 1.5f) << id;
    }
}

// The particle's own momentum, which it is about to lose, does not count.
TEST(ParticleEditButtons, ZeroMomentumVelocityCancelsTheOthersMomentum) {
    particles(2);
    world.particles[0].vx = 4;
    world.particles[0].vy = 1;
    world.particles[1].vx = 3;
    world.particles[1].vy = -7;
    world.editParticleIndex = 1;
    press(A::ZeroMomentumVelocity);
    EXPECT_EQ(world.particles[1].vx, -2);
    EXPECT_EQ(world.particles[1].vy, -0.5);
    EXPECT_EQ(world.editValues.vx, -2.0f);
    EXPECT_EQ(world.editValues.vy, -0.5f);
}

// Dividing by a mass of 0 would give the particle an infinite velocity.
TEST(ParticleEditButtons, ZeroMomentumVelocityLeavesAMasslessParticleAndTheBufferAlone) {
    particles(2);
    world.particles[0].vx = 4;
    world.particles[1].mass = 0;
    world.particles[1].vx = 0.5;
    world.editParticleIndex = 1;
    world.editValues.vx = 7;
    press(A::ZeroMomentumVelocity);
    EXPECT_EQ(world.particles[1].vx, 0.5);
    EXPECT_EQ(world.editValues.vx, 7.0f);
    EXPECT_EQ(fakeSeam::calls, (std::vector<std::string>{"sync", "redisplay"}));
}

// Stopped, nothing else redraws the main window: every button that reaches
// the table, and the random placement, ask for a frame themselves.
TEST(ParticleEditButtons, EveryEditAndTheRandomPlacementRedrawTheMainWindow) {
    std::vector<std::function<void()>> edits;
    for (int id = 0; id <= 12; ++id) edits.push_back([id] { particleEditButton(id); });
    edits.push_back([] { placeParticlesRandomlyButton(0); });
    for (size_t i = 0; i < edits.size(); ++i) {
        particles(3);
        world.paused = true;
        edits[i]();
        ASSERT_FALSE(fakeSeam::calls.empty()) << i;
        EXPECT_EQ(fakeSeam::calls.back(), "redisplay") << i;
    }
}

// Numbers outside the live particles become 0; an index past the table must
// never be used to read or write it.
TEST(ParticleIndices, OutOfRangeNumbersBecomeZero) {
    struct Row {
        int count, index, after;
    };
    const Row rows[] = {{3, 2, 2}, {3, 3, 0}, {3, -1, 0}, {3, 5000, 0}, {0, 0, 0}};
    for (const Row& row : rows) {
        particles(row.count);
        world.infoParticleIndex = row.index;
        world.editParticleIndex = row.index;
        refreshInfoPanel(0);
        clampEditIndex(0);
        EXPECT_EQ(world.infoParticleIndex, row.after) << row.index;
        EXPECT_EQ(world.editParticleIndex, row.after) << row.index;
        EXPECT_EQ(world.infoValues.x, static_cast<float>(row.count > 0 ? row.after : 0)) << row.index;
    }
    particles(3);
    world.editParticleIndex = 5000;
    world.editValues.mass = 9;
    press(A::ApplyMass);
    EXPECT_EQ(world.particles[0].mass, 9);
}
