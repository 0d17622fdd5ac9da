#include "window_title.h"

#include <GL/glut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <iconv.h>

#include <cstring>
#include <string>

// Characters that do not convert are skipped rather than ending the title.
static std::string cp932ToUtf8(const char* text) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out;
    char* in = const_cast<char*>(text);
    size_t inLeft = std::strlen(text);
    while (inLeft > 0) {
        char buffer[256];
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (done == static_cast<size_t>(-1) && errno != E2BIG) {
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

static void setUtf8Property(Display* display, Window window, const char* property,
                            const std::string& value) {
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, property, False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(value.data()),
                    static_cast<int>(value.size()));
}

void setWindowTitle(const char* sjisTitle) {
    glutSetWindowTitle(sjisTitle);
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0) return;
    std::string utf8 = cp932ToUtf8(sjisTitle);
    setUtf8Property(display, window, "_NET_WM_NAME", utf8);
    setUtf8Property(display, window, "_NET_WM_ICON_NAME", utf8);
    XClassHint hint;
    hint.res_name = program_invocation_short_name;
    hint.res_class = program_invocation_short_name;
    XSetClassHint(display, window, &hint);
    XFlush(display);
}
