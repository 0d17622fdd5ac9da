// Writes the soak scene: 1000 particles with every force on, every external
// and pair kind and every shape in use, a periodic-interacting x axis and a
// soft-walled y axis. Strengths are small enough that the scene stays finite
// for a long run; the point is that every code path runs for hours.
#include <cstdlib>

#include "sim/world_init.h"
#include "sim/world_state.h"
#include "tools/scene_writer.h"

static void slot(PotentialSlot& s, PotentialKind kind, int shape, double strength, double a, double b,
                 double c = 0) {
    s = PotentialSlot{static_cast<int>(kind), shape, strength, a, b, c};
}

// Ten external slots: each of the five shapes twice, the three kinds in turn.
static void externalSlots(WorldState& w) {
    const PotentialKind kinds[] = {PotentialKind::ChargeProportional, PotentialKind::MassProportional,
                                   PotentialKind::EnergyDissipation};
    for (int k = 0; k < PotentialSlotCount; ++k) {
        const PotentialKind kind = kinds[k % 3];
        switch (static_cast<ExternalShape>(k % ExternalShapeCount)) {
        case ExternalShape::UniformField: slot(w.externalSlots[k], kind, k % 5, 0.001, 0.002, -0.001); break;
        case ExternalShape::QuadraticX: slot(w.externalSlots[k], kind, k % 5, 1e-7, w.windowWidth / 2.0, 0); break;
        case ExternalShape::QuadraticY: slot(w.externalSlots[k], kind, k % 5, 1e-7, w.windowHeight / 2.0, 0); break;
        case ExternalShape::TanhX: slot(w.externalSlots[k], kind, k % 5, 0.01, 100, 20); break;
        case ExternalShape::TanhY: slot(w.externalSlots[k], kind, k % 5, 0.01, 300, 20); break;
        }
    }
}

// Ten pair slots: the seven shapes and then three again, the five kinds in turn.
static void pairSlots(WorldState& w) {
    for (int k = 0; k < PotentialSlotCount; ++k) {
        const auto kind = static_cast<PotentialKind>(1 + k % 5);
        const double strength = kind == PotentialKind::ChargeProportional ? 0.05 : 0.01;
        switch (static_cast<PairShape>(k % PairShapeCount)) {
        case PairShape::ChargedSphere: slot(w.pairSlots[k], kind, k % 7, strength, 4, 0); break;
        case PairShape::Power: slot(w.pairSlots[k], kind, k % 7, strength * 1e-3, 1, 50); break;
        case PairShape::PowerExp: slot(w.pairSlots[k], kind, k % 7, strength, 1, 10, 6); break;
        case PairShape::Tanh: slot(w.pairSlots[k], kind, k % 7, strength, 12, 3); break;
        case PairShape::Morse: slot(w.pairSlots[k], kind, k % 7, strength, 15, 5); break;
        case PairShape::Gaussian: slot(w.pairSlots[k], kind, k % 7, strength, 0, 10); break;
        case PairShape::Lorentzian: slot(w.pairSlots[k], kind, k % 7, strength, 0, 10); break;
        }
    }
}

static void buildScene() {
    WorldState& w = world;
    w = WorldState{};
    w.windowWidth = 900;
    w.windowHeight = 700;
    w.particleCount = MaxParticles;
    w.simulationSpeed = 0.05f;
    w.gravityX = 0.0005f;
    w.gravityY = 0.001f;
    w.electricX = -0.001f;
    w.electricY = 0.0005f;
    w.magneticField = 0.01f;
    w.coulombStrength = 2;
    w.coulombSoftening = 3;
    w.dragCoefficient = 0.01f;
    w.terminalSpeed = 0.5f;
    w.boundaryX = static_cast<int>(BoundaryMode::PeriodicInteracting);
    w.boundaryY = static_cast<int>(BoundaryMode::WallPrecise);
    std::srand(1000);
    initWorld();
    for (int i = 0; i < w.particleCount; ++i) {
        Particle& p = w.particles[i];
        p.charge = i % 2 == 0 ? 1 : -1;
        p.mass = 1 + i % 3;
        p.dissipation = 0.5 + (i % 4) * 0.25;
        p.radius = 3;
    }
    externalSlots(w);
    pairSlots(w);
}

int main(int argc, char** argv) { return writeSceneFile(argc, argv, "partivox-soak-scene", buildScene); }
