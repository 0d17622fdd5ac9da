#include "scrolling.h"

#include <GL/glut.h>

#include <algorithm>

#include "glui.h"
#include "look.h"

static constexpr int kSmallestThumb = 16;

static bool scrolls(const GLUI* glui) { return glui->needed_h < glui->full_h; }

void clampScroll(GLUI* glui) {
    glui->scroll_y = std::clamp(glui->scroll_y, 0, std::max(glui->full_h - glui->needed_h, 0));
}

static void scrollTo(GLUI* glui, int y) {
    const int before = glui->scroll_y;
    glui->scroll_y = y;
    clampScroll(glui);
    if (glui->scroll_y != before) glui->post_redisplay();
}


void revealControl(GLUI* glui, const GLUI_Control* c) {
    if (!scrolls(glui)) return;
    if (c->y_abs + c->h > glui->scroll_y + glui->needed_h) scrollTo(glui, c->y_abs + c->h - glui->needed_h);
    if (c->y_abs < glui->scroll_y) scrollTo(glui, c->y_abs);
}

namespace {
// The thumb's rows in window pixels: its share of the bar is the window's
// share of the content.
struct Thumb {
    int top, height;
};
}  // namespace

static Thumb thumbOf(const GLUI* glui) {
    const int bar = glui->needed_h;
    const int height = std::max(kSmallestThumb, static_cast<int>(static_cast<long>(bar) * bar / glui->full_h));
    const int travel = glui->full_h - bar;
    const int top = static_cast<int>(static_cast<long>(bar - height) * glui->scroll_y / travel);
    return {top, height};
}

// A shadow line parts the bar from the controls; the thumb stands out of a
// lighter trough.
void drawScrollBar(const GLUI* glui) {
    if (!scrolls(glui)) return;
    const int x = glui->needed_w - kScrollBarWidth, top = glui->scroll_y, bottom = top + glui->needed_h;
    setGrey(kShadow);
    fillRect(x, top, x + 1, bottom);
    setGrey(kBoxInnerLight);
    fillRect(x + 1, top, glui->needed_w, bottom);
    const Thumb thumb = thumbOf(glui);
    drawRaisedBox(x + 1, top + thumb.top, kScrollBarWidth - 1, thumb.height);
}

// Dragging keeps the point of the thumb that was grabbed under the pointer;
// a press beside the thumb centres it there first.
static bool draggingThumb = false;
static int grabbedAt = 0;

static void dragThumbTo(GLUI* glui, int y) {
    if (!scrolls(glui)) return;   // the content shrank to fit meanwhile
    const Thumb thumb = thumbOf(glui);
    const int room = glui->needed_h - thumb.height;
    if (room <= 0) return;
    const long travel = glui->full_h - glui->needed_h;
    scrollTo(glui, static_cast<int>((y - grabbedAt) * travel / room));
}

bool scrollMouse(GLUI* glui, int button, int state, int x, int y) {
    if (button == 3 || button == 4) {
        if (state == GLUT_DOWN) scrollTo(glui, glui->scroll_y + (button == 3 ? -kWheelStep : kWheelStep));
        return true;
    }
    if (button != GLUT_LEFT_BUTTON) return false;
    if (state == GLUT_UP && draggingThumb) {
        draggingThumb = false;
        return true;
    }
    if (state != GLUT_DOWN || !scrolls(glui) || x < glui->needed_w - kScrollBarWidth) return false;
    const Thumb thumb = thumbOf(glui);
    const bool onThumb = y >= thumb.top && y < thumb.top + thumb.height;
    grabbedAt = onThumb ? y - thumb.top : thumb.height / 2;
    draggingThumb = true;
    dragThumbTo(glui, y);
    return true;
}

bool scrollMotion(GLUI* glui, int, int y) {
    if (!draggingThumb) return false;
    dragThumbTo(glui, y);
    return true;
}
