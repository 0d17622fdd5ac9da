// Start-up of the simulator: everything before the idle routine is handed
// over and the main loop entered.
#pragma once

// Reads the command line (GLUT's options set aside): --help and --version
// answer and exit 0, an unknown option or a settings file that cannot be
// opened ends the program with one line and status 2, all before a display
// is needed. Then seeds the random numbers, checks for a display (one line
// and status 1 without one), opens the file of "--record FILE.csv" (one line
// and status 2 when it cannot be written), enters the user's own folder when
// asked (--user-folder), opens the main window with its callbacks, sets the
// world's defaults, builds the control window and binds it to the main
// window. A settings file named on the command line is then loaded as
// "設定の読込" would, and the recording gets the start state as its first row.
void startUp(int& argc, char** argv);
