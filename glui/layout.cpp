#include "layout.h"

#include <algorithm>

#include "glui.h"
#include "look.h"

namespace {

// Controls between two column breaks of one container.
struct ColumnRun {
    GLUI_Column* bar = nullptr;   // the break that starts the run; none for the first
    std::vector<GLUI_Control*> members;
    int width = 0;                // widest member
    int height = 0;               // stacked members with their spacing
};

bool isFramedPanel(const GLUI_Control* c) {
    auto* p = dynamic_cast<const GLUI_Panel*>(c);
    return p != nullptr && p->type != GLUI_PANEL_NONE && dynamic_cast<const GLUI_Rollout*>(c) == nullptr;
}

// A framed panel keeps extra air around it so its frame does not touch its neighbours.
int gapAround(const GLUI_Control* c) { return isFramedPanel(c) ? kPanelGap : 0; }

bool isCentred(const GLUI_Control* c) { return dynamic_cast<const GLUI_Button*>(c) != nullptr; }

std::vector<ColumnRun> splitColumns(const GLUI_Panel& panel) {
    std::vector<ColumnRun> runs(1);
    for (GLUI_Control* child : panel.children) {
        if (auto* bar = dynamic_cast<GLUI_Column*>(child)) {
            runs.emplace_back();
            runs.back().bar = bar;
            continue;
        }
        ColumnRun& run = runs.back();
        if (!run.members.empty()) run.height += kSpacing;
        run.height += child->h + 2 * gapAround(child);
        run.width = std::max(run.width, child->w);
        run.members.push_back(child);
    }
    return runs;
}

// From the left edge of the first column to the right edge of the last.
int spanWidth(const std::vector<ColumnRun>& runs) {
    int width = 0;
    for (const ColumnRun& run : runs) width += run.width;
    return width + 2 * kColumnGap * static_cast<int>(runs.size() - 1);
}

int tallestRun(const std::vector<ColumnRun>& runs) {
    int height = 0;
    for (const ColumnRun& run : runs) height = std::max(height, run.height);
    return height;
}

void place(GLUI_Control* c, int x, int y, int width);

// Lays the runs side by side; the last one takes whatever width is spare.
void placeChildren(GLUI_Panel* panel) {
    std::vector<ColumnRun> runs = splitColumns(*panel);
    runs.back().width += std::max(0, panel->w - 2 * kMargin - spanWidth(runs));
    int top = panel->y_abs + panel->top_margin();
    int contentHeight = tallestRun(runs);
    int left = panel->x_abs + kMargin;
    for (ColumnRun& run : runs) {
        if (run.bar != nullptr) {
            run.bar->x_abs = left - kColumnGap;
            run.bar->y_abs = top;
            run.bar->w = 2;
            run.bar->h = contentHeight;
        }
        int y = top;
        for (GLUI_Control* child : run.members) {
            if (y != top) y += kSpacing;
            y += gapAround(child);
            int width = child->as_panel() != nullptr ? run.width : child->w;
            int x = isCentred(child) ? left + (run.width - width) / 2 : left;
            place(child, x, y, width);
            y += child->h + gapAround(child);
        }
        left += run.width + 2 * kColumnGap;
    }
}

void place(GLUI_Control* c, int x, int y, int width) {
    c->x_abs = x;
    c->y_abs = y;
    c->w = width;
    GLUI_Panel* panel = c->as_panel();
    if (panel != nullptr && panel->shows_children()) placeChildren(panel);
}

}  // namespace

void GLUI_Panel::update_size() {
    for (GLUI_Control* child : children) child->update_size();
    std::vector<ColumnRun> runs = splitColumns(*this);
    int titleWidth = name.empty() ? 0 : string_width(name.c_str()) + 20;
    w = std::max({requested_w, titleWidth, spanWidth(runs) + 2 * kMargin});
    h = top_margin() + tallestRun(runs) + kMargin;
}

int GLUI_Panel::top_margin() const {
    if (type == GLUI_PANEL_EMBOSSED && !name.empty()) return kPanelTitleMargin;
    return kMargin;
}

void GLUI_Rollout::update_size() {
    int headerWidth = std::max(100, string_width(name.c_str()) + 44);
    if (is_open) {
        GLUI_Panel::update_size();
        w = std::max(w, headerWidth);
    } else {
        w = std::max(requested_w, headerWidth);
        h = kRolloutHeader;
    }
}

int GLUI_Rollout::top_margin() const { return kRolloutTopMargin; }

void packWindow(GLUI* glui) {
    GLUI_Panel& root = glui->main_panel;
    root.update_size();
    place(&root, 0, 0, root.w);
    glui->content_w = root.w;
    glui->content_h = root.h;
}
