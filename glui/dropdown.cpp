#include "dropdown.h"

#include <algorithm>

#include "glui.h"
#include "look.h"

static constexpr int kItemHeight = kLineHeight + 3;
static constexpr int kItemBaseline = kLineBaseline + 1;

namespace {
struct ListRect {
    int x, y, w, h;
};
}  // namespace

// Below the box if the content in view leaves room there, else above it in
// view, else below with the window growing (or its content, once it scrolls).
static ListRect listRect(const GLUI* glui) {
    const GLUI_Listbox* box = glui->open_list;
    int widest = 0;
    for (const GLUI_Listbox::Item& item : box->items)
        widest = std::max(widest, box->string_width(item.text.c_str()));
    ListRect r;
    r.w = std::max(box->x_abs + box->w - box->box_x(), widest + 2 * kBoxTextInset + 2);
    r.h = static_cast<int>(box->items.size()) * kItemHeight + 2;
    r.x = std::max(0, std::min(box->box_x(), glui->content_w - r.w));
    r.y = box->y_abs + box->h;
    const int top = glui->scroll_y, bottom = std::min(glui->content_h, glui->scroll_y + glui->needed_h);
    if (r.y + r.h > bottom && box->y_abs - r.h >= top) r.y = box->y_abs - r.h;
    return r;
}

static bool insideList(const GLUI* glui, int x, int y) {
    ListRect r = listRect(glui);
    return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

static int itemAt(const GLUI* glui, int x, int y) {
    ListRect r = listRect(glui);
    if (!insideList(glui, x, y) || y < r.y + 1 || y >= r.y + r.h - 1) return -1;
    return (y - r.y - 1) / kItemHeight;
}

static int chosenIndex(const GLUI_Listbox* box) {
    for (size_t i = 0; i < box->items.size(); ++i)
        if (box->items[i].id == box->int_val) return static_cast<int>(i);
    return -1;
}

void openDropdown(GLUI_Listbox* box) {
    GLUI* glui = box->glui;
    if (box->items.empty() || glui->open_list == box) return;
    glui->open_list = box;
    glui->list_hover = chosenIndex(box);
    glui->list_opening_press = true;
    glui->refresh();
}

void closeDropdown(GLUI* glui) {
    glui->open_list = nullptr;
    glui->list_hover = -1;
    glui->refresh();
}

void dropdownExtent(const GLUI* glui, int& w, int& h) {
    if (glui->open_list == nullptr) return;
    ListRect r = listRect(glui);
    w = std::max(w, r.x + r.w);
    h = std::max(h, r.y + r.h);
}

void drawDropdown(const GLUI* glui) {
    if (glui->open_list == nullptr) return;
    ListRect r = listRect(glui);
    setGrey(255);
    fillRect(r.x, r.y, r.x + r.w, r.y + r.h);
    outlineRect(r.x, r.y, r.w, r.h, 0);
    const GLUI_Listbox* box = glui->open_list;
    for (int i = 0; i < static_cast<int>(box->items.size()); ++i) {
        int top = r.y + 1 + i * kItemHeight;
        bool hover = i == glui->list_hover;
        if (hover) {
            setColour(0, 0, 153);
            fillRect(r.x + 1, top, r.x + r.w - 1, top + kItemHeight);
        }
        setGrey(hover ? 255 : 0);
        glRasterPos2i(r.x + 1 + kBoxTextInset, top + kItemBaseline);
        _glutBitmapString(glui->font, box->items[i].text.c_str());
    }
}

static void chooseAndClose(GLUI* glui, int index) {
    GLUI_Listbox* box = glui->open_list;
    closeDropdown(glui);
    box->choose(box->items[index].id);
}

// A press outside the list closes it unchanged and is left to the window,
// unless it is on the list box itself, which only closes the list. A release
// on an item chooses it, so both click-click and press-drag-release work.
bool dropdownMouse(GLUI* glui, int state, int x, int y) {
    int index = itemAt(glui, x, y);
    if (state == GLUT_DOWN) {
        glui->list_opening_press = false;
        if (insideList(glui, x, y)) return true;
        bool onBox = glui->open_list->hit(x, y);
        closeDropdown(glui);
        return onBox;
    }
    bool openingRelease = glui->list_opening_press;
    glui->list_opening_press = false;
    if (index >= 0) {
        chooseAndClose(glui, index);
    } else if (!openingRelease) {
        closeDropdown(glui);
    }
    return true;
}

void dropdownMotion(GLUI* glui, int x, int y) {
    int index = itemAt(glui, x, y);
    if (index < 0 || index == glui->list_hover) return;
    glui->list_hover = index;
    glui->post_redisplay();
}

void dropdownKey(GLUI* glui, unsigned char key) {
    if (key == 27) {
        closeDropdown(glui);
    } else if ((key == '\r' || key == ' ') && glui->list_hover >= 0) {
        chooseAndClose(glui, glui->list_hover);
    }
}

void dropdownSpecial(GLUI* glui, int key) {
    int last = static_cast<int>(glui->open_list->items.size()) - 1;
    if (key == GLUT_KEY_UP)
        glui->list_hover = std::max(0, glui->list_hover - 1);
    else if (key == GLUT_KEY_DOWN)
        glui->list_hover = std::min(last, glui->list_hover + 1);
    else
        return;
    glui->post_redisplay();
}
