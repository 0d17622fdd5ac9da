// A small double-buffered GLUT window for tests that draw and read pixels.
// Pixels are read from the back buffer before any swap, so nothing depends on
// the window being mapped or unobscured.
#pragma once

#include <GL/freeglut.h>

#include <array>

inline void openTestWindow(int width, int height)
{
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    if (glutGet(GLUT_INIT_STATE) == 0)
        glutInit(&argc, argv);
    glutInitWindowSize(width, height);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutCreateWindow("tests");
    glutDisplayFunc([] {});
    glutMainLoopEvent();
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
}

inline void clearToWhite()
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

// True where the pixel at GL window coordinates (x, y), y counted upwards,
// is darker than mid-grey.
inline bool pixelIsDark(int x, int y)
{
    std::array<unsigned char, 4> rgba{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba[0] < 128 && rgba[1] < 128 && rgba[2] < 128;
}
