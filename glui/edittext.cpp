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

// Rows of the glyph cell: the selection and the caret cover them.
static int cellTop(const GLUI_EditText& e) { return e.y_abs + kBoxBaseline - kCellAbove; }
static int cellEnd(const GLUI_EditText& e) { return e.y_abs + kBoxBaseline + kCellBelow + 1; }

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

// Words end at a space, colon, minus, point or comma. Trail bytes of
// double-byte characters never take these values.
static bool isWordBreak(char c) { return c == ' ' || c == ':' || c == '-' || c == '.' || c == ','; }

// Over any breaks next to the caret, then over the word beyond them.
static int wordRight(const GLUI_EditText& e, int pos) {
    int length = static_cast<int>(e.text.size());
    while (pos < length && isWordBreak(e.text[pos])) pos = charEndAfter(e, pos);
    while (pos < length && !isWordBreak(e.text[pos])) pos = charEndAfter(e, pos);
    return pos;
}

static int wordLeft(const GLUI_EditText& e, int pos) {
    while (pos > 0 && isWordBreak(e.text[charStartBefore(e, pos)])) pos = charStartBefore(e, pos);
    while (pos > 0 && !isWordBreak(e.text[charStartBefore(e, pos)])) pos = charStartBefore(e, pos);
    return pos;
}

static int charBefore(const GLUI_EditText& e) {
    return e.insertion_pt > 0 ? charStartBefore(e, e.insertion_pt) : 0;
}

static int charAfter(const GLUI_EditText& e) {
    bool atEnd = e.insertion_pt >= static_cast<int>(e.text.size());
    return atEnd ? e.insertion_pt : charEndAfter(e, e.insertion_pt);
}

namespace {
enum class Move { CharLeft, CharRight, WordLeft, WordRight, Home, End, Stay };
}

// Without extending, a move by one character first collapses a selection to
// the side it points to; every move without extending leaves no selection.
static void moveCaret(GLUI_EditText& e, Move move, bool extend) {
    bool collapse = !extend && hasSelection(e);
    int pos = e.insertion_pt;
    switch (move) {
    case Move::CharLeft: pos = collapse ? selectionLow(e) : charBefore(e); break;
    case Move::CharRight: pos = collapse ? selectionHigh(e) : charAfter(e); break;
    case Move::WordLeft: pos = wordLeft(e, pos); break;
    case Move::WordRight: pos = wordRight(e, pos); break;
    case Move::Home: pos = 0; break;
    case Move::End: pos = static_cast<int>(e.text.size()); break;
    case Move::Stay: break;
    }
    placeCaret(e, pos, extend);
}

// The selection if there is one, otherwise from the caret to `to`.
static void deleteSelectionOr(GLUI_EditText& e, int to) {
    if (hasSelection(e))
        deleteRange(e, selectionLow(e), selectionHigh(e));
    else
        deleteRange(e, std::min(e.insertion_pt, to), std::max(e.insertion_pt, to));
}

// Alt with B, F or D works on words; Alt or Ctrl with anything else that has
// no meaning here is swallowed rather than typed.
static void altKey(GLUI_EditText& e, unsigned char key) {
    switch (key | 0x20) {
    case 'b': moveCaret(e, Move::WordLeft, false); break;
    case 'f': moveCaret(e, Move::WordRight, false); break;
    case 'd': deleteSelectionOr(e, wordRight(e, e.insertion_pt)); break;
    default: break;
    }
}

void GLUI_EditText::key_handler(unsigned char key, int modifiers) {
    if (!enabled) return;
    if (modifiers & GLUT_ACTIVE_ALT) {
        altKey(*this, key);
        return;
    }
    bool ctrl = (modifiers & GLUT_ACTIVE_CTRL) != 0;
    int length = static_cast<int>(text.size());
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
        deleteSelectionOr(*this, charBefore(*this));
        break;
    case 127:
        deleteSelectionOr(*this, ctrl ? wordRight(*this, insertion_pt) : charAfter(*this));
        break;
    case 'A' - '@': selectAll(*this); break;
    case 'B' - '@': moveCaret(*this, Move::CharLeft, false); break;
    case 'D' - '@': deleteSelectionOr(*this, charAfter(*this)); break;
    case 'E' - '@': moveCaret(*this, Move::End, false); break;
    case 'F' - '@': moveCaret(*this, Move::CharRight, false); break;
    case 'K' - '@': deleteRange(*this, selectionLow(*this), length); break;
    case 'U' - '@': deleteRange(*this, 0, length); break;
    default:
        if (!ctrl) typeCharacter(*this, key);
        break;
    }
}

void GLUI_EditText::special_handler(int key, int modifiers) {
    if (!enabled) return;
    bool extend = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
    bool byWord = (modifiers & GLUT_ACTIVE_CTRL) != 0;
    switch (key) {
    case GLUT_KEY_LEFT: moveCaret(*this, byWord ? Move::WordLeft : Move::CharLeft, extend); break;
    case GLUT_KEY_RIGHT: moveCaret(*this, byWord ? Move::WordRight : Move::CharRight, extend); break;
    case GLUT_KEY_HOME: moveCaret(*this, Move::Home, extend); break;
    case GLUT_KEY_END: moveCaret(*this, Move::End, extend); break;
    // Up and Down have no line to go to; they only drop the selection.
    case GLUT_KEY_UP:
    case GLUT_KEY_DOWN: moveCaret(*this, Move::Stay, false); break;
    default: break;
    }
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
