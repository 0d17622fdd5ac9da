// Editing inside a field: the caret, the selection, scrolling and drawing,
// all stepping over Shift-JIS text one character (one or two bytes) at a time.
#include <algorithm>

#include "glui/focus.h"
#include "glui/glui.h"
#include "glui/look.h"
#include "glui/number_text.h"
#include "glui/text_editing.h"
#include "labels/label_font.h"

static constexpr int kSelectionRGB[3] = {0, 0, 153};

// Pixels inside the box that text may cover.
static int visibleWidth(const GLUI_EditText& e) { return e.w - e.text_x_offset - 2 * kBoxTextInset; }
static int textLeft(const GLUI_EditText& e) { return e.x_abs + e.text_x_offset + kBoxTextInset; }

// Rows of the glyph cell: the selection and the caret cover them.
static int cellTop(const GLUI_EditText& e) { return e.y_abs + kBoxBaseline - kCellAbove; }
static int cellEnd(const GLUI_EditText& e) { return e.y_abs + kBoxBaseline + kCellBelow + 1; }

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
            fillRect(x, cellTop(*this), x + width, cellEnd(*this));
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

// The caret goes in the column of the two around it that is blank: single-byte
// glyphs leave their last column empty, double-byte glyphs their first.
void GLUI_EditText::draw_insertion_pt() const {
    int x = textLeft(*this);
    for (int i = insertion_pt; i > substring_start;) {
        const char* p = labelCharStart(text.c_str(), i);
        x += labelCharWidth(glui->font, p);
        i = static_cast<int>(p - text.c_str());
    }
    const char* s = text.c_str();
    bool singleBefore =
        insertion_pt > substring_start && labelCharLength(labelCharStart(s, insertion_pt)) == 1;
    bool doubleAfter = labelCharLength(s + insertion_pt) == 2;
    if (singleBefore && !doubleAfter) --x;
    setGrey(0);
    fillRect(x, cellTop(*this), x + 1, cellEnd(*this));
}

// A number the user cannot edit, and which does not fit its box, is shown
// rounded to the digits that fit instead of cut at the box's edge, where
// -14.5692 read as -14.56. The field's text, which a commit would parse, stays.
static bool showsRoundedNumber(const GLUI_EditText& e) {
    return !e.enabled && e.data_type != GLUI_EDITTEXT_TEXT &&
           (e.substring_start > 0 || e.substring_end < static_cast<int>(e.text.size()));
}

static void drawRoundedNumber(const GLUI_EditText& e) {
    const double value = e.data_type == GLUI_EDITTEXT_INT ? e.int_val : e.float_val;
    const std::string shown = roundedToFit(value, [&e](const std::string& text) {
        return labelStringWidth(e.glui->font, text.c_str()) <= visibleWidth(e);
    });
    setGrey(kDisabledText);
    glRasterPos2i(textLeft(e), e.y_abs + kBoxBaseline);
    drawLabelString(e.glui->font, shown.c_str());
}

void GLUI_EditText::draw() {
    int labelWidth = string_width(name.c_str());
    draw_name(std::max(0, text_x_offset - labelWidth - 4), kBoxBaseline);
    drawSunkenBox(x_abs + text_x_offset, y_abs, w - text_x_offset, h, enabled);
    if (showsRoundedNumber(*this))
        drawRoundedNumber(*this);
    else
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

static void moveCaret(GLUI_EditText& e, CaretMove move, bool extend) {
    placeCaret(e, caretTarget(editing(e), move, extend), extend);
}

// Alt with B, F or D works on words; Alt or Ctrl with anything else that has
// no meaning here is swallowed rather than typed.
static void altKey(GLUI_EditText& e, unsigned char key) {
    switch (key | 0x20) {
    case 'b': moveCaret(e, CaretMove::WordLeft, false); break;
    case 'f': moveCaret(e, CaretMove::WordRight, false); break;
    case 'd':
        deleteSelectionOr(editing(e), wordEndAfter(e.text, e.insertion_pt));
        showEdit(e);
        break;
    default: break;
    }
}

void GLUI_EditText::key_handler(unsigned char key, int modifiers) {
    if (!enabled) return;
    if (modifiers & GLUT_ACTIVE_ALT) {
        altKey(*this, key);
        return;
    }
    const bool ctrl = (modifiers & GLUT_ACTIVE_CTRL) != 0;
    const int length = static_cast<int>(text.size());
    TextEditing t = editing(*this);
    switch (key) {
    case '\r':
        // The field keeps the focus, all selected, ready for the next value.
        commit();
        selectAllText(t);
        break;
    case 27:
        deactivateActive();
        return;
    case 8:
        deleteBackward(t);
        break;
    case 127:
        if (ctrl)
            deleteSelectionOr(t, wordEndAfter(text, insertion_pt));
        else
            deleteForward(t);
        break;
    case 'A' - '@': selectAllText(t); break;
    case 'B' - '@': moveCaret(*this, CaretMove::Left, false); return;
    case 'D' - '@': deleteForward(t); break;
    case 'E' - '@': moveCaret(*this, CaretMove::End, false); return;
    case 'F' - '@': moveCaret(*this, CaretMove::Right, false); return;
    case 'K' - '@': deleteText(t, selectionLow(t), length); break;
    case 'U' - '@': deleteText(t, 0, length); break;
    default:
        if (ctrl || !typeKey(t, data_type, max_text_bytes(), key)) return;
        break;
    }
    showEdit(*this);
}

void GLUI_EditText::special_handler(int key, int modifiers) {
    if (!enabled) return;
    const bool extend = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
    const bool byWord = (modifiers & GLUT_ACTIVE_CTRL) != 0;
    switch (key) {
    case GLUT_KEY_LEFT: moveCaret(*this, byWord ? CaretMove::WordLeft : CaretMove::Left, extend); break;
    case GLUT_KEY_RIGHT: moveCaret(*this, byWord ? CaretMove::WordRight : CaretMove::Right, extend); break;
    case GLUT_KEY_HOME: moveCaret(*this, CaretMove::Home, extend); break;
    case GLUT_KEY_END: moveCaret(*this, CaretMove::End, extend); break;
    // Up and Down have no line to go to; they only drop the selection.
    case GLUT_KEY_UP:
    case GLUT_KEY_DOWN: moveCaret(*this, CaretMove::Stay, false); break;
    default: break;
    }
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
