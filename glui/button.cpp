#include <algorithm>

#include "glui.h"
#include "look.h"

void GLUI_Button::update_size() {
    w = std::max(requested_w, string_width(name.c_str()) + 16);
    h = kBoxHeight;
}

void GLUI_Button::draw() {
    int shift = 0;
    if (pressed_look) {
        setGrey(kBackground);
        fillRect(x_abs, y_abs, x_abs + w, y_abs + h);
        outlineRect(x_abs, y_abs, w, h, 0);
        outlineRect(x_abs + 1, y_abs + 1, w - 2, h - 2, 0);
        shift = 1;
    } else {
        drawRaisedBox(x_abs, y_abs, w, h);
    }
    draw_name((w - string_width(name.c_str())) / 2 + shift, kBoxBaseline + shift);
    if (is_active()) drawFocusFrame(x_abs + 3, y_abs + 3, w - 6, h - 6);
}

void GLUI_Button::press_by_key() { run_callback(); }
