#include "world_init.h"

#include <cstdlib>

#include "world_state.h"

int randomDraw() { return std::rand() >> 16; }

static double unitDraw() { return randomDraw() / 32767.0; }

void placeParticlesRandomly() {
    WorldState& w = world;
    for (int i = 0; i < w.particleCount; ++i) {
        Particle& p = w.particles[i];
        p.x = static_cast<double>(randomDraw()) * w.windowWidth / 32767.0;
        p.y = static_cast<double>(randomDraw()) * w.windowHeight / 32767.0;
        p.vx = (unitDraw() - 0.5) * (w.rightDragSpeed * 100.0);
        p.vy = (unitDraw() - 0.5) * (w.rightDragSpeed * 100.0);
    }
}

// Red, yellow, green, cyan, blue, magenta: the first six particles are told
// apart at a glance.
static const double startColours[6][3] = {
    {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1},
};

void initWorld() {
    WorldState& w = world;
    placeParticlesRandomly();
    for (int i = 0; i < w.particleCount; ++i) {
        Particle& p = w.particles[i];
        p.mass = 1.0;
        p.charge = 1.0;
        p.dissipation = 1.0;
        p.radius = 10.0;
    }
    for (int i = 0; i < 6; ++i) {
        w.particles[i].red = startColours[i][0];
        w.particles[i].green = startColours[i][1];
        w.particles[i].blue = startColours[i][2];
    }
    for (int k = 0; k < PotentialSlotCount; ++k) {
        w.externalSlots[k] = PotentialSlot{};
        w.pairSlots[k] = PotentialSlot{};
    }
}
