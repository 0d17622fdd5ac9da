#include "fuzz/gl_stubs.h"

#include <GL/glut.h>

GlCalls glCalls;

int stubCharWidth(int code) { return code >= 0 && code < 128 ? 8 : 0; }

int glutBitmapWidth(void*, int character) { return stubCharWidth(character); }

void glutBitmapCharacter(void*, int) { ++glCalls.characters; }

void glGetIntegerv(GLenum, GLint* value) { *value = 0; }

void glPixelStorei(GLenum, GLint) {}

// Reads every byte the real call would read, so that the address sanitizer
// sees a glyph buffer too small for the glyph.
void glBitmap(GLsizei width, GLsizei height, GLfloat, GLfloat, GLfloat, GLfloat, const GLubyte* bitmap) {
    volatile GLubyte sink = 0;
    for (long i = 0; i < static_cast<long>((width + 7) / 8) * height; ++i) sink = sink ^ bitmap[i];
    ++glCalls.bitmaps;
    glCalls.bitmapWidth = width;
    glCalls.bitmapHeight = height;
}
