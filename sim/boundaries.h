// What the edges of the window do: the fold after each step, and the
// separation of two particles seen across a periodic edge.
#pragma once

// Wraps or reflects the live particles of `world` per axis, by boundaryX and
// boundaryY, with the current window size as the domain.
void applyBoundaries();

// The separation d along an axis of length `period` folded to the nearest
// image: half = period / 2 in integer division, d >= half moves down one
// period, then (on the new d) d < -half moves up one.
double minimumImage(double d, int period);

struct Particle;

struct Separation {
    double dx;
    double dy;
};

// p minus other, each axis folded to the nearest image where that axis is
// PeriodicInteracting; the raw difference under every other mode.
Separation pairSeparation(const Particle& p, const Particle& other, int boundaryX, int boundaryY,
                          int width, int height);
