// The main window: particles as filled discs on white, the graph over them,
// and the one mapping from window pixels to simulation coordinates: the
// centre of pixel (i, j) is the point (i, j), y downwards.
#pragma once

// Neither draws nor takes a size beyond largestWindowSide on either side:
// display then draws nothing, and reshape asks the window back to the
// largest side and leaves the world's size as it was.
void displayMainWindow();
void reshapeMainWindow(int width, int height);
// Whether the main window has reported its size at least once.
bool mainWindowHasItsSize();
// One filled disc of radius r around (cx, cy) in the given colour: 40
// vertices, clockwise on screen from the point right of the centre.
void drawDisc(double cx, double cy, double r, double red, double green, double blue);
