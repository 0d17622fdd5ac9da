#include "focus.h"

#include "glui.h"
#include "scrolling.h"

GLUI_Control* activeControl = nullptr;
bool mouseHeld = false;

void deactivateActive() {
    GLUI_Control* old = activeControl;
    if (old == nullptr) return;
    activeControl = nullptr;
    old->deactivate();
    old->redraw();
}

void activateControl(GLUI_Control* c, bool byKeyboard) {
    if (c == activeControl) return;
    deactivateActive();
    if (c == nullptr) return;
    activeControl = c;
    c->activate(byKeyboard);
    c->redraw();
}

bool isShown(const GLUI_Control* c) {
    for (const GLUI_Panel* p = c->parent; p != nullptr; p = p->parent)
        if (!p->shows_children()) return false;
    return true;
}

// Pre-order over the tree in creation order, a panel before its children.
static void collectFocusable(GLUI_Panel* panel, std::vector<GLUI_Control*>& out) {
    if (!panel->shows_children()) return;
    for (GLUI_Control* child : panel->children) {
        if (child->enabled && child->can_focus()) out.push_back(child);
        if (GLUI_Panel* p = child->as_panel()) collectFocusable(p, out);
    }
}

void moveFocus(GLUI* glui, int step) {
    std::vector<GLUI_Control*> order;
    collectFocusable(&glui->main_panel, order);
    if (order.empty()) {
        deactivateActive();
        return;
    }
    int count = static_cast<int>(order.size());
    int at = -1;
    for (int i = 0; i < count; ++i)
        if (order[i] == activeControl) at = i;
    int next;
    if (at < 0)
        next = step > 0 ? 0 : count - 1;
    else
        next = (at + step + count) % count;
    // Even when the focus comes back to the same field, Tab commits it.
    deactivateActive();
    activateControl(order[next], true);
    revealControl(glui, order[next]);
}

void dropHiddenFocus(GLUI* glui) {
    if (activeControl == nullptr || activeControl->glui != glui) return;
    if (!isShown(activeControl) || !activeControl->enabled) deactivateActive();
}
