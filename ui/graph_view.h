// The potential graph view: while "グラフを表示する" is checked the
// simulation stands still and the main window shows one curve over the
// particles, either an external-field quantity along a probe line or a pair
// quantity as a function of the distance from the graph origin.
#pragma once

#include <vector>

// Callbacks of the check box "グラフを表示する" and of the edit field
// "ポテンシャルの番号" (id 0 each, ignored).
void showGraphChanged(int id);
void graphSlotChanged(int id);

// A left press in the main window while the graph is shown, at window pixel
// (x, y): moves the origin and/or the probe point, as their boxes say.
void graphClick(int x, int y);

// Issues the axes, the probe line and the curve into the open frame.
void drawGraph();

// The quantity selected by "表示するもの" at the window point (x, y) for the
// external contents, or for two particles a distance |d| apart for the pair
// contents; 0 for a content of the other family.
double externalGraphValue(double x, double y);
double pairGraphValue(double d);

// What drawGraph draws, in window pixels, computed without a window.
struct GraphVertex {
    double x;
    double y;
};
struct GraphLine {
    GraphVertex from;
    GraphVertex to;
};
struct GraphLines {
    int axisCount;         // black lines: one for external contents, two for pairs
    GraphLine axes[2];
    bool hasProbe;         // red line where the external field is sampled
    GraphLine probe;
};
// A run of consecutive curve vertices that OpenGL can take.
struct GraphStretch {
    int first;
    int count;
};

GraphLines graphLines();

// The quantity that spans the full window height (or width).
double graphRange();

// One vertex per pixel column (or row) of the window, in drawing order;
// a vertex may be infinite or NaN when the range is 0 or the value diverges.
void graphCurve(std::vector<GraphVertex>& curve);

// The runs of the curve whose vertices are all finite, in order. Only these
// are drawn, so a zero range or a pole of the potential never hands
// non-finite coordinates to OpenGL.
std::vector<GraphStretch> finiteStretches(const std::vector<GraphVertex>& curve);
