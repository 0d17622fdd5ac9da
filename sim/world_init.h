// Start-up defaults and random placement of the particles.
#pragma once

// One uniform draw from 0 to 32767. glibc's rand yields 31 bits; its 15 high
// bits keep the range every random quantity of the program is scaled by.
int randomDraw();

// New random positions inside the window and random velocities of spread
// +-50 * rightDragSpeed, for every live particle; nothing else changes.
void placeParticlesRandomly();

// The defaults of a fresh start, apart from the window's clear colour, which
// needs a GL context and so is the front end's business.
void initWorld();
