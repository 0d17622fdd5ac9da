#include "ui/main_window_drawing.h"

#include <GL/glut.h>

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

void displayMainWindow() {
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

void reshapeMainWindow(int width, int height) {
    reshapedOnce = true;
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
