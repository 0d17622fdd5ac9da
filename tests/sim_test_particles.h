// A particle with only the dynamic fields the force and energy tests set.
#pragma once

#include "world_state.h"

inline Particle particle(double x, double y, double vx = 0, double vy = 0, double mass = 1,
                         double charge = 1, double dissipation = 1) {
    Particle p;
    p.x = x;
    p.y = y;
    p.vx = vx;
    p.vy = vy;
    p.mass = mass;
    p.charge = charge;
    p.dissipation = dissipation;
    return p;
}
