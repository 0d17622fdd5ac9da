#include "events.h"
#include "focus.h"
#include "glui.h"
#include "shift_tab.h"
#include "window_switch.h"
#include "window_title.h"

GLUI_Master_Object GLUI_Master;

namespace {
// GLUT's settings for the next window, which a control window must not
// leave changed for the program's own windows.
struct InitState {
    int x, y, w, h, mode;
};

InitState currentInitState() {
    return {glutGet(GLUT_INIT_WINDOW_X), glutGet(GLUT_INIT_WINDOW_Y),
            glutGet(GLUT_INIT_WINDOW_WIDTH), glutGet(GLUT_INIT_WINDOW_HEIGHT),
            glutGet(GLUT_INIT_DISPLAY_MODE)};
}

void restoreInitState(const InitState& s) {
    glutInitWindowPosition(s.x, s.y);
    glutInitWindowSize(s.w, s.h);
    glutInitDisplayMode(s.mode);
}
}  // namespace

GLUI* GLUI_Master_Object::create_glui(const char* name, long, int x, int y) {
    GLUI* glui = new GLUI;
    glui->main_panel.glui = glui;
    glui->main_panel.type = GLUI_PANEL_NONE;
    glui->asked_x = x;
    glui->asked_y = y;
    {
        WindowSwitch keepCurrent(0);
        InitState before = currentInitState();
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
        glutInitWindowSize(100, 100);
        glutInitWindowPosition(x, y);
        glui->window_id = glutCreateWindow(name);
        restoreInitState(before);
        setWindowTitle(name);
        bindShiftTab();
        installWindowHandlers();
    }
    windows.push_back(glui);
    glui->refresh();
    return glui;
}

GLUI* GLUI_Master_Object::find_glui(int window_id) const {
    for (GLUI* glui : windows)
        if (glui->window_id == window_id) return glui;
    return nullptr;
}

// The controls here need no idle time of their own (nothing repeats while
// held), so the program's routine is all GLUT's idle processing runs, and
// with none GLUT stops calling idle at all instead of spinning.
static void idleDispatch() {
    if (GLUI_Master.user_idle != nullptr) GLUI_Master.user_idle();
}

void GLUI_Master_Object::set_glutIdleFunc(void (*f)()) {
    user_idle = f;
    glutIdleFunc(f != nullptr ? idleDispatch : nullptr);
}

namespace {
void (*programMouse)(int, int, int, int) = nullptr;
void (*programKeyboard)(unsigned char, int, int) = nullptr;

void mouseAfterCommit(int button, int state, int x, int y) {
    deactivateActive();
    programMouse(button, state, x, y);
}

void keyboardAfterCommit(unsigned char key, int x, int y) {
    deactivateActive();
    programKeyboard(key, x, y);
}
}  // namespace

void GLUI_Master_Object::set_glutMouseFunc(void (*f)(int, int, int, int)) {
    programMouse = f;
    glutMouseFunc(f != nullptr ? mouseAfterCommit : nullptr);
}

void GLUI_Master_Object::set_glutKeyboardFunc(void (*f)(unsigned char, int, int)) {
    programKeyboard = f;
    glutKeyboardFunc(f != nullptr ? keyboardAfterCommit : nullptr);
}
