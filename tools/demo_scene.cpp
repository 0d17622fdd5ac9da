// Writes the demonstration scene that `make run` starts from: forty charged
// particles between hard walls, bound into clusters by a Morse pair
// potential. Seeded with a fixed number so the file can be made again.
#include <cstdlib>

#include "sim/world_init.h"
#include "sim/world_state.h"
#include "tools/scene_writer.h"

static void buildScene() {
    WorldState& w = world;
    w = WorldState{};
    w.particleCount = 40;
    w.boundaryX = static_cast<int>(BoundaryMode::Wall);
    w.boundaryY = static_cast<int>(BoundaryMode::Wall);
    w.coulombStrength = 20;
    w.coulombSoftening = 5;
    w.dragCoefficient = 0.01f;
    w.terminalSpeed = 0.3f;
    std::srand(2026);
    initWorld();
    for (int i = 0; i < w.particleCount; ++i) {
        Particle& p = w.particles[i];
        const bool positive = i % 2 == 0;
        p.charge = positive ? 1 : -1;
        p.red = positive ? 0.9 : 0.1;
        p.green = 0.2;
        p.blue = positive ? 0.1 : 0.9;
        p.radius = 6;
    }
    PotentialSlot& morse = w.pairSlots[0];
    morse.kind = static_cast<int>(PotentialKind::MassProportional);
    morse.shape = static_cast<int>(PairShape::Morse);
    morse.strength = 2;
    morse.a = 18;
    morse.b = 8;
}

int main(int argc, char** argv) { return writeSceneFile(argc, argv, "partivox-demo-scene", buildScene); }
