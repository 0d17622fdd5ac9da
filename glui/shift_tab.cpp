#include "shift_tab.h"

#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

void bindShiftTab() {
    static bool bound = false;
    Display* display = glXGetCurrentDisplay();
    if (bound || display == nullptr) return;
    bound = true;
    const unsigned char tab[] = {'\t'};
    KeySym shift[] = {XK_Shift_L};
    // Loads the keyboard map first: the rebinding would otherwise fetch it
    // while holding the display lock, and wait on that lock forever.
    XkbKeysymToModifiers(display, XK_Shift_L);
    XRebindKeysym(display, XK_ISO_Left_Tab, shift, 1, tab, 1);
    XRebindKeysym(display, XK_ISO_Left_Tab, nullptr, 0, tab, 1);
}
