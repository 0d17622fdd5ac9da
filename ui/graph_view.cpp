#include "ui/graph_view.h"

#include <GL/glut.h>

#include <cfloat>
#include <cmath>

#include "sim/potentials.h"
#include "sim/world_state.h"
#include "ui/run_state.h"
#include "ui/window_seam.h"

namespace {

constexpr int valueQuery = static_cast<int>(PotentialQuery::Value);

using SlotTable = PotentialSlot[PotentialSlotCount];

// graphSlotChanged keeps the index within the table; should anything else
// leave it outside, slot 0 is drawn, as the correction would choose.
const PotentialSlot& selectedSlot(const SlotTable& slots) {
    const int i = world.graphSlotIndex;
    return slots[i >= 0 && i < PotentialSlotCount ? i : 0];
}

bool isDissipationKind(const PotentialSlot& s) {
    return s.kind >= static_cast<int>(PotentialKind::EnergyDissipation);
}

// The catalogue gives 0 for a shape number outside it.
double externalShapeValue(const PotentialSlot& s, double x, double y) {
    return externalPotential(x, y, s.a, s.b, valueQuery, s.shape);
}

double pairShapeValue(const PotentialSlot& s, double d) {
    return pairPotential(d, 0, s.a, s.b, s.c, std::sqrt(d * d), valueQuery, s.shape);
}

// The slot's potential for the assumed charge or mass (products, for pairs);
// 0 for the kinds that are not potentials or where the sum leaves them out.
double potentialTerm(const PotentialSlot& s, double U, bool withCharge, bool withMass) {
    switch (static_cast<PotentialKind>(s.kind)) {
    case PotentialKind::ChargeProportional:
        return withCharge ? U * (world.graphChargeProduct * s.strength) : 0;
    case PotentialKind::MassProportional:
        return withMass ? U * (world.graphMassProduct * s.strength) : 0;
    default:
        return 0;
    }
}

double singleExternal(double x, double y) {
    const PotentialSlot& s = selectedSlot(world.externalSlots);
    const double U = externalShapeValue(s, x, y);
    if (static_cast<PotentialKind>(s.kind) == PotentialKind::EnergyDissipation) return s.strength * U;
    return potentialTerm(s, U, true, true);
}

// The two soft walls of one axis of length L, the near one first.
void addSoftWalls(double& sum, double x, double y, ExternalShape shape, double L) {
    const double w = world.graphMassProduct * 0.5 * world.wallStrength;
    const double soft = world.wallSoftness, P = world.wallPosition;
    sum += w * (1 - externalPotential(x, y, P, soft, valueQuery, static_cast<int>(shape)));
    sum += (externalPotential(x, y, L - P, soft, valueQuery, static_cast<int>(shape)) + 1) * w;
}

bool isWallPrecise(int boundary) {
    return static_cast<BoundaryMode>(boundary) == BoundaryMode::WallPrecise;
}

// Gravity, the electric field and the Coulomb force act only while the
// switch is exactly 1 (a file may hold another number); the graph shows
// what acts.
bool fieldsAct() {
    return world.forcesEnabled == 1;
}

double externalSum(double x, double y) {
    const bool charge = world.graphSumChargeProportional != 0;
    const bool mass = world.graphSumMassProportional != 0;
    double sum = 0;
    if (world.graphSumWall != 0) {
        if (isWallPrecise(world.boundaryX)) addSoftWalls(sum, x, y, ExternalShape::TanhX, world.windowWidth);
        if (isWallPrecise(world.boundaryY)) addSoftWalls(sum, x, y, ExternalShape::TanhY, world.windowHeight);
    }
    if (fieldsAct()) {
        const int uniform = static_cast<int>(ExternalShape::UniformField);
        if (charge)
            sum += externalPotential(x, y, world.electricX, world.electricY, valueQuery, uniform) * world.graphChargeProduct;
        if (mass)
            sum += externalPotential(x, y, world.gravityX, world.gravityY, valueQuery, uniform) * world.graphMassProduct;
    }
    for (const PotentialSlot& s : world.externalSlots) sum += potentialTerm(s, externalShapeValue(s, x, y), charge, mass);
    return sum;
}

double particleDissipationSum(double x, double y) {
    if (world.graphSumEnergyDissipation == 0) return 0;
    double sum = world.dragCoefficient;
    for (const PotentialSlot& s : world.externalSlots)
        if (static_cast<PotentialKind>(s.kind) == PotentialKind::EnergyDissipation)
            sum += s.strength * externalShapeValue(s, x, y);
    return sum;
}

double singlePair(double d) {
    const PotentialSlot& s = selectedSlot(world.pairSlots);
    const double U = pairShapeValue(s, d);
    switch (static_cast<PotentialKind>(s.kind)) {
    case PotentialKind::EnergyDissipation:
    case PotentialKind::RelativeVelocityDissipation:
    case PotentialKind::AngularMomentumDissipation:
        return s.strength * U;
    default:
        return potentialTerm(s, U, true, true);
    }
}

double pairSum(double d) {
    const bool charge = world.graphSumChargeProportional != 0;
    const bool mass = world.graphSumMassProportional != 0;
    double sum = 0;
    if (fieldsAct() && charge) {
        const double U = pairPotential(d, 0, world.coulombSoftening, 0, 0, std::sqrt(d * d), valueQuery,
                                       static_cast<int>(PairShape::ChargedSphere));
        sum += U * (static_cast<double>(world.coulombStrength) * world.graphChargeProduct);
    }
    for (const PotentialSlot& s : world.pairSlots) sum += potentialTerm(s, pairShapeValue(s, d), charge, mass);
    return sum;
}

// Whether the pair dissipation sum takes slots of this kind.
bool summedDissipation(int kind) {
    switch (static_cast<PotentialKind>(kind)) {
    case PotentialKind::EnergyDissipation: return world.graphSumEnergyDissipation != 0;
    case PotentialKind::RelativeVelocityDissipation: return world.graphSumRelativeVelocityDissipation != 0;
    case PotentialKind::AngularMomentumDissipation: return world.graphSumAngularMomentumDissipation != 0;
    default: return false;
    }
}

double pairDissipationSum(double d) {
    double sum = world.graphSumEnergyDissipation != 0 ? world.dragCoefficient : 0;
    for (const PotentialSlot& s : world.pairSlots)
        if (summedDissipation(s.kind)) sum += s.strength * pairShapeValue(s, d);
    return sum;
}

GraphContent content() {
    return static_cast<GraphContent>(world.graphContent);
}

bool isPairContent() {
    return world.graphContent >= static_cast<int>(GraphContent::SinglePair) &&
           world.graphContent <= static_cast<int>(GraphContent::PairDissipationSum);
}

bool plotsRight() {
    return static_cast<GraphAxis>(world.graphAxis) == GraphAxis::PlotRight;
}

// The quantity at pixel column (or row) k of the curve.
double sampleAt(int k) {
    if (isPairContent()) return pairGraphValue(k - (plotsRight() ? world.graphOriginY : world.graphOriginX));
    return plotsRight() ? externalGraphValue(world.probeX, k) : externalGraphValue(k, world.probeY);
}

// OpenGL keeps vertex positions as floats: a double beyond their range would
// arrive as an infinity just like a division by a zero range.
bool drawable(const GraphVertex& v) {
    return std::fabs(v.x) <= FLT_MAX && std::fabs(v.y) <= FLT_MAX;
}

void drawStrip(const GraphVertex* v, int count) {
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k < count; ++k) glVertex2d(v[k].x, v[k].y);
    glEnd();
}

void drawLine(const GraphLine& line) {
    if (!drawable(line.from) || !drawable(line.to)) return;
    glBegin(GL_LINE_STRIP);
    glVertex2d(line.from.x, line.from.y);
    glVertex2d(line.to.x, line.to.y);
    glEnd();
}

}  // namespace

double externalGraphValue(double x, double y) {
    switch (content()) {
    case GraphContent::SingleExternal: return singleExternal(x, y);
    case GraphContent::ExternalSum: return externalSum(x, y);
    case GraphContent::ParticleDissipationSum: return particleDissipationSum(x, y);
    default: return 0;
    }
}

double pairGraphValue(double d) {
    switch (content()) {
    case GraphContent::SinglePair: return singlePair(d);
    case GraphContent::PairSum: return pairSum(d);
    case GraphContent::PairDissipationSum: return pairDissipationSum(d);
    default: return 0;
    }
}

double graphRange() {
    switch (content()) {
    case GraphContent::SingleExternal:
        return isDissipationKind(selectedSlot(world.externalSlots)) ? world.dissipationRange : world.potentialRange;
    case GraphContent::SinglePair:
        return isDissipationKind(selectedSlot(world.pairSlots)) ? world.dissipationRange : world.potentialRange;
    case GraphContent::ParticleDissipationSum:
    case GraphContent::PairDissipationSum:
        return world.dissipationRange;
    default:
        return world.potentialRange;
    }
}

GraphLines graphLines() {
    const double W = world.windowWidth, H = world.windowHeight;
    const GraphLine vertical{{world.graphOriginX, 0}, {world.graphOriginX, H}};
    const GraphLine horizontal{{0, world.graphOriginY}, {W, world.graphOriginY}};
    if (isPairContent()) return {2, {vertical, horizontal}, false, {}};
    if (plotsRight()) return {1, {vertical}, true, {{world.probeX, 0}, {world.probeX, H}}};
    return {1, {horizontal}, true, {{0, world.probeY}, {W, world.probeY}}};
}

void graphCurve(std::vector<GraphVertex>& curve) {
    const double W = world.windowWidth, H = world.windowHeight, R = graphRange();
    const bool right = plotsRight();
    const int samples = right ? world.windowHeight : world.windowWidth;
    curve.clear();
    for (int k = 0; k < samples; ++k) {
        const double U = sampleAt(k);
        curve.push_back(right ? GraphVertex{world.graphOriginX + U * W / R, static_cast<double>(k)}
                              : GraphVertex{static_cast<double>(k), world.graphOriginY - U * H / R});
    }
}

std::vector<GraphStretch> finiteStretches(const std::vector<GraphVertex>& curve) {
    std::vector<GraphStretch> stretches;
    const int n = static_cast<int>(curve.size());
    int first = -1;
    for (int k = 0; k <= n; ++k) {
        const bool ok = k < n && drawable(curve[k]);
        if (ok && first < 0) first = k;
        if (!ok && first >= 0) {
            stretches.push_back({first, k - first});
            first = -1;
        }
    }
    return stretches;
}

void drawGraph() {
    const GraphLines lines = graphLines();
    glColor3d(0, 0, 0);
    for (int k = 0; k < lines.axisCount; ++k) drawLine(lines.axes[k]);
    if (lines.hasProbe) {
        glColor3d(1, 0, 0);
        drawLine(lines.probe);
    }
    glColor3d(0, 0, 1);
    static std::vector<GraphVertex> curve;  // kept between frames: no allocation per redraw
    graphCurve(curve);
    for (const GraphStretch& s : finiteStretches(curve)) drawStrip(&curve[s.first], s.count);
}

void showGraphChanged(int) {
    if (world.showGraph != 0)
        stopSimulation();
    else
        resumeSimulation();
}

void graphSlotChanged(int) {
    if (world.graphSlotIndex >= PotentialSlotCount || world.graphSlotIndex < 0) world.graphSlotIndex = 0;
    syncControls();
    postMainRedisplay();
}

void graphClick(int x, int y) {
    if (world.graphOriginManual != 0) {
        world.graphOriginX = x;
        world.graphOriginY = y;
    }
    if (world.probeAxisManual != 0) {
        world.probeX = x;
        world.probeY = y;
    }
    syncControls();
    postMainRedisplay();
}
