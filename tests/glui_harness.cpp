#include "tests/glui_harness.h"
#include "tests/temporary_folder.h"

#include <unistd.h>

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

namespace harness {

CallbackLog callbackLog;

namespace {
int theMainWindow = 0;
int displayCount = 0;

void countDisplay() {
    ++displayCount;
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

// The font makes double-byte characters 16 pixels wide, as in the programs;
// it is made in a folder of this process's own, its working directory for
// as long as the process runs.
void startGlut() {
    static WorkingFolder fontFolder;
    std::string command = std::string(SJIS_FONTGEN) + " sjis.fnt > /dev/null";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "font generator failed";

    static int argc = 1;
    static char name[] = "glui_tests";
    static char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowPosition(700, 0);
    glutInitWindowSize(200, 200);
    theMainWindow = glutCreateWindow("main");
    glutDisplayFunc(countDisplay);
    pump();
}

}  // namespace

Window xWindow(int glutWindow) {
    int previous = glutGetWindow();
    glutSetWindow(glutWindow);
    Window w = glXGetCurrentDrawable();
    if (previous > 0) glutSetWindow(previous);
    return w;
}

Display* display() { return glXGetCurrentDisplay(); }

int mainWindow() {
    if (theMainWindow == 0) startGlut();
    return theMainWindow;
}

int mainDisplayCount() { return displayCount; }

void pump() {
    for (int i = 0; i < 4; ++i) {
        XSync(display(), False);
        glutMainLoopEvent();
    }
}

GLUI* openControlWindow(const char* title) {
    glutSetWindow(mainWindow());
    GLUI* glui = GLUI_Master.create_glui(title, 0, 0, 0);
    glui->set_main_gfx_window(mainWindow());
    pump();
    return glui;
}

int windowWidth(GLUI* glui) {
    pump();
    glutSetWindow(glui->get_glut_window_id());
    return glutGet(GLUT_WINDOW_WIDTH);
}

int windowHeight(GLUI* glui) {
    pump();
    glutSetWindow(glui->get_glut_window_id());
    return glutGet(GLUT_WINDOW_HEIGHT);
}

Pixels pixelsAt(GLUI* glui, int x, int y, int w, int h) {
    pump();
    XImage* image = XGetImage(display(), xWindow(glui->get_glut_window_id()), x, y, w, h, AllPlanes, ZPixmap);
    Pixels pixels{x, y, w, h, {}};
    for (int row = 0; row < h; ++row) {
        for (int column = 0; column < w; ++column) {
            unsigned long p = XGetPixel(image, column, row);
            pixels.grey.push_back(static_cast<int>(((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3));
        }
    }
    XDestroyImage(image);
    return pixels;
}

int greyAt(GLUI* glui, int x, int y) { return pixelsAt(glui, x, y, 1, 1).grey[0]; }

static void moveToWindow(int glutWindow, int x, int y) {
    pump();   // the window may have been asked to change size
    Display* d = display();
    int rootX, rootY;
    Window child;
    XTranslateCoordinates(d, xWindow(glutWindow), DefaultRootWindow(d), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(d, -1, rootX, rootY, CurrentTime);
    pump();
}

void moveTo(GLUI* glui, int x, int y) { moveToWindow(glui->get_glut_window_id(), x, y); }

void clickMainWindow(int x, int y) {
    moveToWindow(mainWindow(), x, y);
    XTestFakeButtonEvent(display(), 1, True, CurrentTime);
    pump();
    XTestFakeButtonEvent(display(), 1, False, CurrentTime);
    pump();
}

void press(GLUI* glui, int x, int y) {
    moveTo(glui, x, y);
    XTestFakeButtonEvent(display(), 1, True, CurrentTime);
    pump();
}

void release(GLUI* glui, int x, int y) {
    moveTo(glui, x, y);
    XTestFakeButtonEvent(display(), 1, False, CurrentTime);
    pump();
}

void click(GLUI* glui, int x, int y) {
    press(glui, x, y);
    release(glui, x, y);
}

void wheel(GLUI* glui, int x, int y, int notches) {
    moveTo(glui, x, y);
    const unsigned button = notches > 0 ? 5 : 4;
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(display(), button, True, CurrentTime);
        XTestFakeButtonEvent(display(), button, False, CurrentTime);
        pump();
    }
}

void clickControl(GLUI_Control* c) {
    int x = c->x_abs + c->w / 2;
    if (auto* e = dynamic_cast<GLUI_EditText*>(c)) x = c->x_abs + (e->text_x_offset + c->w) / 2;
    click(c->glui, x, c->y_abs + c->h / 2);
}

void key(KeySym sym, unsigned modifiers) {
    Display* d = display();
    const std::pair<unsigned, KeySym> held[] = {{Shift, XK_Shift_L}, {Ctrl, XK_Control_L}, {Alt, XK_Alt_L}};
    for (auto [bit, modifier] : held)
        if (modifiers & bit) XTestFakeKeyEvent(d, XKeysymToKeycode(d, modifier), True, CurrentTime);
    KeyCode code = XKeysymToKeycode(d, sym);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    for (auto [bit, modifier] : held)
        if (modifiers & bit) XTestFakeKeyEvent(d, XKeysymToKeycode(d, modifier), False, CurrentTime);
    pump();
}

void type(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        switch (*p) {
        case '.': key(XK_period); break;
        case '-': key(XK_minus); break;
        case ' ': key(XK_space); break;
        default: key(XStringToKeysym(std::string(1, *p).c_str())); break;
        }
    }
}

void recordingCallback(int id) {
    callbackLog.ids.push_back(id);
    callbackLog.currentWindows.push_back(glutGetWindow());
}

void ControlWindowTest::SetUp() {
    mainWindow();
    callbackLog = {};
    glui = openControlWindow();
}

void ControlWindowTest::TearDown() {
    glui->close();
    pump();
}

}  // namespace harness
