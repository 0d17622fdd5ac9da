#include "ui/main_window_drawing.h"

#include <GL/glut.h>

#include <cmath>

#include "sim/world_state.h"
#include "ui/graph_view.h"
#include "ui/window_seam.h"

void drawDisc(double cx, double cy, double r) {
    glBegin(GL_POLYGON);
    for (int k = 0; k < 40; ++k) {
        const double theta = k * 3.14159265358979 / 20;
        glVertex2d(cx + r * std::cos(theta), cy + r * std::sin(theta));
    }
    glEnd();
}

void displayMainWindow() {
    const WorldState& w = world;
    glClear(GL_COLOR_BUFFER_BIT);
    if (w.showGraph == 0 || w.graphShowParticles == 1) {
        for (int i = 0; i < w.particleCount; ++i) {
            const Particle& p = w.particles[i];
            glColor3d(p.red, p.green, p.blue);
            drawDisc(p.x, p.y, p.radius);
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
