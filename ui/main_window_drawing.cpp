#include "ui/main_window_drawing.h"

#include <GL/glut.h>

#include <algorithm>
#include <cmath>

#include "sim/world_state.h"
#include "ui/graph_view.h"
#include "ui/window_seam.h"

// The 40 directions of a disc's vertices, k * pi / 20 for k = 0..39.
struct UnitCircle {
    double cosine[40];
    double sine[40];
    UnitCircle() {
        for (int k = 0; k < 40; ++k) {
            const double theta = k * 3.14159265358979 / 20;
            cosine[k] = std::cos(theta);
            sine[k] = std::sin(theta);
        }
    }
};
static const UnitCircle unitCircle;

// The colour is given inside the polygon: set between polygons, each change
// of the current colour ends the renderer's batch, and a frame of 1000 discs
// took about a quarter longer on the software renderer.
void drawDisc(double cx, double cy, double r, double red, double green, double blue) {
    glBegin(GL_POLYGON);
    glColor3d(red, green, blue);
    for (int k = 0; k < 40; ++k) glVertex2d(cx + r * unitCircle.cosine[k], cy + r * unitCircle.sine[k]);
    glEnd();
}

// The window system may make the window larger than GL can draw (a frame of
// 32767 x 32767 overflowed the software renderer's buffers and ended the
// program), also between the size it reported and the next frame.
static bool drawableSize(int width, int height) {
    const int largest = largestWindowSide();
    return width <= largest && height <= largest;
}

// The size is the window's own, asked of the server, not the last one
// reported.
void displayMainWindow() {
    if (!drawableSize(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT))) return;
    const WorldState& w = world;
    glClear(GL_COLOR_BUFFER_BIT);
    if (w.showGraph == 0 || w.graphShowParticles == 1) {
        for (int i = 0; i < w.particleCount; ++i) {
            const Particle& p = w.particles[i];
            drawDisc(p.x, p.y, p.radius, p.red, p.green, p.blue);
        }
    }
    if (w.showGraph != 0) drawGraph();
    glutSwapBuffers();
}

static bool reshapedOnce = false;

bool mainWindowHasItsSize() { return reshapedOnce; }

// A size beyond what GL draws is asked back to the largest it does; the world
// keeps its size until the window has that one.
void reshapeMainWindow(int width, int height) {
    reshapedOnce = true;
    if (!drawableSize(width, height)) {
        const int largest = largestWindowSide();
        resizeMainWindow(std::min(width, largest), std::min(height, largest));
        return;
    }
    WorldState& w = world;
    w.windowHeight = height;
    w.requestedHeight = height;
    w.windowWidth = width;
    w.requestedWidth = width;
    syncControls();
    glViewport(0, 0, width, height);
    glLoadIdentity();
    glOrtho(-0.5, width - 0.5, height - 0.5, -0.5, -1, 1);
}
