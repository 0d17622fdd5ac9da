#include <algorithm>

#include "glui.h"
#include "look.h"

static constexpr int kBoxSize = 13;
static constexpr int kLabelX = 18;

void GLUI_Checkbox::update_size() {
    w = std::max(requested_w, kLabelX + string_width(name.c_str()) + 6);
    h = kCheckboxHeight;
}

// The tick: a short stroke down to the right, then a long one up.
static void drawTick(int x, int y) {
    for (int c = 3; c <= 5; ++c) fillRect(x + c, y + c + 2, x + c + 1, y + c + 5);
    for (int c = 6; c <= 9; ++c) fillRect(x + c, y + 12 - c, x + c + 1, y + 15 - c);
}

void GLUI_Checkbox::draw() {
    int bx = x_abs, by = y_abs + (h - kBoxSize) / 2;
    setGrey(enabled ? 255 : kBackground);
    fillRect(bx, by, bx + kBoxSize, by + kBoxSize);
    setGrey(kShadow);
    fillRect(bx, by, bx + kBoxSize, by + 1);
    fillRect(bx, by, bx + 1, by + kBoxSize);
    setGrey(0);
    fillRect(bx + 1, by + 1, bx + kBoxSize - 1, by + 2);
    fillRect(bx + 1, by + 1, bx + 2, by + kBoxSize - 1);
    setGrey(255);
    fillRect(bx, by + kBoxSize - 1, bx + kBoxSize, by + kBoxSize);
    fillRect(bx + kBoxSize - 1, by, bx + kBoxSize, by + kBoxSize);
    bool ticked = (int_val != 0) != pressed_look;
    if (ticked) {
        setGrey(enabled ? 0 : kDisabledText);
        drawTick(bx, by);
    }
    draw_name(kLabelX, kCheckboxBaseline);
    if (is_active()) drawFocusFrame(x_abs + kLabelX - 2, y_abs, w - kLabelX - 2, h);
}

void GLUI_Checkbox::set_int_val(int v) {
    int_val = v;
    last_live = v;
    if (live_var) *live_var = v;
    glui->post_main_redisplay();
    redraw();
}

void GLUI_Checkbox::press_by_key() {
    set_int_val(!int_val);
    run_callback();
}

void GLUI_Checkbox::sync_from_live() {
    if (live_var == nullptr || *live_var == last_live) return;
    if (is_active() && pressed_look) return;
    set_int_val(*live_var);
}
