// Editing inside a field: the caret, the selection, scrolling and drawing,
// all stepping over Shift-JIS text one character (one or two bytes) at a time.
#include <algorithm>

#include "focus.h"
#include "glui.h"
#include "labels/label_font.h"
#include "look.h"

static constexpr int kSelectionRGB[3] = {0, 0, 153};

// Pixels inside the box that text may cover.
static int visibleWidth(const GLUI_EditText& e) { return e.w - e.text_x_offset - 2 * kBoxTextInset; }
static int textLeft(const GLUI_EditText& e) { return e.x_abs + e.text_x_offset + kBoxTextInset; }

static int selectionLow(const GLUI_EditText& e) { return std::min(e.sel_start, e.sel_end); }
static int selectionHigh(const GLUI_EditText& e) { return std::max(e.sel_start, e.sel_end); }
static bool hasSelection(const GLUI_EditText& e) { return e.sel_start != e.sel_end; }

static int charStartBefore(const GLUI_EditText& e, int pos) {
    return static_cast<int>(labelCharStart(e.text.c_str(), pos) - e.text.c_str());
}

static int charEndAfter(const GLUI_EditText& e, int pos) {
    return pos + labelCharLength(e.text.c_str() + pos);
}

static void placeCaret(GLUI_EditText& e, int pos, bool extend) {
    e.insertion_pt = pos;
    e.sel_end = pos;
    if (!extend) e.sel_start = pos;
    e.update_substring_bounds();
    e.redraw();
}

static void selectAll(GLUI_EditText& e) {
    e.sel_start = 0;
    placeCaret(e, static_cast<int>(e.text.size()), true);
}

static void deleteRange(GLUI_EditText& e, int from, int to) {
    e.text.erase(from, to - from);
    placeCaret(e, from, false);
}

// ---- drawing ------------------------------------------------------------------

int GLUI_EditText::substring_width(int start, int end) const {
    int width = 0;
    for (int i = start; i < end; i += labelCharLength(text.c_str() + i))
        width += labelCharWidth(glui->font, text.c_str() + i);
    return width;
}

void GLUI_EditText::draw_text(int x, int baseline) {
    bool showSelection = is_active() && enabled && hasSelection(*this);
    int low = selectionLow(*this), high = selectionHigh(*this);
    for (int i = substring_start; i < substring_end;) {
        const char* p = text.c_str() + i;
        int width = labelCharWidth(glui->font, p);
        bool selected = showSelection && i >= low && i < high;
        if (selected) {
            setColour(kSelectionRGB[0], kSelectionRGB[1], kSelectionRGB[2]);
            fillRect(x, y_abs + kBoxBaseline - kCellAbove, x + width, y_abs + kBoxBaseline + kCellBelow + 1);
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
    bool singleBefore = insertion_pt > substring_start && labelCharLength(labelCharStart(s, insertion_pt)) == 1;
    bool doubleAfter = labelCharLength(s + insertion_pt) == 2;
    if (singleBefore && !doubleAfter) --x;
    setGrey(0);
    fillRect(x, y_abs + kBoxBaseline - kCellAbove, x + 1, y_abs + kBoxBaseline + kCellBelow + 1);
}

void GLUI_EditText::draw() {
    int labelWidth = string_width(name.c_str());
    draw_name(std::max(0, text_x_offset - labelWidth - 4), kBoxBaseline);
    drawSunkenBox(x_abs + text_x_offset, y_abs, w - text_x_offset, h, enabled);
    draw_text(textLeft(*this), y_abs + kBoxBaseline);
    if (is_active() && enabled && !hasSelection(*this)) draw_insertion_pt();
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
        int earlier = charStartBefore(*this, substring_start);
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
        pos = charStartBefore(*this, pos);
    else if (x >= textLeft(*this) + visibleWidth(*this) && pos == substring_end &&
             pos < static_cast<int>(text.size()))
        pos = charEndAfter(*this, pos);
    placeCaret(*this, pos, true);
}

void GLUI_EditText::mouse_up(int, int, bool) { dragging = false; }

// ---- keyboard -----------------------------------------------------------------

// Numeric fields take only what can start or continue a number: digits, one
// leading minus, and for floats one point.
static bool accepts(const GLUI_EditText& e, unsigned char key) {
    if (e.data_type == GLUI_EDITTEXT_TEXT)
        return (key >= 0x20 && key < 0x7F) || (key >= 0xA1 && key <= 0xDF);
    if (key >= '0' && key <= '9') return true;
    std::string rest = e.text;
    rest.erase(selectionLow(e), selectionHigh(e) - selectionLow(e));
    if (key == '-') return selectionLow(e) == 0 && rest.find('-') == std::string::npos;
    if (key == '.')
        return e.data_type == GLUI_EDITTEXT_FLOAT && rest.find('.') == std::string::npos;
    return false;
}

static void typeCharacter(GLUI_EditText& e, unsigned char key) {
    if (!accepts(e, key)) return;
    int at = selectionLow(e);
    e.text.erase(at, selectionHigh(e) - at);
    e.text.insert(e.text.begin() + at, static_cast<char>(key));
    placeCaret(e, at + 1, false);
}

void GLUI_EditText::key_handler(unsigned char key, int) {
    if (!enabled) return;
    switch (key) {
    case '\r':
        // The field keeps the focus, all selected, ready for the next value.
        commit();
        selectAll(*this);
        break;
    case 27:
        deactivateActive();
        break;
    case 8:
        if (hasSelection(*this))
            deleteRange(*this, selectionLow(*this), selectionHigh(*this));
        else if (insertion_pt > 0)
            deleteRange(*this, charStartBefore(*this, insertion_pt), insertion_pt);
        break;
    case 127:
        if (hasSelection(*this))
            deleteRange(*this, selectionLow(*this), selectionHigh(*this));
        else if (insertion_pt < static_cast<int>(text.size()))
            deleteRange(*this, insertion_pt, charEndAfter(*this, insertion_pt));
        break;
    case 1:   // Ctrl+A
        selectAll(*this);
        break;
    default:
        typeCharacter(*this, key);
        break;
    }
}

void GLUI_EditText::special_handler(int key, int modifiers) {
    if (!enabled) return;
    bool extend = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
    int length = static_cast<int>(text.size());
    // Without Shift an arrow first collapses a selection to the side it points to.
    bool collapse = !extend && hasSelection(*this);
    int pos;
    switch (key) {
    case GLUT_KEY_LEFT:
        pos = collapse ? selectionLow(*this) : insertion_pt > 0 ? charStartBefore(*this, insertion_pt) : 0;
        break;
    case GLUT_KEY_RIGHT:
        pos = collapse ? selectionHigh(*this)
                       : insertion_pt < length ? charEndAfter(*this, insertion_pt) : length;
        break;
    case GLUT_KEY_HOME:
        pos = 0;
        break;
    case GLUT_KEY_END:
        pos = length;
        break;
    default:
        return;
    }
    placeCaret(*this, pos, extend);
}

// ---- focus --------------------------------------------------------------------

void GLUI_EditText::activate(bool by_keyboard) {
    orig_text = text;
    if (by_keyboard) selectAll(*this);
}

void GLUI_EditText::deactivate() {
    dragging = false;
    commit();
    substring_start = 0;
    placeCaret(*this, 0, false);
}
