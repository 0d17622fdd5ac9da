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

void deleteText(TextEditing t, int from, int to) {
    t.text.erase(from, to - from);
    placeCaretAt(t, from, false);
}

void deleteSelectionOr(TextEditing t, int to) {
    if (hasSelection(t))
        deleteText(t, selectionLow(t), selectionHigh(t));
    else
        deleteText(t, std::min(t.caret, to), std::max(t.caret, to));
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

static int charBefore(const TextEditing& t) { return t.caret > 0 ? charStartBefore(t.text, t.caret) : 0; }

static int charAfter(const TextEditing& t) {
    return t.caret < static_cast<int>(t.text.size()) ? charEndAfter(t.text, t.caret) : t.caret;
}

void deleteBackward(TextEditing t) { deleteSelectionOr(t, charBefore(t)); }
void deleteForward(TextEditing t) { deleteSelectionOr(t, charAfter(t)); }

// Words end at a space, colon, minus, point or comma. Trail bytes of
// double-byte characters never take these values.
static bool isWordBreak(char c) { return c == ' ' || c == ':' || c == '-' || c == '.' || c == ','; }

int wordEndAfter(const std::string& text, int pos) {
    const int length = static_cast<int>(text.size());
    while (pos < length && isWordBreak(text[pos])) pos = charEndAfter(text, pos);
    while (pos < length && !isWordBreak(text[pos])) pos = charEndAfter(text, pos);
    return pos;
}

static int wordStartBefore(const std::string& text, int pos) {
    while (pos > 0 && isWordBreak(text[charStartBefore(text, pos)])) pos = charStartBefore(text, pos);
    while (pos > 0 && !isWordBreak(text[charStartBefore(text, pos)])) pos = charStartBefore(text, pos);
    return pos;
}

int caretTarget(const TextEditing& t, CaretMove move, bool extend) {
    const bool collapse = !extend && hasSelection(t);
    switch (move) {
    case CaretMove::Left: return collapse ? selectionLow(t) : charBefore(t);
    case CaretMove::Right: return collapse ? selectionHigh(t) : charAfter(t);
    case CaretMove::WordLeft: return wordStartBefore(t.text, t.caret);
    case CaretMove::WordRight: return wordEndAfter(t.text, t.caret);
    case CaretMove::Home: return 0;
    case CaretMove::End: return static_cast<int>(t.text.size());
    default: return t.caret;
    }
}
