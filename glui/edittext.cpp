// Editing inside a field: the caret, the selection, scrolling and drawing,
// all stepping over Shift-JIS text one character (one or two bytes) at a time.
#include <algorithm>

#include "glui/focus.h"
#include "glui/glui.h"
#include "glui/look.h"
#include "glui/text_editing.h"
#include "labels/label_font.h"

static constexpr int kSelectionRGB[3] = {0, 0, 153};

// Pixels inside the box that text may cover.
static int visibleWidth(const GLUI_EditText& e) { return e.w - e.text_x_offset - 2 * kBoxTextInset; }
static int textLeft(const GLUI_EditText& e) { return e.x_abs + e.text_x_offset + kBoxTextInset; }

static TextEditing editing(GLUI_EditText& e) { return {e.text, e.insertion_pt, e.sel_start, e.sel_end}; }

// After any change of text, caret or selection: keep the caret in view.
static void showEdit(GLUI_EditText& e) {
    e.update_substring_bounds();
    e.redraw();
}

static void placeCaret(GLUI_EditText& e, int pos, bool extend) {
    placeCaretAt(editing(e), pos, extend);
    showEdit(e);
}

// ---- drawing ------------------------------------------------------------------

int GLUI_EditText::substring_width(int start, int end) const {
    int width = 0;
    for (int i = start; i < end; i += labelCharLength(text.c_str() + i))
        width += labelCharWidth(glui->font, text.c_str() + i);
    return width;
}

void GLUI_EditText::draw_text(int x, int baseline) {
    bool showSelection = is_active() && enabled && sel_start != sel_end;
    int low = std::min(sel_start, sel_end), high = std::max(sel_start, sel_end);
    for (int i = substring_start; i < substring_end;) {
        const char* p = text.c_str() + i;
        int width = labelCharWidth(glui->font, p);
        bool selected = showSelection && i >= low && i < high;
        if (selected) {
            setColour(kSelectionRGB[0], kSelectionRGB[1], kSelectionRGB[2]);
            fillRect(x, y_abs + 3, x + width, y_abs + h - 3);
            setGrey(255);
        } else {
            setGrey(enabled ? 0 : kDisabledText);
        }
        glRasterPos2i(x, baseline);
        drawLabelChar(glui->font, p);
        x += width;
        i += labelCharLength(p);
    }
}

void GLUI_EditText::draw_insertion_pt() const {
    int x = textLeft(*this);
    for (int i = insertion_pt; i > substring_start;) {
        const char* p = labelCharStart(text.c_str(), i);
        x += labelCharWidth(glui->font, p);
        i = static_cast<int>(p - text.c_str());
    }
    setGrey(0);
    fillRect(x, y_abs + 4, x + 1, y_abs + h - 3);
}

void GLUI_EditText::draw() {
    int labelWidth = string_width(name.c_str());
    draw_name(std::max(0, text_x_offset - labelWidth - 4), kBoxBaseline);
    drawSunkenBox(x_abs + text_x_offset, y_abs, w - text_x_offset, h, enabled);
    draw_text(textLeft(*this), y_abs + kBoxBaseline);
    if (is_active() && enabled && sel_start == sel_end) draw_insertion_pt();
}

// ---- caret and scrolling ----------------------------------------------------------

// Scrolls by whole characters so that the caret stays in view and as much
// text as fits is shown.
void GLUI_EditText::update_substring_bounds() {
    int length = static_cast<int>(text.size());
    int room = visibleWidth(*this);
    substring_start = std::min(substring_start, insertion_pt);
    while (substring_start < insertion_pt && substring_width(substring_start, insertion_pt) > room)
        substring_start += labelCharLength(text.c_str() + substring_start);
    while (substring_start > 0) {
        int earlier = charStartBefore(text, substring_start);
        if (substring_width(earlier, length) > room) break;
        substring_start = earlier;
    }
    substring_end = substring_start;
    while (substring_end < length) {
        int next = substring_end + labelCharLength(text.c_str() + substring_end);
        if (substring_width(substring_start, next) > room) break;
        substring_end = next;
    }
}

// The character boundary nearest to window x among the visible text.
int GLUI_EditText::find_insertion_pt(int x, int) const {
    int right = textLeft(*this) + substring_width(substring_start, substring_end);
    int pos = substring_end;
    while (pos > substring_start) {
        const char* p = labelCharStart(text.c_str(), pos);
        int width = labelCharWidth(glui->font, p);
        if (x >= right - width / 2) return pos;
        right -= width;
        pos = static_cast<int>(p - text.c_str());
    }
    return substring_start;
}

// ---- mouse ------------------------------------------------------------------

bool GLUI_EditText::hit(int x, int y) const {
    return x >= x_abs + text_x_offset && x < x_abs + w && y >= y_abs && y < y_abs + h;
}

void GLUI_EditText::mouse_down(int x, int y) {
    dragging = true;
    placeCaret(*this, find_insertion_pt(x, y), false);
}

// Dragging past either end of the box scrolls one character per move.
void GLUI_EditText::mouse_held(int x, int y, bool) {
    if (!dragging) return;
    int pos = find_insertion_pt(x, y);
    if (x < textLeft(*this) && pos == substring_start && pos > 0)
        pos = charStartBefore(text, pos);
    else if (x >= textLeft(*this) + visibleWidth(*this) && pos == substring_end &&
             pos < static_cast<int>(text.size()))
        pos = charEndAfter(text, pos);
    placeCaret(*this, pos, true);
}

void GLUI_EditText::mouse_up(int, int, bool) { dragging = false; }

// ---- keyboard -----------------------------------------------------------------

void GLUI_EditText::key_handler(unsigned char key, int) {
    if (!enabled) return;
    switch (key) {
    case '\r':
        // The field keeps the focus, all selected, ready for the next value.
        commit();
        selectAllText(editing(*this));
        break;
    case 27:
        deactivateActive();
        return;
    case 8:
        deleteBackward(editing(*this));
        break;
    case 127:
        deleteForward(editing(*this));
        break;
    case 1:   // Ctrl+A
        selectAllText(editing(*this));
        break;
    default:
        if (!typeKey(editing(*this), data_type, max_text_bytes(), key)) return;
        break;
    }
    showEdit(*this);
}

void GLUI_EditText::special_handler(int key, int modifiers) {
    if (!enabled) return;
    CaretMove move;
    switch (key) {
    case GLUT_KEY_LEFT: move = CaretMove::Left; break;
    case GLUT_KEY_RIGHT: move = CaretMove::Right; break;
    case GLUT_KEY_HOME: move = CaretMove::Home; break;
    case GLUT_KEY_END: move = CaretMove::End; break;
    default: return;
    }
    bool extend = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
    placeCaret(*this, caretTarget(editing(*this), move, extend), extend);
}

// ---- focus --------------------------------------------------------------------

void GLUI_EditText::activate(bool by_keyboard) {
    orig_text = text;
    if (by_keyboard) {
        selectAllText(editing(*this));
        showEdit(*this);
    }
}

void GLUI_EditText::deactivate() {
    dragging = false;
    commit();
    substring_start = 0;
    placeCaret(*this, 0, false);
}
