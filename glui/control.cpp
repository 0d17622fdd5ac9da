#include "glui.h"

#include "focus.h"
#include "look.h"
#include "window_switch.h"

void GLUI_Control::set_w(int new_w) {
    requested_w = new_w;
    glui->refresh();
}

// One walk serves both directions: a container hands the state to every
// control inside it.
static void setEnabled(GLUI_Control* c, bool on) {
    c->enabled = on;
    if (GLUI_Panel* p = c->as_panel())
        for (GLUI_Control* child : p->children) setEnabled(child, on);
}

void GLUI_Control::disable() {
    // Greying out the field being typed into must not lose what was typed.
    if (activeControl != nullptr) {
        for (GLUI_Control* c = activeControl; c != nullptr; c = c->parent)
            if (c == this) deactivateActive();
    }
    setEnabled(this, false);
    glui->post_redisplay();
}

void GLUI_Control::enable() {
    setEnabled(this, true);
    glui->post_redisplay();
}

bool GLUI_Control::hit(int x, int y) const {
    return x >= x_abs && x < x_abs + w && y >= y_abs && y < y_abs + h;
}

void GLUI_Control::draw_name(int x, int baseline) const {
    drawText(glui->font, name.c_str(), x_abs + x, y_abs + baseline, enabled);
}

int GLUI_Control::string_width(const char* text) const {
    return _glutBitmapWidthString(glui->font, text);
}

// Read-only fields inside closed rollouts change at every displayed frame;
// redrawing the window for them would cost a full repaint each time. Shown
// ones that sync_live changed are drawn by themselves afterwards.
void GLUI_Control::redraw() const {
    if (!isShown(this)) return;
    if (glui->collecting_changes)
        glui->changed.push_back(const_cast<GLUI_Control*>(this));
    else
        glui->post_redisplay();
}

bool GLUI_Control::is_active() const { return activeControl == this; }

void GLUI_Control::run_callback() {
    if (callback == nullptr) return;
    WindowSwitch main(glui->main_gfx_window_id);
    callback(id);
}

void GLUI_Control::key_handler(unsigned char key, int modifiers) {
    (void)modifiers;
    if (key == ' ') press_by_key();
}

void GLUI_Control::mouse_down(int, int) {
    pressed_look = true;
    redraw();
}

void GLUI_Control::mouse_held(int, int, bool inside) {
    if (pressed_look == inside) return;
    pressed_look = inside;
    redraw();
}

void GLUI_Control::mouse_up(int, int, bool inside) {
    pressed_look = false;
    redraw();
    if (inside) press_by_key();
}
