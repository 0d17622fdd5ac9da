#include "events.h"

#include "dropdown.h"
#include "focus.h"
#include "glui.h"
#include "look.h"
#include "screen_copy.h"
#include "scrolling.h"
#include "window_close.h"
#include "window_switch.h"

static GLUI* currentGlui() { return GLUI_Master.find_glui(glutGetWindow()); }

// ---- drawing and size -----------------------------------------------------------

static void drawTree(GLUI_Control* c) {
    c->draw();
    GLUI_Panel* panel = c->as_panel();
    if (panel == nullptr || !panel->shows_children()) return;
    for (GLUI_Control* child : panel->children) drawTree(child);
}

static void display() {
    GLUI* glui = currentGlui();
    if (glui == nullptr) return;
    glui->redisplay_pending = false;
    int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, static_cast<GLfloat>(-glui->scroll_y), 0);
    glClearColor(kBackground / 255.0f, kBackground / 255.0f, kBackground / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawTree(&glui->main_panel);
    drawDropdown(glui);
    drawScrollBar(glui);
    // The renderer takes up a new window size only at a swap, so the first
    // repaint at a new size swaps and asks for another, which is copied.
    const bool resized = w != glui->shown_w || h != glui->shown_h;
    glui->shown_w = w;
    glui->shown_h = h;
    if (canCopyToScreen() && !resized) {
        copyToScreen(0, 0, w, h);
        return;
    }
    glutSwapBuffers();
    if (canCopyToScreen()) glui->post_redisplay();
}

// The back buffer still holds the last repaint, and its projection, scroll
// and viewport are still set.
bool drawAlone(GLUI* glui, const std::vector<GLUI_Control*>& controls) {
    if (!canCopyToScreen()) return false;
    WindowSwitch own(glui->window_id);
    for (GLUI_Control* c : controls) {
        setGrey(kBackground);
        fillRect(c->x_abs, c->y_abs, c->x_abs + c->w, c->y_abs + c->h);
        drawTree(c);
        copyToScreen(c->x_abs, c->y_abs - glui->scroll_y, c->w, c->h);
    }
    return true;
}

// The window always has the size of its content: a resize by the user snaps
// back. A window manager that insists on another size is asked only once, so
// the two never trade resize requests without end.
static void reshape(int w, int h) {
    GLUI* glui = currentGlui();
    if (glui == nullptr) return;
    bool wrong = w != glui->needed_w || h != glui->needed_h;
    if (wrong && !glui->resize_refused) glutReshapeWindow(glui->needed_w, glui->needed_h);
    glui->resize_refused = wrong;
    glui->post_redisplay();
}

// ---- mouse ----------------------------------------------------------------------

static GLUI_Control* controlAt(GLUI_Panel* panel, int x, int y) {
    if (panel->shows_children()) {
        for (GLUI_Control* child : panel->children) {
            GLUI_Panel* inner = child->as_panel();
            GLUI_Control* found = inner != nullptr ? controlAt(inner, x, y)
                                                   : child->hit(x, y) ? child : nullptr;
            if (found != nullptr) return found;
        }
    }
    return panel->hit(x, y) ? panel : nullptr;
}

static void pressAt(GLUI* glui, int x, int y) {
    GLUI_Control* target = controlAt(&glui->main_panel, x, y);
    if (target == nullptr || !target->enabled || !target->can_focus()) {
        deactivateActive();
        return;
    }
    activateControl(target, false);
    mouseHeld = true;
    target->mouse_down(x, y);
}

static void releaseAt(GLUI* glui, int x, int y) {
    mouseHeld = false;
    GLUI_Control* c = activeControl;
    if (c != nullptr && c->glui == glui) c->mouse_up(x, y, c->hit(x, y));
}

// Controls and the drop-down list live in content coordinates: the pointer's
// window row plus the rows scrolled out of view above.
static void mouse(int button, int state, int x, int y) {
    GLUI* glui = currentGlui();
    if (glui == nullptr || scrollMouse(glui, button, state, x, y) || button != GLUT_LEFT_BUTTON) return;
    y += glui->scroll_y;
    if (glui->open_list != nullptr) {
        if (state == GLUT_UP) mouseHeld = false;
        if (dropdownMouse(glui, state, x, y)) return;
    }
    if (state == GLUT_DOWN) {
        pressAt(glui, x, y);
    } else {
        releaseAt(glui, x, y);
    }
}

static void motion(int x, int y) {
    GLUI* glui = currentGlui();
    if (glui == nullptr || scrollMotion(glui, x, y)) return;
    y += glui->scroll_y;
    if (glui->open_list != nullptr) {
        dropdownMotion(glui, x, y);
        return;
    }
    GLUI_Control* c = activeControl;
    if (mouseHeld && c != nullptr && c->glui == glui) c->mouse_held(x, y, c->hit(x, y));
}

// Over a field that takes typing the pointer turns into the text cursor.
static void passiveMotion(int x, int y) {
    GLUI* glui = currentGlui();
    if (glui == nullptr) return;
    y += glui->scroll_y;
    if (glui->open_list != nullptr) {
        dropdownMotion(glui, x, y);
        return;
    }
    GLUI_Control* over = controlAt(&glui->main_panel, x, y);
    bool typing = over != nullptr && over->enabled && dynamic_cast<GLUI_EditText*>(over) != nullptr;
    int cursor = typing ? GLUT_CURSOR_TEXT : GLUT_CURSOR_INHERIT;
    if (glutGet(GLUT_WINDOW_CURSOR) != cursor) glutSetCursor(cursor);
}

// ---- keys -------------------------------------------------------------------------

static void keyboard(unsigned char key, int, int) {
    GLUI* glui = currentGlui();
    if (glui == nullptr) return;
    int modifiers = glutGetModifiers();
    if (glui->open_list != nullptr) {
        // Tab leaves the list unchanged and moves on; other keys work the list.
        if (key != '\t') {
            dropdownKey(glui, key);
            return;
        }
        closeDropdown(glui);
    }
    if (key == '\t') {
        if (!mouseHeld) moveFocus(glui, (modifiers & GLUT_ACTIVE_SHIFT) ? -1 : 1);
    } else if (activeControl != nullptr && activeControl->glui == glui) {
        activeControl->key_handler(key, modifiers);
    }
}

static void special(int key, int, int) {
    GLUI* glui = currentGlui();
    if (glui == nullptr) return;
    if (glui->open_list != nullptr)
        dropdownSpecial(glui, key);
    else if (activeControl != nullptr && activeControl->glui == glui)
        activeControl->special_handler(key, glutGetModifiers());
}

void installWindowHandlers() {
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(passiveMotion);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(special);
    endWhenDestroyed();
}
