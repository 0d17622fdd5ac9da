// Closing a window through the window manager ends the program inside GLUT
// already. A window destroyed outright by another client is not reported to
// the program at all, and a program whose other window is hidden would run on
// unseen for ever; GLUT does report the unmapping that comes with it.
#include "window_close.h"

#include <GL/glut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>

namespace {
Window goneWindow = 0;
XErrorHandler previousHandler = nullptr;

// On the way out GLUT still tears down the window it believes it has; the
// server can only refuse that.
int ignoreGoneWindow(Display* display, XErrorEvent* error) {
    if (error->resourceid == goneWindow) return 0;
    return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

// Hiding and destroying both unmap the window; only a destroyed one has its
// destruction notice queued right behind.
void statusChanged(int state) {
    if (state != GLUT_HIDDEN) return;
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    XSync(display, False);
    XEvent destroyed;
    if (!XCheckTypedWindowEvent(display, window, DestroyNotify, &destroyed)) return;
    goneWindow = window;
    previousHandler = XSetErrorHandler(ignoreGoneWindow);
    std::exit(0);
}
}  // namespace

void endWhenDestroyed() { glutWindowStatusFunc(statusChanged); }
