#include <algorithm>

#include "glui.h"
#include "look.h"

void GLUI_Button::update_size() {
    w = std::max(requested_w, string_width(name.c_str()) + 16);
    h = kButtonHeight;
}

void GLUI_Button::draw() {
    drawButtonFace(x_abs, y_abs, w, pressed_look);
    // Held down, the label sinks in with the face.
    int shift = pressed_look ? 1 : 0;
    draw_name((w - string_width(name.c_str())) / 2 + shift, kButtonBaseline + shift);
    if (is_active()) drawButtonFocus(x_abs, y_abs, w);
}

void GLUI_Button::press_by_key() { run_callback(); }
