// The GLUT callbacks of every control window: drawing, size, mouse, keys.
#pragma once

#include <vector>

// Registers them on the current GLUT window.
void installWindowHandlers();

class GLUI;
class GLUI_Control;

// Draws the controls alone into the window's back buffer, each over a patch
// of background, and copies them to the screen; false (nothing drawn) where
// the window system cannot copy part of a window.
bool drawAlone(GLUI* glui, const std::vector<GLUI_Control*>& controls);
