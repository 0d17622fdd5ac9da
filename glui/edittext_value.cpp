// The value behind an edit field: its text form, the live variable, and the
// commit that turns typed text into a value.
#include <algorithm>
#include <cstring>

#include "glui/glui.h"
#include "glui/look.h"
#include "glui/number_text.h"
#include "glui/text_editing.h"

// The label area never gets narrower than this, so short labels line up.
static constexpr int kMinLabelArea = 55;

void GLUI_EditText::update_size() {
    int labelWidth = string_width(name.c_str());
    text_x_offset = name.empty() ? 0 : std::max(kMinLabelArea, labelWidth + 7);
    int minBox = data_type == GLUI_EDITTEXT_INT ? 35 : 50;
    w = std::max(requested_w, text_x_offset + minBox);
    h = kBoxHeight;
    update_substring_bounds();
}

static void writeLive(GLUI_EditText& e) {
    switch (e.data_type) {
    case GLUI_EDITTEXT_INT:
        e.last_live_int = e.int_val;
        if (e.live_var) *static_cast<int*>(e.live_var) = e.int_val;
        break;
    case GLUI_EDITTEXT_FLOAT:
        e.last_live_float = e.float_val;
        if (e.live_var) *static_cast<float*>(e.live_var) = e.float_val;
        break;
    default:
        e.last_live_text = e.text;
        // The text never holds more than the buffer's size less one byte.
        if (e.live_var) std::memcpy(e.live_var, e.text.c_str(), e.text.size() + 1);
        break;
    }
    e.glui->post_main_redisplay();
}

// New text from outside the user's typing: the caret must stay on the text.
static void showText(GLUI_EditText& e, const std::string& text) {
    e.text = fittingText(text, e.max_text_bytes());
    int length = static_cast<int>(e.text.size());
    e.insertion_pt = std::min(e.insertion_pt, length);
    e.sel_start = std::min(e.sel_start, length);
    e.sel_end = e.insertion_pt;
    e.substring_start = 0;
    e.update_substring_bounds();
    e.redraw();
}

void GLUI_EditText::set_int_val(int v) {
    int_val = v;
    float_val = static_cast<float>(v);
    showText(*this, data_type == GLUI_EDITTEXT_FLOAT ? formatFloat(float_val) : formatInt(v));
    writeLive(*this);
}

void GLUI_EditText::set_float_val(float v) {
    float_val = v;
    int_val = intFromFloat(v);
    showText(*this, data_type == GLUI_EDITTEXT_INT ? formatInt(int_val) : formatFloat(v));
    writeLive(*this);
}

void GLUI_EditText::set_text(const char* s) {
    showText(*this, s);
    writeLive(*this);
}

void GLUI_EditText::set_text_buffer_size(int bytes) {
    text_buffer_size = std::max(bytes, 1);
    if (data_type == GLUI_EDITTEXT_TEXT) set_text(text.c_str());
}

// A live buffer whose terminator is missing is read up to its declared size.
static std::string liveText(const GLUI_EditText& e) {
    const char* live = static_cast<const char*>(e.live_var);
    return std::string(live, strnlen(live, e.text_buffer_size));
}

void GLUI_EditText::read_live() {
    switch (data_type) {
    case GLUI_EDITTEXT_INT:
        set_int_val(live_var ? *static_cast<int*>(live_var) : 0);
        break;
    case GLUI_EDITTEXT_FLOAT:
        set_float_val(live_var ? *static_cast<float*>(live_var) : 0.0f);
        break;
    default:
        set_text(live_var ? liveText(*this).c_str() : "");
        break;
    }
}

// Text that reads as no number at all puts the field back to its value.
void GLUI_EditText::commit() {
    if (data_type == GLUI_EDITTEXT_INT) {
        int value = int_val;
        parseInt(text, value);
        set_int_val(value);
    } else if (data_type == GLUI_EDITTEXT_FLOAT) {
        float value = float_val;
        parseFloat(text, value);
        set_float_val(value);
    } else {
        writeLive(*this);
    }
    if (text == orig_text) return;
    orig_text = text;
    committing = true;
    run_callback();
    committing = false;
}

// The field being typed into keeps the user's text, unless its own commit
// callback is what changed the variable.
void GLUI_EditText::sync_from_live() {
    if (live_var == nullptr || (is_active() && !committing)) return;
    switch (data_type) {
    case GLUI_EDITTEXT_INT: {
        int value = *static_cast<int*>(live_var);
        if (value != last_live_int) set_int_val(value);
        break;
    }
    case GLUI_EDITTEXT_FLOAT: {
        float value = *static_cast<float*>(live_var);
        // Bit for bit: a NaN never equals itself and would be shown anew,
        // with a repaint of both windows, at every sync.
        if (std::memcmp(&value, &last_live_float, sizeof value) != 0) set_float_val(value);
        break;
    }
    default:
        if (last_live_text != liveText(*this)) set_text(liveText(*this).c_str());
        break;
    }
}
