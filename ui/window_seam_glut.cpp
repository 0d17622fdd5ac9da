// The window seam over GLUT and the widget toolkit.
#include <GL/glut.h>

#include <algorithm>

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

// GL draws nothing beyond its largest viewport, and the window system takes
// a side of 16 bits: 65 536 comes out as 0, an error that ends the program.
int largestWindowSide() {
    constexpr int largestXWindowSide = 32767;
    glutSetWindow(world.mainWindow);
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const int side = std::min(viewport[0], viewport[1]);
    return side > 0 ? std::min(side, largestXWindowSide) : largestXWindowSide;
}

void setFormulaText(int family, const char* text) {
    if (formulaTexts[family] != nullptr) formulaTexts[family]->set_text(text);
}
