#include "time_step.h"

#include <cassert>

#include "force_rates.h"
#include "world_state.h"

// Scratch storage of the step, sized once so that a step never allocates.
static ParticleRate k1[MaxParticles], k2[MaxParticles], k3[MaxParticles], k4[MaxParticles];
static Particle stageState[MaxParticles];

static void setStage(int n, const Particle* p, const ParticleRate* k, double factor) {
    for (int i = 0; i < n; ++i) {
        stageState[i].x = p[i].x + factor * k[i].dxdt;
        stageState[i].y = p[i].y + factor * k[i].dydt;
        stageState[i].vx = p[i].vx + factor * k[i].ax;
        stageState[i].vy = p[i].vy + factor * k[i].ay;
    }
}

// Mass, charge and dissipation do not change within a step.
static void copyConstants(int n, const Particle* p) {
    for (int i = 0; i < n; ++i) {
        stageState[i].mass = p[i].mass;
        stageState[i].charge = p[i].charge;
        stageState[i].dissipation = p[i].dissipation;
    }
}

static double combine(double p, double r1, double r2, double r3, double r4, double h) {
    return ((2 * r2 + r1) + 2 * r3 + r4) * h / 6 + p;
}

void advanceStep() { advanceStepWith(computeRates); }

void advanceStepWith(void (*rateFunction)(const Particle* state, ParticleRate* rates)) {
    const int n = world.particleCount;
    if (n <= 0) return;
    assert(n <= MaxParticles && "particleCount beyond the particle table: a caller skipped the limit check");
    Particle* P = world.particles;
    const double h = world.simulationSpeed;
    rateFunction(P, k1);
    setStage(n, P, k1, h * 0.5);
    copyConstants(n, P);
    rateFunction(stageState, k2);
    setStage(n, P, k2, h * 0.5);
    rateFunction(stageState, k3);
    setStage(n, P, k3, h);
    rateFunction(stageState, k4);
    for (int i = 0; i < n; ++i) {
        P[i].x = combine(P[i].x, k1[i].dxdt, k2[i].dxdt, k3[i].dxdt, k4[i].dxdt, h);
        P[i].y = combine(P[i].y, k1[i].dydt, k2[i].dydt, k3[i].dydt, k4[i].dydt, h);
        P[i].vx = combine(P[i].vx, k1[i].ax, k2[i].ax, k3[i].ax, k4[i].ax, h);
        P[i].vy = combine(P[i].vy, k1[i].ay, k2[i].ay, k3[i].ay, k4[i].ay, h);
    }
}
