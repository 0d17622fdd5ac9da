#include "glui.h"
#include "focus.h"
#include "look.h"

void GLUI_Panel::draw() {
    switch (type) {
    case GLUI_PANEL_EMBOSSED:
        if (name.empty()) {
            drawEtchedFrame(x_abs, y_abs, w, h);
        } else {
            // The title sits on a patch of background that interrupts the frame's top line.
            int frameTop = kLineBaseline - 6;
            drawEtchedFrame(x_abs, y_abs + frameTop, w, h - frameTop);
            setGrey(kBackground);
            fillRect(x_abs + 5, y_abs, x_abs + 9 + string_width(name.c_str()), y_abs + kLineHeight);
            draw_name(7, kLineBaseline);
        }
        break;
    case GLUI_PANEL_RAISED:
        outlineRect(x_abs + 1, y_abs + 1, w - 1, h - 1, kShadow);
        outlineRect(x_abs, y_abs, w - 1, h - 1, 255);
        break;
    default:
        break;
    }
}

// ---- rollout ----------------------------------------------------------------

// The header is a button across the top of the rollout.
static constexpr int kHeaderInset = 3;

void GLUI_Rollout::draw() {
    if (is_open) {
        int bodyTop = kRolloutHeaderTop + kButtonHeight / 2;
        drawEtchedFrame(x_abs, y_abs + bodyTop, w, h - bodyTop);
    }
    int hx = x_abs + kHeaderInset, hy = y_abs + kRolloutHeaderTop, hw = w - 2 * kHeaderInset;
    drawButtonFace(hx, hy, hw, pressed_look);
    draw_name(kHeaderInset + 10, kRolloutHeaderTop + kButtonBaseline);
    // '-' while open, '+' while closed, near the right end of the header.
    int cx = hx + hw - 14, cy = hy + kButtonHeight / 2;
    setGrey(enabled ? 0 : kShadow);
    fillRect(cx - 4, cy - 1, cx + 5, cy + 1);
    if (!is_open) fillRect(cx - 1, cy - 4, cx + 1, cy + 5);
    if (is_active()) drawButtonFocus(hx, hy, hw);
}

bool GLUI_Rollout::hit(int x, int y) const {
    return x >= x_abs && x < x_abs + w && y >= y_abs && y < y_abs + kRolloutHeader;
}

void GLUI_Rollout::press_by_key() {
    if (is_open)
        close();
    else
        open();
}

void GLUI_Rollout::open() {
    is_open = true;
    glui->refresh();
}

void GLUI_Rollout::close() {
    is_open = false;
    // A field inside keeps nothing half-typed once it can no longer be seen.
    dropHiddenFocus(glui);
    glui->refresh();
}

// ---- column -------------------------------------------------------------------

void GLUI_Column::draw() {
    if (!draw_bar) return;
    setGrey(kShadow);
    fillRect(x_abs, y_abs, x_abs + 1, y_abs + h);
    setGrey(255);
    fillRect(x_abs + 1, y_abs, x_abs + 2, y_abs + h);
}
