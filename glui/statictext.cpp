#include <algorithm>

#include "glui.h"
#include "look.h"

void GLUI_StaticText::update_size() {
    w = std::max(requested_w, string_width(name.c_str()));
    h = kLineHeight;
}

void GLUI_StaticText::draw() { draw_name(0, kLineBaseline); }

// A longer text gets room at once rather than running over its neighbours.
void GLUI_StaticText::set_text(const char* s) {
    name = s;
    glui->refresh();
}
