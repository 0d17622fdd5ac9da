// Packing: every container stacks its children top to bottom, column by
// column; containers fill the width of their column so that panels and
// rollouts line up.
#pragma once

class GLUI_Control;
class GLUI;

// Sets every shown control's size and position; the window's content size
// ends up in glui->content_w / content_h.
void packWindow(GLUI* glui);
