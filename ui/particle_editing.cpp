#include "ui/particle_editing.h"

#include "sim/world_init.h"
#include "sim/world_state.h"
#include "ui/run_state.h"
#include "ui/window_seam.h"

void copyToFloats(const Particle& p, ParticleFloats& f) {
    f.x = static_cast<float>(p.x);
    f.y = static_cast<float>(p.y);
    f.vx = static_cast<float>(p.vx);
    f.vy = static_cast<float>(p.vy);
    f.mass = static_cast<float>(p.mass);
    f.charge = static_cast<float>(p.charge);
    f.red = static_cast<float>(p.red);
    f.green = static_cast<float>(p.green);
    f.blue = static_cast<float>(p.blue);
    f.radius = static_cast<float>(p.radius);
    f.dissipation = static_cast<float>(p.dissipation);
}

static void copyFromFloats(const ParticleFloats& f, Particle& p) {
    p.x = f.x;
    p.y = f.y;
    p.vx = f.vx;
    p.vy = f.vy;
    p.mass = f.mass;
    p.charge = f.charge;
    p.red = f.red;
    p.green = f.green;
    p.blue = f.blue;
    p.radius = f.radius;
    p.dissipation = f.dissipation;
}

static bool isLiveIndex(int index) { return index >= 0 && index < world.particleCount; }

void copyInfoParticle() {
    WorldState& w = world;
    if (isLiveIndex(w.infoParticleIndex)) copyToFloats(w.particles[w.infoParticleIndex], w.infoValues);
}

void refreshInfoPanel(int) {
    WorldState& w = world;
    if (!isLiveIndex(w.infoParticleIndex)) w.infoParticleIndex = 0;
    copyInfoParticle();
    syncControls();
}

void clampEditIndex(int) {
    if (!isLiveIndex(world.editParticleIndex)) world.editParticleIndex = 0;
    syncControls();
}

static float randomComponent() { return static_cast<float>(randomDraw() / 32767.0); }

static void randomiseBufferColour() {
    ParticleFloats& b = world.editValues;
    b.red = randomComponent();
    b.green = randomComponent();
    b.blue = randomComponent();
}

static void applyColour(Particle& p) {
    const ParticleFloats& b = world.editValues;
    p.red = b.red;
    p.green = b.green;
    p.blue = b.blue;
}

// A full table refuses the particle; the first one into an empty table
// restarts the simulation.
static void addParticle() {
    WorldState& w = world;
    const int n = w.particleCount;
    if (n >= MaxParticles) return;
    w.editParticleIndex = n;
    w.particleCount = n + 1;
    copyFromFloats(w.editValues, w.particles[n]);
    followParticleCount(n);
}

// The table stays packed and in order; the panels keep their numbers unless
// those fell off the end.
static void removeParticle(int k) {
    WorldState& w = world;
    const int n = w.particleCount;
    w.particleCount = n - 1;
    for (int i = k; i < n - 1; ++i) w.particles[i] = w.particles[i + 1];
    if (w.particleCount == 0) {
        w.infoValues = ParticleFloats{};
        followParticleCount(n);
        return;
    }
    if (k == n - 1) w.editParticleIndex = n - 2;
    if (w.infoParticleIndex == n - 1) w.infoParticleIndex = n - 2;
}

// The velocity that cancels the momentum of all other particles. A particle
// without mass cannot take it (the division would give an infinite
// velocity): it and the buffer are left as they are.
static void zeroMomentumVelocity(int k) {
    WorldState& w = world;
    Particle& p = w.particles[k];
    if (p.mass == 0) return;
    ParticleFloats& b = w.editValues;
    b.vx = 0;
    b.vy = 0;
    for (int i = 0; i < w.particleCount; ++i) {
        if (i == k) continue;
        b.vx = static_cast<float>(b.vx + w.particles[i].vx * w.particles[i].mass);
        b.vy = static_cast<float>(b.vy + w.particles[i].vy * w.particles[i].mass);
    }
    b.vx = static_cast<float>(-(b.vx / p.mass));
    b.vy = static_cast<float>(-(b.vy / p.mass));
    p.vx = b.vx;
    p.vy = b.vy;
}

static void act(ParticleEditAction action, int k) {
    WorldState& w = world;
    Particle& p = w.particles[k];
    const ParticleFloats& b = w.editValues;
    switch (action) {
    case ParticleEditAction::ShowCurrent: copyToFloats(p, w.editValues); break;
    case ParticleEditAction::ApplyPosition: p.x = b.x; p.y = b.y; break;
    case ParticleEditAction::ApplyVelocity: p.vx = b.vx; p.vy = b.vy; break;
    case ParticleEditAction::ApplyMass: p.mass = b.mass; break;
    case ParticleEditAction::ApplyCharge: p.charge = b.charge; break;
    case ParticleEditAction::RandomColour: randomiseBufferColour(); applyColour(p); break;
    case ParticleEditAction::ApplyColour: applyColour(p); break;
    case ParticleEditAction::ApplyRadius: p.radius = b.radius; break;
    case ParticleEditAction::ApplyDissipation: p.dissipation = b.dissipation; break;
    case ParticleEditAction::AddRandomColoured: randomiseBufferColour(); addParticle(); break;
    case ParticleEditAction::AddParticle: addParticle(); break;
    case ParticleEditAction::RemoveParticle: removeParticle(k); break;
    case ParticleEditAction::ZeroMomentumVelocity: zeroMomentumVelocity(k); break;
    }
}

void particleEditButton(int id) {
    WorldState& w = world;
    const bool adds = id == static_cast<int>(ParticleEditAction::AddRandomColoured) ||
                      id == static_cast<int>(ParticleEditAction::AddParticle);
    if (w.particleCount == 0 && !adds) return;
    // The number is kept in range by its field's callback; one that slipped
    // past it must still not reach outside the table.
    if (!isLiveIndex(w.editParticleIndex)) w.editParticleIndex = 0;
    if (id >= 0 && id <= static_cast<int>(ParticleEditAction::ZeroMomentumVelocity))
        act(static_cast<ParticleEditAction>(id), w.editParticleIndex);
    refreshInfoPanel(0);
    postMainRedisplay();
}

void placeParticlesRandomlyButton(int) {
    placeParticlesRandomly();
    postMainRedisplay();
}
