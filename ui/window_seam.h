// The few things the simulator's logic asks of its windows. The program
// implements them over GLUT and the widget toolkit (window_seam_glut.cpp);
// the in-process tests link a recording stand-in instead, so the deciding
// code runs without a display.
#pragma once

// Makes the main window the current GLUT window.
void selectMainWindow();
// Hands the routine to the toolkit's idle processing; nullptr removes it, so
// that GLUT stops calling idle at all.
void setIdleRoutine(void (*routine)());
// Main window current, then a redisplay of it requested.
void postMainRedisplay();
// Every control of the control window shows its live variable's value.
void syncControls();
// Asks for a new size of the main window's drawing area.
void resizeMainWindow(int width, int height);
// The longest side the main window can have and still be drawn whole.
int largestWindowSide();
// Shows text in the formula line of a slot editor (0 external, 1 pair).
void setFormulaText(int family, const char* text);
