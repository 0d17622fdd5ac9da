// partivox: the simulator. A main window in which the particles move, and a
// control window of Japanese widgets for every setting.
//
//   partivox [GLUT options] [--user-folder] [--record FILE.csv] [FILE]
//
// FILE, a settings file, is loaded at start as "設定の読込" would load it;
// --user-folder (the menu entry's way) works in the user's own folder
// instead of the current one; --record writes the conserved quantities of
// every displayed frame.
#include <GL/glut.h>

#include "glui/glui.h"
#include "ui/run_state.h"
#include "ui/start_up.h"

int main(int argc, char** argv) {
    startUp(argc, argv);
    GLUI_Master.set_glutIdleFunc(idleStep);
    glutMainLoop();
}
