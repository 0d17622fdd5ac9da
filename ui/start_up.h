// Start-up of the simulator: everything before the idle routine is handed
// over and the main loop entered.
#pragma once

// Seeds the random numbers, checks for a display (one line and status 1
// without one), opens the main window with its callbacks, sets the world's
// defaults, builds the control window and binds it to the main window. A
// settings file named on the command line (after GLUT's own options) is then
// loaded as "設定の読込" would; one that cannot be opened ends the program
// with one line and status 2 before any window opens. "--record FILE.csv"
// opens its file before any window too (one line and status 2 when it
// cannot be written) and records the start state as its first row.
void startUp(int& argc, char** argv);
