// A control window taller than the screen: GLUI lets such a window run off
// the bottom edge, where its last controls cannot be reached. Here the window
// takes the height the desktop has room for and shows its controls scrolled,
// with a bar at the right edge; the wheel and the bar move the view, and the
// focus moving to a control out of view brings it into view.
#pragma once

class GLUI;
class GLUI_Control;

constexpr int kScrollBarWidth = 12;
constexpr int kWheelStep = 48;   // two rows of edit fields

// Fits the view to the window: with content of height full_h in a window of
// height needed_h, scroll_y stays within what there is to show.
void clampScroll(GLUI* glui);
// Scrolls as little as needed for c to be in view, top first if it is taller.
void revealControl(GLUI* glui, const GLUI_Control* c);
// The bar at the right edge, in content coordinates like every control.
void drawScrollBar(const GLUI* glui);
// Pointer input at window pixel (x, y) for the bar and the wheel; true when
// it was theirs. The wheel arrives as GLUT buttons 3 (up) and 4 (down).
bool scrollMouse(GLUI* glui, int button, int state, int x, int y);
bool scrollMotion(GLUI* glui, int x, int y);
