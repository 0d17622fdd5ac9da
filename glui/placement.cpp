#include "placement.h"

#include <GL/glut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>

#include "glui.h"
#include "look.h"

static constexpr int kTitleBarRoom = 32;

namespace {
struct Area {
    int x, y, w, h;
};

// The desktop's work area (the screen less its panels) as the window manager
// announces it; the whole screen without one.
Area workArea() {
    const Area screen{0, 0, glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT)};
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr) return screen;
    Area area = screen;
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char* data = nullptr;
    const Atom workAreaAtom = XInternAtom(display, "_NET_WORKAREA", True);
    if (workAreaAtom != None &&
        XGetWindowProperty(display, DefaultRootWindow(display), workAreaAtom, 0, 4, False, XA_CARDINAL, &type,
                           &format, &count, &left, &data) == Success &&
        data != nullptr && format == 32 && count == 4) {
        const long* v = reinterpret_cast<long*>(data);
        const bool insideScreen = v[0] >= 0 && v[1] >= 0 && v[2] > 0 && v[3] > 0 && v[0] + v[2] <= screen.w &&
                                  v[1] + v[3] <= screen.h;
        if (insideScreen)
            area = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3])};
    }
    if (data != nullptr) XFree(data);
    return area;
}

// Where an edge asked for at `asked` goes for a window of `size` to end by
// `end`: pulled back as far as needed, but not past `start`, and never
// pushed forward.
int pulledInside(int asked, int size, int start, int end) { return std::min(asked, std::max(end - size, start)); }
}  // namespace

int tallestWindow() { return std::max(workArea().h - kTitleBarRoom, 4 * kBoxHeight); }

void keepOnScreen(GLUI* glui) {
    if (glui->shown_w != 0 || glui->asked_x < 0 || glui->asked_y < 0) return;
    const Area area = workArea();
    glutPositionWindow(pulledInside(glui->asked_x, glui->needed_w, area.x, area.x + area.w),
                       pulledInside(glui->asked_y, glui->needed_h + kTitleBarRoom, area.y, area.y + area.h));
}
