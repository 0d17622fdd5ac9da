// Where a control window opens and how large it may be. GLUI puts a window
// exactly where the program asks and makes it as large as its controls, so
// on a small screen (a 1024 x 768 projector) part of it can open out of
// reach. Here a window opens inside the desktop's work area and is never
// taller than that area has room for; a taller one scrolls.
#pragma once

class GLUI;

// The tallest window the desktop shows whole: its work area (or the screen)
// less room for a title bar.
int tallestWindow();
// A window not shown yet moves from where the program asked for it just far
// enough left and up to lie inside the work area, never right or down and
// never past the area's left or top edge. A window the program left for the
// window manager to place is left to it, and so is one already on screen,
// which the user may have put where it is.
void keepOnScreen(GLUI* glui);
