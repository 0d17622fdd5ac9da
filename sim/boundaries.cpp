#include "boundaries.h"

#include "world_state.h"

double minimumImage(double d, int period) {
    const int half = period / 2;
    if (d >= half) d -= period;
    if (d < -half) d += period;
    return d;
}

Separation pairSeparation(const Particle& p, const Particle& other, int boundaryX, int boundaryY,
                          int width, int height) {
    Separation d = {p.x - other.x, p.y - other.y};
    if (static_cast<BoundaryMode>(boundaryX) == BoundaryMode::PeriodicInteracting)
        d.dx = minimumImage(d.dx, width);
    if (static_cast<BoundaryMode>(boundaryY) == BoundaryMode::PeriodicInteracting)
        d.dy = minimumImage(d.dy, height);
    return d;
}

// One test per edge and step: a particle more than a window beyond an edge
// comes back over several steps, not at once.
static void foldAxis(double& s, double& v, double length, int mode) {
    switch (static_cast<BoundaryMode>(mode)) {
    case BoundaryMode::Periodic:
    case BoundaryMode::PeriodicInteracting:
        if (s >= length) s = s - length;
        if (s < 0) s = s + length;
        break;
    case BoundaryMode::Wall:
        if (s >= length) {
            s = 2 * length - s;
            v = -v;
        }
        if (s < 0) {
            s = -s;
            v = -v;
        }
        break;
    default:  // Open: particles leave; WallPrecise: the walls are forces
        break;
    }
}

void applyBoundaries() {
    WorldState& w = world;
    for (int i = 0; i < w.particleCount; ++i)
        foldAxis(w.particles[i].x, w.particles[i].vx, w.windowWidth, w.boundaryX);
    for (int i = 0; i < w.particleCount; ++i)
        foldAxis(w.particles[i].y, w.particles[i].vy, w.windowHeight, w.boundaryY);
}
