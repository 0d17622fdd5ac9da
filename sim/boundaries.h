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
