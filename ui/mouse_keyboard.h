// Mouse and keys of the main window: a left drag moves a particle, a right
// drag gives it a velocity, a left click may select it or place the graph's
// origin and probe; P pauses, Q and Esc quit.
#pragma once

// The first live particle, in index order, whose disc strictly contains
// (x, y); -1 when none does.
int particleAt(double x, double y);

void mouseMainWindow(int button, int state, int x, int y);
void motionMainWindow(int x, int y);
void keyboardMainWindow(unsigned char key, int x, int y);
