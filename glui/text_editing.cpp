#include "glui/text_editing.h"

#include <algorithm>

#include "glui/glui.h"
#include "labels/label_font.h"

int selectionLow(const TextEditing& t) { return std::min(t.selStart, t.selEnd); }
int selectionHigh(const TextEditing& t) { return std::max(t.selStart, t.selEnd); }
bool hasSelection(const TextEditing& t) { return t.selStart != t.selEnd; }

int charStartBefore(const std::string& text, int pos) {
    return static_cast<int>(labelCharStart(text.c_str(), pos) - text.c_str());
}

int charEndAfter(const std::string& text, int pos) { return pos + labelCharLength(text.c_str() + pos); }

std::string fittingText(const std::string& text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = charEndAfter(text, static_cast<int>(end));
        if (next > maxBytes) break;
        end = next;
    }
    return text.substr(0, end);
}

void placeCaretAt(TextEditing t, int pos, bool extend) {
    t.caret = pos;
    t.selEnd = pos;
    if (!extend) t.selStart = pos;
}

void selectAllText(TextEditing t) {
    t.selStart = 0;
    placeCaretAt(t, static_cast<int>(t.text.size()), true);
}

static void deleteRange(TextEditing t, int from, int to) {
    t.text.erase(from, to - from);
    placeCaretAt(t, from, false);
}

// Numeric fields take only what can start or continue a number: digits, one
// leading minus, and for floats one point.
static bool accepts(const TextEditing& t, int dataType, unsigned char key) {
    if (dataType == GLUI_EDITTEXT_TEXT) return (key >= 0x20 && key < 0x7F) || (key >= 0xA1 && key <= 0xDF);
    if (key >= '0' && key <= '9') return true;
    std::string rest = t.text;
    rest.erase(selectionLow(t), selectionHigh(t) - selectionLow(t));
    if (key == '-') return selectionLow(t) == 0 && rest.find('-') == std::string::npos;
    if (key == '.') return dataType == GLUI_EDITTEXT_FLOAT && rest.find('.') == std::string::npos;
    return false;
}

bool typeKey(TextEditing t, int dataType, std::size_t maxBytes, unsigned char key) {
    const int at = selectionLow(t);
    const std::size_t kept = t.text.size() - (selectionHigh(t) - at);
    if (!accepts(t, dataType, key) || kept + 1 > maxBytes) return false;
    t.text.erase(at, selectionHigh(t) - at);
    t.text.insert(t.text.begin() + at, static_cast<char>(key));
    placeCaretAt(t, at + 1, false);
    return true;
}

void deleteBackward(TextEditing t) {
    if (hasSelection(t))
        deleteRange(t, selectionLow(t), selectionHigh(t));
    else if (t.caret > 0)
        deleteRange(t, charStartBefore(t.text, t.caret), t.caret);
}

void deleteForward(TextEditing t) {
    if (hasSelection(t))
        deleteRange(t, selectionLow(t), selectionHigh(t));
    else if (t.caret < static_cast<int>(t.text.size()))
        deleteRange(t, t.caret, charEndAfter(t.text, t.caret));
}

int caretTarget(const TextEditing& t, CaretMove move, bool extend) {
    const int length = static_cast<int>(t.text.size());
    const bool collapse = !extend && hasSelection(t);
    switch (move) {
    case CaretMove::Left:
        if (collapse) return selectionLow(t);
        return t.caret > 0 ? charStartBefore(t.text, t.caret) : 0;
    case CaretMove::Right:
        if (collapse) return selectionHigh(t);
        return t.caret < length ? charEndAfter(t.text, t.caret) : length;
    case CaretMove::Home:
        return 0;
    default:
        return length;
    }
}
