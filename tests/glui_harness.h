// Drives control windows the way a user does: real pointer and key events
// through the X server (XTEST), then one pass of GLUT's event loop at a time.
// A main graphics window counts its redisplays.
#pragma once

// gtest first: the X headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <vector>

#include "glui/glui.h"

namespace harness {

// The program's own window, as partivox has it.
int mainWindow();
int mainDisplayCount();

// A fresh control window at the screen's top-left corner, shown and sized.
GLUI* openControlWindow(const char* title = "test");
// Lets GLUT handle everything the server has sent so far.
void pump();
// Pointer actions at window pixel (x, y) of glui.
void moveTo(GLUI* glui, int x, int y);
void press(GLUI* glui, int x, int y);
void release(GLUI* glui, int x, int y);
void click(GLUI* glui, int x, int y);
// Turns the wheel at (x, y) by the given notches, towards the user (down)
// for positive ones.
void wheel(GLUI* glui, int x, int y, int notches);
// A left click at pixel (x, y) of the main window; keys then go there too.
void clickMainWindow(int x, int y);
// Clicks the middle of a control's own area.
void clickControl(GLUI_Control* c);
// Key presses go to the window under the pointer, with the modifier keys
// given held down.
enum Modifiers : unsigned { Shift = 1, Ctrl = 2, Alt = 4 };
void key(KeySym sym, unsigned modifiers = 0);
// Digits, lower-case letters, '.', '-' and ' '.
void type(const char* text);
// Grey level (mean of red, green, blue) of window pixel (x, y) as shown on screen.
int greyAt(GLUI* glui, int x, int y);
// Grey levels of the w x h window pixels from (x, y), as shown on screen.
struct Pixels {
    int x, y, w, h;
    std::vector<int> grey;   // row after row
    int at(int px, int py) const { return grey[(py - y) * w + (px - x)]; }
};
Pixels pixelsAt(GLUI* glui, int x, int y, int w, int h);
int windowWidth(GLUI* glui);
int windowHeight(GLUI* glui);
Display* display();
// The X window behind a GLUT window.
Window xWindow(int glutWindow);

// Calls made to recordingCallback: ids in order, and the GLUT window that
// was current during each.
struct CallbackLog {
    std::vector<int> ids;
    std::vector<int> currentWindows;
};
extern CallbackLog callbackLog;
void recordingCallback(int id);

// Each test gets a clean log and its own window, closed afterwards.
class ControlWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    GLUI* glui = nullptr;
};

}  // namespace harness
