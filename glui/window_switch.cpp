#include "window_switch.h"

#include <GL/glut.h>

WindowSwitch::WindowSwitch(int target) : previous(glutGetWindow()) {
    if (target > 0 && target != previous) glutSetWindow(target);
}

WindowSwitch::~WindowSwitch() {
    if (previous > 0 && previous != glutGetWindow()) glutSetWindow(previous);
}
