#include <algorithm>

#include "dropdown.h"
#include "glui.h"
#include "look.h"

static constexpr int kArrowWidth = 13;
static constexpr int kLabelGap = 4;

const GLUI_Listbox::Item* GLUI_Listbox::current_item() const {
    for (const Item& item : items)
        if (item.id == int_val) return &item;
    return nullptr;
}

int GLUI_Listbox::box_x() const {
    return x_abs + (name.empty() ? 0 : string_width(name.c_str()) + kLabelGap);
}

void GLUI_Listbox::update_size() {
    int widest = 50;
    for (const Item& item : items) widest = std::max(widest, string_width(item.text.c_str()));
    int labelWidth = name.empty() ? 0 : string_width(name.c_str()) + kLabelGap;
    w = std::max(requested_w, labelWidth + widest + 2 * kBoxTextInset + kArrowWidth + 4);
    h = kBoxHeight;
}

void GLUI_Listbox::draw() {
    draw_name(0, kBoxBaseline);
    int bx = box_x(), bw = x_abs + w - bx;
    drawSunkenBox(bx, y_abs, bw, h, enabled);
    bool focused = is_active() && enabled;
    if (focused) {
        setColour(0, 0, 153);
        fillRect(bx + 2, y_abs + 2, bx + bw - kArrowWidth - 3, y_abs + h - 2);
    }
    if (const Item* item = current_item()) {
        setGrey(focused ? 255 : enabled ? 0 : kDisabledText);
        glRasterPos2i(bx + kBoxTextInset, y_abs + kBoxBaseline);
        _glutBitmapString(glui->font, item->text.c_str());
    }
    // The arrow button at the right end says the box opens a list.
    int ax = bx + bw - kArrowWidth - 2, ay = y_abs + 2, ah = h - 4;
    drawRaisedBox(ax, ay, kArrowWidth, ah);
    setGrey(enabled ? 0 : kShadow);
    int tipTop = ay + ah / 2 - 2;
    for (int row = 0; row < 4; ++row)
        fillRect(ax + 3 + row, tipTop + row, ax + kArrowWidth - 3 - row, tipTop + row + 1);
}

// An item that matches the live variable becomes the choice as soon as it
// exists, so a list filled after creation shows the variable's value.
void GLUI_Listbox::add_item(int item_id, const char* text) {
    bool first = items.empty();
    items.push_back({item_id, text});
    if (first || (live_var && *live_var == item_id)) int_val = item_id;
    glui->refresh();
}

void GLUI_Listbox::set_int_val(int item_id) {
    for (const Item& item : items)
        if (item.id == item_id) int_val = item_id;
    last_live = int_val;
    if (live_var) *live_var = int_val;
    glui->post_main_redisplay();
    redraw();
}

void GLUI_Listbox::choose(int item_id) {
    int before = int_val;
    set_int_val(item_id);
    if (int_val != before) run_callback();
}

void GLUI_Listbox::mouse_down(int, int) { openDropdown(this); }

// The press did all there is to do: it opened the list, or closed it.
void GLUI_Listbox::mouse_up(int, int, bool) {}

void GLUI_Listbox::press_by_key() { openDropdown(this); }

// Up/Down/Home/End step through the items without opening the list.
void GLUI_Listbox::special_handler(int key, int) {
    if (items.empty()) return;
    int at = 0, last = static_cast<int>(items.size()) - 1;
    for (int i = 0; i <= last; ++i)
        if (items[i].id == int_val) at = i;
    switch (key) {
    case GLUT_KEY_UP: at = std::max(0, at - 1); break;
    case GLUT_KEY_DOWN: at = std::min(last, at + 1); break;
    case GLUT_KEY_HOME: at = 0; break;
    case GLUT_KEY_END: at = last; break;
    default: return;
    }
    choose(items[at].id);
}

void GLUI_Listbox::sync_from_live() {
    if (live_var == nullptr || *live_var == last_live) return;
    set_int_val(*live_var);
}
