#include "screen_copy.h"

#include <GL/glut.h>
#include <GL/glx.h>

#include <algorithm>
#include <cstring>

typedef void (*CopySubBuffer)(Display*, GLXDrawable, int x, int y, int w, int h);

static CopySubBuffer lookUpCopySubBuffer() {
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr) return nullptr;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (extensions == nullptr || std::strstr(extensions, "GLX_MESA_copy_sub_buffer") == nullptr) return nullptr;
    return reinterpret_cast<CopySubBuffer>(
        glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
}

static CopySubBuffer copySubBuffer() {
    static const CopySubBuffer function = lookUpCopySubBuffer();
    return function;
}

bool canCopyToScreen() { return copySubBuffer() != nullptr; }

// The software renderer copies what it is asked without clipping, and the
// X server refuses a rectangle that reaches outside the window.
void copyToScreen(int x, int y, int w, int h) {
    const int windowWidth = glutGet(GLUT_WINDOW_WIDTH), windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, windowWidth), y1 = std::min(y + h, windowHeight);
    if (x1 <= x0 || y1 <= y0) return;
    copySubBuffer()(glXGetCurrentDisplay(), glXGetCurrentDrawable(), x0, windowHeight - y1, x1 - x0, y1 - y0);
}
