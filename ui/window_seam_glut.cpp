// The window seam over GLUT and the widget toolkit.
#include <GL/glut.h>

#include "glui/glui.h"
#include "sim/world_state.h"
#include "ui/control_panel.h"
#include "ui/window_seam.h"

void selectMainWindow() { glutSetWindow(world.mainWindow); }

void setIdleRoutine(void (*routine)()) { GLUI_Master.set_glutIdleFunc(routine); }

void postMainRedisplay() {
    glutSetWindow(world.mainWindow);
    glutPostRedisplay();
}

void syncControls() {
    if (controlWindow != nullptr) controlWindow->sync_live();
}

void resizeMainWindow(int width, int height) {
    glutSetWindow(world.mainWindow);
    glutReshapeWindow(width, height);
}

void setFormulaText(int family, const char* text) {
    if (formulaTexts[family] != nullptr) formulaTexts[family]->set_text(text);
}
