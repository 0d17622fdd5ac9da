// Stand-ins for the few GL and GLUT calls of the label renderer, so that its
// walking, lookup and glyph copying run without a display.
#pragma once

struct GlCalls {
    int characters = 0;        // single-byte characters drawn
    int bitmaps = 0;           // glyphs drawn
    int bitmapWidth = -1;      // size of the last glyph drawn
    int bitmapHeight = -1;
};
extern GlCalls glCalls;

// The width the stand-in font gives a single-byte character: 8 pixels for
// codes 0 to 127, 0 for the negative codes of bytes from 0x80 up.
int stubCharWidth(int code);
