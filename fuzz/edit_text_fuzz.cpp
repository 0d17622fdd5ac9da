// An edit field's text operations on arbitrary text and key sequences.
// Input: a byte choosing the field's type, a byte for its size limit, the
// starting text up to a NUL, then one key per byte (0xF0-0xF7 caret moves,
// bit 2 with Shift; 0xF8 Backspace; 0xF9 Delete; 0xFA select all; 0xFB
// commit; 0xFC delete a word; 0xFD delete to the end; any other byte typed). After every key the caret and the
// selection stand on character boundaries inside the text, the text fits
// the limit, and a numeric field took only what may make a number.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "glui/glui.h"
#include "glui/number_text.h"
#include "glui/text_editing.h"
#include "labels/label_font.h"

namespace {

struct Field {
    int dataType;
    size_t maxBytes;
    std::string text;
    int caret = 0, selStart = 0, selEnd = 0;
    int intValue = 0;
    float floatValue = 0;
    TextEditing editing() { return {text, caret, selStart, selEnd}; }
};

bool onBoundary(const std::string& text, int pos) {
    if (pos < 0 || pos > static_cast<int>(text.size())) return false;
    int p = 0;
    while (p < pos) p += labelCharLength(text.c_str() + p);
    return p == pos;
}

// What a commit leaves: the number the text starts with, or the old value.
void commit(Field& f) {
    if (f.dataType == GLUI_EDITTEXT_INT) {
        parseInt(f.text, f.intValue);
        f.text = formatInt(f.intValue);
        int again = f.intValue ^ 1;
        FUZZ_CHECK(parseInt(f.text, again) && again == f.intValue);
    } else if (f.dataType == GLUI_EDITTEXT_FLOAT) {
        parseFloat(f.text, f.floatValue);
        f.text = formatFloat(f.floatValue);
        float again = 0;
        FUZZ_CHECK(parseFloat(f.text, again));
    }
    placeCaretAt(f.editing(), std::min(f.caret, static_cast<int>(f.text.size())), false);
}

void press(Field& f, uint8_t key) {
    if (key >= 0xF0 && key <= 0xF7) {
        const bool extend = (key & 4) != 0;
        placeCaretAt(f.editing(), caretTarget(f.editing(), static_cast<CaretMove>(key % CaretMoveCount), extend), extend);
    } else if (key == 0xF8) {
        deleteBackward(f.editing());
    } else if (key == 0xF9) {
        deleteForward(f.editing());
    } else if (key == 0xFA) {
        selectAllText(f.editing());
    } else if (key == 0xFB) {
        commit(f);
    } else if (key == 0xFC) {
        deleteSelectionOr(f.editing(), wordEndAfter(f.text, f.caret));
    } else if (key == 0xFD) {
        deleteText(f.editing(), selectionLow(f.editing()), static_cast<int>(f.text.size()));
    } else if (typeKey(f.editing(), f.dataType, f.maxBytes, key) && f.dataType != GLUI_EDITTEXT_TEXT) {
        FUZZ_CHECK(std::strchr(f.dataType == GLUI_EDITTEXT_INT ? "0123456789-" : "0123456789-.", key));
    }
}

void checkField(const Field& f) {
    FUZZ_CHECK(f.text.size() <= f.maxBytes);
    FUZZ_CHECK(onBoundary(f.text, f.caret) && onBoundary(f.text, f.selStart) && onBoundary(f.text, f.selEnd));
    FUZZ_CHECK(f.caret == f.selEnd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const int types[3] = {GLUI_EDITTEXT_TEXT, GLUI_EDITTEXT_INT, GLUI_EDITTEXT_FLOAT};
    const int dataType = types[data[0] % 3];
    // A numeric field's formatted value must always fit.
    Field f{dataType, (dataType == GLUI_EDITTEXT_TEXT ? 1u : 16u) + data[1] % 64, {}};
    const char* rest = reinterpret_cast<const char*>(data + 2);
    const size_t textLength = strnlen(rest, size - 2);
    f.text = fittingText(std::string(rest, textLength), f.maxBytes);
    if (f.dataType != GLUI_EDITTEXT_TEXT) commit(f);
    checkField(f);
    for (size_t i = 2 + textLength + 1; i < size; ++i) {
        press(f, data[i]);
        checkField(f);
    }
    return 0;
}
