// Showing a control window by copying its back buffer to the screen instead
// of swapping. The back buffer then stays a complete picture of the window
// between repaints, so a control whose value changed can be drawn into it
// alone and copied out, without repainting every label of the window.
#pragma once

// Whether the window system can copy part of a back buffer to the screen.
bool canCopyToScreen();
// Copies window pixels x..x+w-1, y..y+h-1 (y downwards) of the current
// window's back buffer to the screen.
void copyToScreen(int x, int y, int w, int h);
