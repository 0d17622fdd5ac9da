#include "look.h"

#include "glui.h"

void setGrey(int level) { glColor3ub(level, level, level); }

void setColour(int r, int g, int b) { glColor3ub(r, g, b); }

void fillRect(int x0, int y0, int x1, int y1) { glRecti(x0, y0, x1, y1); }

void outlineRect(int x, int y, int w, int h, int level) {
    setGrey(level);
    fillRect(x, y, x + w, y + 1);
    fillRect(x, y + h - 1, x + w, y + h);
    fillRect(x, y, x + 1, y + h);
    fillRect(x + w - 1, y, x + w, y + h);
}

// Two bevels, outer then inner, each a top-left and a bottom-right pair.
static void drawBevel(int x, int y, int w, int h, int topLeft, int bottomRight) {
    setGrey(topLeft);
    fillRect(x, y, x + w, y + 1);
    fillRect(x, y, x + 1, y + h);
    setGrey(bottomRight);
    fillRect(x, y + h - 1, x + w, y + h);
    fillRect(x + w - 1, y, x + w, y + h);
}

void drawRaisedBox(int x, int y, int w, int h) {
    setGrey(kBackground);
    fillRect(x, y, x + w, y + h);
    drawBevel(x, y, w, h, 255, 0);
    drawBevel(x + 1, y + 1, w - 2, h - 2, kBackground, kShadow);
}

void drawSunkenBox(int x, int y, int w, int h, bool enabled) {
    setGrey(enabled ? 255 : kBackground);
    fillRect(x, y, x + w, y + h);
    drawBevel(x, y, w, h, kShadow, 255);
    drawBevel(x + 1, y + 1, w - 2, h - 2, enabled ? 0 : kDisabledText, kBoxInnerLight);
}

void drawEtchedFrame(int x, int y, int w, int h) {
    outlineRect(x + 1, y + 1, w - 1, h - 1, 255);
    outlineRect(x, y, w - 1, h - 1, kShadow);
}

void drawFocusFrame(int x, int y, int w, int h) {
    setGrey(0);
    glBegin(GL_POINTS);
    for (int i = 0; i < w; i += 2) {
        glVertex2f(x + i + 0.5f, y + 0.5f);
        glVertex2f(x + i + 0.5f, y + h - 0.5f);
    }
    for (int j = 0; j < h; j += 2) {
        glVertex2f(x + 0.5f, y + j + 0.5f);
        glVertex2f(x + w - 0.5f, y + j + 0.5f);
    }
    glEnd();
}

void drawButtonFace(int x, int y, int w, bool pressed) {
    if (!pressed) {
        drawRaisedBox(x, y, w, kButtonHeight);
        return;
    }
    setGrey(kBackground);
    fillRect(x, y, x + w, y + kButtonHeight);
    outlineRect(x, y, w, kButtonHeight, 0);
    outlineRect(x + 1, y + 1, w - 2, kButtonHeight - 2, 0);
}

void drawButtonFocus(int x, int y, int w) {
    drawFocusFrame(x + kFocusInsetX, y + kFocusInsetY, w - 2 * kFocusInsetX,
                   kButtonHeight - 2 * kFocusInsetY);
}

void drawText(void* font, const char* text, int x, int baseline, bool enabled) {
    if (!enabled) {
        setGrey(255);
        glRasterPos2i(x + 1, baseline + 1);
        _glutBitmapString(font, text);
        setGrey(kDisabledLabel);
    } else {
        setGrey(0);
    }
    glRasterPos2i(x, baseline);
    _glutBitmapString(font, text);
}
