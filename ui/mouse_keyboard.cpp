#include "ui/mouse_keyboard.h"

#include <GL/glut.h>

#include <cstdlib>

#include "sim/world_state.h"
#include "ui/graph_view.h"
#include "ui/particle_editing.h"
#include "ui/run_state.h"
#include "ui/window_seam.h"

int particleAt(double x, double y) {
    const WorldState& w = world;
    for (int i = 0; i < w.particleCount; ++i) {
        const Particle& p = w.particles[i];
        const double dx = x - p.x, dy = y - p.y;
        if (dx * dx + dy * dy < p.radius * p.radius) return i;
    }
    return -1;
}

static bool dragging() { return world.dragMode != static_cast<int>(DragMode::NoDrag); }

static void beginDrag(DragMode mode, int particle) {
    world.dragParticle = particle;
    world.dragMode = static_cast<int>(mode);
    stopSimulation();
}

static void endDrag(DragMode mode) {
    if (world.dragMode != static_cast<int>(mode)) return;
    world.dragMode = static_cast<int>(DragMode::NoDrag);
    resumeSimulation();
}

// With a "クリックで粒子を選択" box checked a click chooses the particle for
// the panels instead of moving it.
static void selectParticle(int i) {
    WorldState& w = world;
    if (w.infoPickByClick == 1) {
        w.infoParticleIndex = i;
        copyToFloats(w.particles[i], w.infoValues);
    }
    if (w.editPickByClick == 1) w.editParticleIndex = i;
    syncControls();
}

static void leftPress(int x, int y) {
    WorldState& w = world;
    if (w.showGraph != 0) {
        graphClick(x, y);
        return;
    }
    if (dragging()) return;
    const int hit = particleAt(x, y);
    if (hit < 0) return;
    if (w.infoPickByClick + w.editPickByClick > 0)
        selectParticle(hit);
    else
        beginDrag(DragMode::MoveDrag, hit);
}

static void rightPress(int x, int y) {
    WorldState& w = world;
    if (w.showGraph != 0 || dragging()) return;
    const int hit = particleAt(x, y);
    if (hit < 0) return;
    w.dragStartX = x;
    w.dragStartY = y;
    beginDrag(DragMode::VelocityDrag, hit);
}

void mouseMainWindow(int button, int state, int x, int y) {
    if (button == GLUT_LEFT_BUTTON) {
        if (state == GLUT_DOWN)
            leftPress(x, y);
        else
            endDrag(DragMode::MoveDrag);
    } else if (button == GLUT_RIGHT_BUTTON) {
        if (state == GLUT_DOWN)
            rightPress(x, y);
        else
            endDrag(DragMode::VelocityDrag);
    }
}

void motionMainWindow(int x, int y) {
    WorldState& w = world;
    if (!dragging() || w.dragParticle < 0 || w.dragParticle >= w.particleCount) return;
    Particle& p = w.particles[w.dragParticle];
    if (w.dragMode == static_cast<int>(DragMode::MoveDrag)) {
        p.x = x;
        p.y = y;
        postMainRedisplay();
    } else if (w.dragMode == static_cast<int>(DragMode::VelocityDrag)) {
        p.vx = (x - w.dragStartX) * w.rightDragSpeed;
        p.vy = (y - w.dragStartY) * w.rightDragSpeed;
    }
}

void keyboardMainWindow(unsigned char key, int, int) {
    switch (key) {
    case 27:
    case 'Q':
    case 'q': std::exit(0);
    case 'P':
    case 'p': togglePause(0); break;
    default: break;
    }
}
