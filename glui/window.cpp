// Building a control window: every add_* appends to a container, and the
// window re-packs and resizes to fit at once.
#include <algorithm>

#include "dropdown.h"
#include "events.h"
#include "focus.h"
#include "glui.h"
#include "layout.h"
#include "placement.h"
#include "scrolling.h"
#include "window_switch.h"

template <class C>
static C* adopt(GLUI* glui, GLUI_Panel* parent, C* control, const char* name) {
    glui->owned.emplace_back(control);
    control->glui = glui;
    control->parent = parent;
    control->name = name != nullptr ? name : "";
    control->enabled = parent->enabled;
    parent->children.push_back(control);
    return control;
}

template <class C>
static C* withCallback(C* control, int id, GLUI_Update_CB cb) {
    control->id = id;
    control->callback = cb;
    return control;
}

GLUI_Rollout* GLUI::add_rollout(const char* name, int open) {
    return add_rollout_to_panel(&main_panel, name, open);
}

GLUI_Rollout* GLUI::add_rollout_to_panel(GLUI_Panel* parent, const char* name, int open) {
    auto* r = adopt(this, parent, new GLUI_Rollout, name);
    r->is_open = open != 0;
    refresh();
    return r;
}

GLUI_Panel* GLUI::add_panel(const char* name, int type) {
    return add_panel_to_panel(&main_panel, name, type);
}

GLUI_Panel* GLUI::add_panel_to_panel(GLUI_Panel* parent, const char* name, int type) {
    auto* p = adopt(this, parent, new GLUI_Panel, name);
    p->type = type;
    refresh();
    return p;
}

GLUI_Column* GLUI::add_column(int draw_bar) { return add_column_to_panel(&main_panel, draw_bar); }

GLUI_Column* GLUI::add_column_to_panel(GLUI_Panel* parent, int draw_bar) {
    auto* c = adopt(this, parent, new GLUI_Column, "");
    c->draw_bar = draw_bar != 0;
    refresh();
    return c;
}

GLUI_EditText* GLUI::add_edittext(const char* name, int data_type, void* live_var, int id,
                                  GLUI_Update_CB cb) {
    return add_edittext_to_panel(&main_panel, name, data_type, live_var, id, cb);
}

GLUI_EditText* GLUI::add_edittext_to_panel(GLUI_Panel* parent, const char* name, int data_type,
                                           void* live_var, int id, GLUI_Update_CB cb) {
    auto* e = withCallback(adopt(this, parent, new GLUI_EditText, name), id, cb);
    e->data_type = data_type;
    e->live_var = live_var;
    e->requested_w = 130;
    e->read_live();
    refresh();
    return e;
}

GLUI_Listbox* GLUI::add_listbox(const char* name, int* live_var, int id, GLUI_Update_CB cb) {
    return add_listbox_to_panel(&main_panel, name, live_var, id, cb);
}

GLUI_Listbox* GLUI::add_listbox_to_panel(GLUI_Panel* parent, const char* name, int* live_var,
                                         int id, GLUI_Update_CB cb) {
    auto* l = withCallback(adopt(this, parent, new GLUI_Listbox, name), id, cb);
    l->live_var = live_var;
    if (live_var) l->int_val = l->last_live = *live_var;
    refresh();
    return l;
}

GLUI_Checkbox* GLUI::add_checkbox(const char* name, int* live_var, int id, GLUI_Update_CB cb) {
    return add_checkbox_to_panel(&main_panel, name, live_var, id, cb);
}

GLUI_Checkbox* GLUI::add_checkbox_to_panel(GLUI_Panel* parent, const char* name, int* live_var,
                                           int id, GLUI_Update_CB cb) {
    auto* c = withCallback(adopt(this, parent, new GLUI_Checkbox, name), id, cb);
    c->live_var = live_var;
    if (live_var) c->int_val = c->last_live = *live_var;
    refresh();
    return c;
}

GLUI_Button* GLUI::add_button(const char* name, int id, GLUI_Update_CB cb) {
    return add_button_to_panel(&main_panel, name, id, cb);
}

GLUI_Button* GLUI::add_button_to_panel(GLUI_Panel* parent, const char* name, int id,
                                       GLUI_Update_CB cb) {
    auto* b = withCallback(adopt(this, parent, new GLUI_Button, name), id, cb);
    b->requested_w = 100;
    refresh();
    return b;
}

GLUI_StaticText* GLUI::add_statictext(const char* name) {
    return add_statictext_to_panel(&main_panel, name);
}

GLUI_StaticText* GLUI::add_statictext_to_panel(GLUI_Panel* parent, const char* name) {
    auto* s = adopt(this, parent, new GLUI_StaticText, name);
    refresh();
    return s;
}

void GLUI::set_main_gfx_window(int window_id_) { main_gfx_window_id = window_id_; }

void GLUI::sync_live() {
    collecting_changes = true;
    for (auto& control : owned) control->sync_from_live();
    collecting_changes = false;
    if (changed.empty()) return;
    // A repaint on its way draws the changes anyway; an open drop-down list
    // covers controls.
    if (!redisplay_pending && (open_list != nullptr || !drawAlone(this, changed))) post_redisplay();
    changed.clear();
}

void GLUI::refresh() {
    packWindow(this);
    int w = content_w, h = content_h;
    dropdownExtent(this, w, h);
    WindowSwitch own(window_id);
    full_h = h;
    h = std::min(h, tallestWindow());
    if (h < full_h) w += kScrollBarWidth;
    if (w != needed_w || h != needed_h) {
        needed_w = w;
        needed_h = h;
        resize_refused = false;
        glutReshapeWindow(w, h);
        keepOnScreen(this);
    }
    clampScroll(this);
    post_redisplay();
}

void GLUI::post_redisplay() const {
    redisplay_pending = true;
    glutPostWindowRedisplay(window_id);
}

void GLUI::post_main_redisplay() const {
    if (main_gfx_window_id > 0) glutPostWindowRedisplay(main_gfx_window_id);
}

// An uncommitted edit is dropped, not written: the variables behind a window
// being closed may already be gone.
void GLUI::close() {
    if (activeControl != nullptr && activeControl->glui == this) {
        activeControl = nullptr;
        mouseHeld = false;
    }
    auto& list = GLUI_Master.windows;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    glutDestroyWindow(window_id);
    delete this;
}
