#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "sim/world_state.h"
#include "tests/ui_fake_seam.h"
#include "ui/graph_view.h"
#include "ui/run_state.h"

namespace {

constexpr int kind(PotentialKind k) { return static_cast<int>(k); }
constexpr int shape(ExternalShape s) { return static_cast<int>(s); }
constexpr int shape(PairShape s) { return static_cast<int>(s); }
constexpr int content(GraphContent c) { return static_cast<int>(c); }
constexpr int NoSuchKind = 9;
constexpr int NoSuchExternalShape = 5;
constexpr int NoSuchPairShape = 7;

// External terms at the probe point (4, 8) and pair terms at distance 4 that
// are all exact in binary, so each sum is an exact number:
//   electric field  -(4 * 0.5) - 8 * 0.25 = -4, times charge 3     = -12
//   gravity         -8 * 2 = -16, times mass 0.5                    = -8
//   ext slot 0      charge, (4 - 1)^2 = 9, times 3 * 2              = 54
//   ext slot 1      mass, (8 - 5)^2 = 9, times 0.5 * 4              = 18
//   ext slot 2      energy dissipation, 9 * 0.5                     = 4.5
//   Coulomb         1 / 4, times 2 * 3                              = 1.5
//   pair slot 0     charge, (4 / 1)^2 = 16, times 3 * 2             = 96
//   pair slot 1     mass, (4 / 4)^1 = 1, times 0.5 * 4              = 2
//   pair slot 2     energy dissipation, 16 * 0.5                    = 8
//   pair slot 3     relative velocity, (4 / 1)^0 = 1, times 0.125   = 0.125
//   pair slot 4     angular momentum, 4 * 0.0625                    = 0.25
//   drag coefficient                                                = 0.25
// The remaining slots would add thousands if a kind outside the list, a
// shape outside the catalogue or a disabled slot were evaluated.
void richWorld(WorldState& w) {
    w = WorldState{};
    w.windowWidth = 640;
    w.windowHeight = 480;
    w.electricX = 0.5f;
    w.electricY = 0.25f;
    w.gravityY = 2;
    w.coulombStrength = 2;
    w.coulombSoftening = 1;
    w.dragCoefficient = 0.25f;
    w.graphChargeProduct = 3;
    w.graphMassProduct = 0.5f;
    const int quadX = shape(ExternalShape::QuadraticX), power = shape(PairShape::Power);
    PotentialSlot* e = w.externalSlots;
    e[0] = {kind(PotentialKind::ChargeProportional), quadX, 2, 1, 0, 0};
    e[1] = {kind(PotentialKind::MassProportional), shape(ExternalShape::QuadraticY), 4, 5, 0, 0};
    e[2] = {kind(PotentialKind::EnergyDissipation), quadX, 0.5, 1, 0, 0};
    e[3] = {NoSuchKind, quadX, 1000, 1, 0, 0};
    e[4] = {kind(PotentialKind::ChargeProportional), NoSuchExternalShape, 1000, 1, 0, 0};
    e[5] = {kind(PotentialKind::Disabled), quadX, 1000, 1, 0, 0};
    PotentialSlot* p = w.pairSlots;
    p[0] = {kind(PotentialKind::ChargeProportional), power, 2, 2, 1, 0};
    p[1] = {kind(PotentialKind::MassProportional), power, 4, 1, 4, 0};
    p[2] = {kind(PotentialKind::EnergyDissipation), power, 0.5, 2, 1, 0};
    p[3] = {kind(PotentialKind::RelativeVelocityDissipation), power, 0.125, 0, 1, 0};
    p[4] = {kind(PotentialKind::AngularMomentumDissipation), power, 0.0625, 1, 1, 0};
    p[5] = {NoSuchKind, power, 1000, 2, 1, 0};
    p[6] = {kind(PotentialKind::ChargeProportional), NoSuchPairShape, 1000, 2, 1, 0};
    p[7] = {kind(PotentialKind::Disabled), power, 1000, 2, 1, 0};
}

// Where a value is taken: the point (x, y) for the external contents, two
// particles d apart for the pair contents.
struct Probe {
    bool pair;
    double x;   // or d
    double y;
};
constexpr Probe at(double x, double y) { return {false, x, y}; }
constexpr Probe apart(double d) { return {true, d, 0}; }

constexpr int singleExternal = content(GraphContent::SingleExternal), externalSum = content(GraphContent::ExternalSum),
              particleDissipation = content(GraphContent::ParticleDissipationSum),
              singlePair = content(GraphContent::SinglePair), pairSum = content(GraphContent::PairSum),
              pairDissipation = content(GraphContent::PairDissipationSum), noSuchContent = 6;

void nothing(WorldState&) {}
template <int index>
void slot(WorldState& w) { w.graphSlotIndex = index; }
template <int value>
void forces(WorldState& w) { w.forcesEnabled = value; }
void noChargeBox(WorldState& w) { w.graphSumChargeProportional = 0; }
void noMassBox(WorldState& w) { w.graphSumMassProportional = 0; }
void noEnergyBox(WorldState& w) { w.graphSumEnergyDissipation = 0; }
void noRelativeVelocityBox(WorldState& w) { w.graphSumRelativeVelocityDissipation = 0; }
void noAngularMomentumBox(WorldState& w) { w.graphSumAngularMomentumDissipation = 0; }
void noSumBoxes(WorldState& w) {
    w.graphSumWall = w.graphSumChargeProportional = w.graphSumMassProportional = 0;
    w.graphSumEnergyDissipation = w.graphSumRelativeVelocityDissipation = w.graphSumAngularMomentumDissipation = 0;
}
// Leave only the soft walls of one axis in the external sum.
void onlyWalls(WorldState& w) {
    noChargeBox(w);
    noMassBox(w);
}
void wallsX(WorldState& w) {
    onlyWalls(w);
    w.boundaryX = static_cast<int>(BoundaryMode::WallPrecise);
}
void wallsY(WorldState& w) {
    onlyWalls(w);
    w.boundaryY = static_cast<int>(BoundaryMode::WallPrecise);
}
void wallsLeftOut(WorldState& w) {
    wallsX(w);
    w.graphSumWall = 0;
}
void plainWalls(WorldState& w) {
    wallsX(w);
    w.boundaryX = static_cast<int>(BoundaryMode::Wall);
}

const struct {
    const char* name;
    int content;
    void (*adjust)(WorldState&);
    Probe probe;
    double expected;
} valueCases[] = {
    {"external sum: fields and potential slots", externalSum, nothing, at(4, 8), 52},
    {"external sum without charge terms", externalSum, noChargeBox, at(4, 8), 10},
    {"external sum without mass terms", externalSum, noMassBox, at(4, 8), 42},
    {"external sum with the fields switched off", externalSum, forces<0>, at(4, 8), 72},
    {"external sum: the fields act only while the switch is exactly 1", externalSum, forces<2>, at(4, 8), 72},
    // Wall step w = 0.5 (mass) * 0.5 * 100 = 25, centred 10 outside each edge
    // of the 640 x 480 window; the far half of each step is exactly 0 or 2.
    {"near wall of x", externalSum, wallsX, at(-10, 8), 25},
    {"far wall of x", externalSum, wallsX, at(650, 8), 25},
    {"far wall of y is at the window height", externalSum, wallsY, at(4, 490), 25},
    {"near wall of y, mass box off", externalSum, wallsY, at(4, -10), 25},
    {"walls left out", externalSum, wallsLeftOut, at(-10, 8), 0},
    {"walls only with precise wall boundaries", externalSum, plainWalls, at(-10, 8), 0},
    {"single charge slot ignores the sum boxes", singleExternal, noSumBoxes, at(4, 8), 54},
    {"single mass slot", singleExternal, slot<1>, at(4, 8), 18},
    {"single dissipation slot is strength times U", singleExternal, slot<2>, at(4, 8), 4.5},
    {"single slot of a kind outside the list", singleExternal, slot<3>, at(4, 8), 0},
    {"single slot of a shape outside the catalogue", singleExternal, slot<4>, at(4, 8), 0},
    {"single disabled slot", singleExternal, slot<5>, at(4, 8), 0},
    {"slot index outside the table draws slot 0", singleExternal, slot<12>, at(4, 8), 54},
    {"particle dissipation: drag plus dissipation slots", particleDissipation, nothing, at(4, 8), 4.75},
    {"particle dissipation without its box", particleDissipation, noEnergyBox, at(4, 8), 0},
    {"external value of a pair content", pairSum, nothing, at(4, 8), 0},
    {"external value of a content outside the list", noSuchContent, nothing, at(4, 8), 0},

    {"pair sum: Coulomb and potential slots", pairSum, nothing, apart(-4), 99.5},
    {"pair sum depends on the distance only", pairSum, nothing, apart(4), 99.5},
    {"pair sum without charge terms", pairSum, noChargeBox, apart(-4), 2},
    {"pair sum without mass terms", pairSum, noMassBox, apart(-4), 97.5},
    {"pair sum with the Coulomb force off", pairSum, forces<0>, apart(-4), 98},
    {"single pair charge slot ignores the sum boxes", singlePair, noSumBoxes, apart(-4), 96},
    {"single pair mass slot", singlePair, slot<1>, apart(-4), 2},
    {"single pair energy dissipation", singlePair, slot<2>, apart(-4), 8},
    {"single pair relative velocity dissipation", singlePair, slot<3>, apart(-4), 0.125},
    {"single pair angular momentum dissipation", singlePair, slot<4>, apart(-4), 0.25},
    {"single pair slot of a kind outside the list", singlePair, slot<5>, apart(-4), 0},
    {"single pair slot of a shape outside the catalogue", singlePair, slot<6>, apart(-4), 0},
    {"single disabled pair slot", singlePair, slot<7>, apart(-4), 0},
    {"pair dissipation: drag plus the three dissipative kinds", pairDissipation, nothing, apart(-4), 8.625},
    {"pair dissipation without energy dissipation", pairDissipation, noEnergyBox, apart(-4), 0.375},
    {"pair dissipation without relative velocity slots", pairDissipation, noRelativeVelocityBox, apart(-4), 8.5},
    {"pair dissipation without angular momentum slots", pairDissipation, noAngularMomentumBox, apart(-4), 8.375},
    {"pair value of an external content", externalSum, nothing, apart(-4), 0},
    {"pair value of a content outside the list", noSuchContent, nothing, apart(-4), 0},
};

TEST(GraphValues, EveryContentSumsItsTerms) {
    for (const auto& c : valueCases) {
        richWorld(world);
        world.graphContent = c.content;
        c.adjust(world);
        const double value = c.probe.pair ? pairGraphValue(c.probe.x) : externalGraphValue(c.probe.x, c.probe.y);
        EXPECT_EQ(value, c.expected) << c.name;
    }
}

TEST(GraphValues, RangeFollowsContentAndSlotKind) {
    const struct {
        int content;
        int slot;
        bool dissipation;
    } cases[] = {
        {singleExternal, 0, false},
        {singleExternal, 2, true},
        {externalSum, 2, false},
        {particleDissipation, 0, true},
        {singlePair, 1, false},
        {singlePair, 2, true},
        {singlePair, 3, true},
        {singlePair, 4, true},
        {pairSum, 3, false},
        {pairDissipation, 0, true},
    };
    for (const auto& c : cases) {
        richWorld(world);
        world.potentialRange = 7;
        world.dissipationRange = 0.5f;
        world.graphContent = c.content;
        world.graphSlotIndex = c.slot;
        EXPECT_EQ(graphRange(), c.dissipation ? 0.5 : 7) << "content " << c.content << " slot " << c.slot;
    }
}

// ---- Lines and curve vertices ----

struct ExpectedVertex {
    int index;
    double x;
    double y;
};

struct CurveCase {
    const char* name;
    void (*setup)(WorldState&);
    int vertexCount;
    std::vector<ExpectedVertex> vertices;
};

// Slot 0 as the uniformly charged sphere of radius 10: U = 0.15 at the
// centre and 1 / 10 at its surface.
void chargedSphereSlot(WorldState& w) {
    w.graphContent = singlePair;
    w.pairSlots[0] = {kind(PotentialKind::ChargeProportional), shape(PairShape::ChargedSphere), 1, 10, 0, 0};
}

const CurveCase curveCases[] = {
    {"defaults: flat on the origin line", [](WorldState&) {}, 500, {{0, 0, 250}, {250, 250, 250}, {499, 499, 250}}},
    {"gravity alone, far below the window",
     [](WorldState& w) {
         w.graphContent = externalSum;
         w.gravityY = 1;
     },
     500, {{0, 0, 20250}, {499, 499, 20250}}},
    {"gravity alone, sampled at y = 0",
     [](WorldState& w) {
         w.graphContent = externalSum;
         w.gravityY = 1;
         w.probeY = 0;
     },
     500, {{0, 0, 250}, {499, 499, 250}}},
    {"rightward electric field: a straight line",
     [](WorldState& w) {
         w.graphContent = externalSum;
         w.electricX = 0.01f;
     },
     500, {{0, 0, 250}, {100, 100, 350}, {499, 499, 749}}},
    {"charged sphere around the origin", chargedSphereSlot, 500,
     {{250, 250, 235}, {260, 260, 240}, {240, 240, 240}, {0, 0, 249.6}}},
    {"relative velocity slot: dissipation range, no products",
     [](WorldState& w) {
         w.graphContent = singlePair;
         w.graphChargeProduct = 7;
         w.graphMassProduct = 3;
         w.pairSlots[0] = {kind(PotentialKind::RelativeVelocityDissipation), shape(PairShape::Gaussian), 0.01, 0, 10, 0};
     },
     500, {{250, 250, 150}}},
    {"pair dissipation: drag alone",
     [](WorldState& w) {
         w.graphContent = pairDissipation;
         w.dragCoefficient = 0.01f;
     },
     500, {{0, 0, 150}, {250, 250, 150}, {499, 499, 150}}},
    {"pair dissipation without energy dissipation",
     [](WorldState& w) {
         w.graphContent = pairDissipation;
         w.dragCoefficient = 0.01f;
         w.graphSumEnergyDissipation = 0;
     },
     500, {{0, 0, 250}, {499, 499, 250}}},
    // Plotted to the right in a window wider than high: one vertex per row,
    // scaled by the width; the external field sampled on the column probeX.
    {"external slot plotted to the right",
     [](WorldState& w) {
         w.windowWidth = 640;
         w.windowHeight = 480;
         w.graphAxis = static_cast<int>(GraphAxis::PlotRight);
         w.probeX = 100;
         w.externalSlots[0] = {kind(PotentialKind::ChargeProportional), shape(ExternalShape::UniformField), 1, 0.01, 0.02, 0};
     },
     480, {{0, 122, 0}, {50, -6, 50}}},
    {"charged sphere plotted to the right",
     [](WorldState& w) {
         chargedSphereSlot(w);
         w.windowWidth = 640;
         w.windowHeight = 480;
         w.graphAxis = static_cast<int>(GraphAxis::PlotRight);
         w.graphOriginX = 100;
     },
     480, {{250, 119.2, 250}, {240, 112.8, 240}}},
    {"charged sphere upwards in a window wider than high",
     [](WorldState& w) {
         chargedSphereSlot(w);
         w.windowWidth = 640;
         w.windowHeight = 480;
         w.graphOriginY = 300;
     },
     640, {{250, 250, 285.6}, {600, 600, 300 - 96.0 / 350}}},
};

TEST(GraphCurve, OneVertexPerColumnOrRowAtTheScaledValue) {
    std::vector<GraphVertex> curve;
    for (const CurveCase& c : curveCases) {
        world = WorldState{};
        c.setup(world);
        graphCurve(curve);
        ASSERT_EQ(static_cast<int>(curve.size()), c.vertexCount) << c.name;
        for (const ExpectedVertex& v : c.vertices) {
            EXPECT_NEAR(curve[v.index].x, v.x, 1e-4) << c.name << ", vertex " << v.index;
            EXPECT_NEAR(curve[v.index].y, v.y, 1e-4) << c.name << ", vertex " << v.index;
        }
    }
}

TEST(GraphCurve, PairCurveIsSymmetricAboutTheOrigin) {
    world = WorldState{};
    chargedSphereSlot(world);
    std::vector<GraphVertex> curve;
    graphCurve(curve);
    for (int k = 1; k <= 249; ++k) EXPECT_EQ(curve[250 - k].y, curve[250 + k].y) << k;
}

bool operator==(const GraphVertex& a, const GraphVertex& b) { return a.x == b.x && a.y == b.y; }
bool operator==(const GraphLine& a, const GraphLine& b) { return a.from == b.from && a.to == b.to; }

TEST(GraphCurve, AxesAndProbeLineByContentAndAxis) {
    const GraphLine horizontalAxis{{0, 260}, {640, 260}}, verticalAxis{{240, 0}, {240, 480}};
    const GraphLine horizontalProbe{{0, 210}, {640, 210}}, verticalProbe{{180, 0}, {180, 480}};
    const struct {
        GraphContent content;
        GraphAxis axis;
        GraphLines expected;
    } cases[] = {
        {GraphContent::SingleExternal, GraphAxis::PlotUp, {1, {horizontalAxis}, true, horizontalProbe}},
        {GraphContent::ParticleDissipationSum, GraphAxis::PlotRight, {1, {verticalAxis}, true, verticalProbe}},
        {GraphContent::SinglePair, GraphAxis::PlotUp, {2, {verticalAxis, horizontalAxis}, false, {}}},
        {GraphContent::PairDissipationSum, GraphAxis::PlotRight, {2, {verticalAxis, horizontalAxis}, false, {}}},
    };
    for (const auto& c : cases) {
        world = WorldState{};
        world.windowWidth = 640;
        world.windowHeight = 480;
        world.graphOriginX = 240;
        world.graphOriginY = 260;
        world.probeX = 180;
        world.probeY = 210;
        world.graphContent = static_cast<int>(c.content);
        world.graphAxis = static_cast<int>(c.axis);
        const GraphLines lines = graphLines();
        const std::string name = "content " + std::to_string(world.graphContent) + " axis " + std::to_string(world.graphAxis);
        ASSERT_EQ(lines.axisCount, c.expected.axisCount) << name;
        for (int k = 0; k < lines.axisCount; ++k) EXPECT_TRUE(lines.axes[k] == c.expected.axes[k]) << name << " axis " << k;
        EXPECT_EQ(lines.hasProbe, c.expected.hasProbe) << name;
        if (c.expected.hasProbe) {
            EXPECT_TRUE(lines.probe == c.expected.probe) << name;
        }
    }
}

// ---- Non-finite vertices never reach OpenGL ----

bool operator==(const GraphStretch& a, const GraphStretch& b) { return a.first == b.first && a.count == b.count; }

TEST(GraphCurve, OnlyFiniteStretchesAreDrawn) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        std::vector<GraphVertex> curve;
        std::vector<GraphStretch> expected;
    } cases[] = {
        {"empty", {}, {}},
        {"all finite", {{0, 1}, {1, 2}, {2, 3}}, {{0, 3}}},
        {"all undefined", {{0, nan}, {1, nan}}, {}},
        {"breaks at both ends and inside", {{0, nan}, {1, 1}, {2, 2}, {3, inf}, {4, -inf}, {5, 5}, {inf, 6}}, {{1, 2}, {5, 1}}},
        {"beyond single precision", {{0, 1}, {1, 1e39}, {2, -1e39}, {3, 3.4e38}}, {{0, 1}, {3, 1}}},
    };
    for (const auto& c : cases) {
        const std::vector<GraphStretch> stretches = finiteStretches(c.curve);
        ASSERT_EQ(stretches.size(), c.expected.size()) << c.name;
        for (size_t k = 0; k < stretches.size(); ++k) EXPECT_TRUE(stretches[k] == c.expected[k]) << c.name << " " << k;
    }
}

TEST(GraphCurve, ZeroRangeAndPolesLeaveTheFiniteParts) {
    std::vector<GraphVertex> curve;
    world = WorldState{};
    world.potentialRange = 0;
    graphCurve(curve);
    EXPECT_TRUE(finiteStretches(curve).empty()) << "0 / 0 everywhere";

    // The plain 1 / r potential is infinite at the origin column only.
    world = WorldState{};
    chargedSphereSlot(world);
    world.pairSlots[0].a = 0;
    graphCurve(curve);
    const std::vector<GraphStretch> stretches = finiteStretches(curve);
    ASSERT_EQ(stretches.size(), 2u);
    EXPECT_TRUE(stretches[0] == (GraphStretch{0, 250}));
    EXPECT_TRUE(stretches[1] == (GraphStretch{251, 249}));
    EXPECT_EQ(curve[251].y, 150);
}

// ---- The controls' callbacks ----

using Calls = std::vector<std::string>;

TEST(GraphControls, ShowingStopsAndHidingResumesUnderTheRunCondition) {
    const struct {
        const char* name;
        int showGraph;   // the box's new value
        bool paused;
        int particleCount;
        DragMode drag;
        void (*idleAfter)();
        Calls calls;
    } cases[] = {
        {"shown while running", 1, false, 6, DragMode::NoDrag, nullptr, {"select", "idle none", "redisplay"}},
        {"shown while paused", 1, true, 6, DragMode::NoDrag, nullptr, {"select", "idle none", "redisplay"}},
        {"hidden while not paused", 0, false, 6, DragMode::NoDrag, idleStep, {"select", "idle step"}},
        {"hidden while paused", 0, true, 6, DragMode::NoDrag, nullptr, {"select"}},
        {"hidden during a drag", 0, false, 6, DragMode::MoveDrag, nullptr, {"select"}},
        {"hidden with no particles", 0, false, 0, DragMode::NoDrag, nullptr, {"select"}},
    };
    for (const auto& c : cases) {
        resetFrontEnd();
        fakeSeam::idleRoutine = c.showGraph != 0 ? idleStep : nullptr;
        world.showGraph = c.showGraph;
        world.paused = c.paused;
        world.particleCount = c.particleCount;
        world.dragMode = static_cast<int>(c.drag);
        showGraphChanged(0);
        EXPECT_EQ(fakeSeam::idleRoutine, c.idleAfter) << c.name;
        EXPECT_EQ(fakeSeam::calls, c.calls) << c.name;
    }
}

TEST(GraphControls, SlotIndexOutsideTheTableBecomesZero) {
    const struct {
        int typed;
        int kept;
    } cases[] = {{12, 0}, {-1, 0}, {10, 0}, {9, 9}, {0, 0}, {4, 4}};
    for (const auto& c : cases) {
        resetFrontEnd();
        world.graphSlotIndex = c.typed;
        graphSlotChanged(0);
        EXPECT_EQ(world.graphSlotIndex, c.kept) << c.typed;
        EXPECT_EQ(fakeSeam::calls, (Calls{"sync", "redisplay"})) << c.typed;
    }
}

TEST(GraphControls, ClickMovesWhatItsBoxesSelectAndAlwaysRedraws) {
    const struct {
        int originBox;
        int probeBox;
        float originX, originY, probeX, probeY;
    } cases[] = {
        {0, 0, 250, 250, 200, 200},
        {1, 0, 100, 300, 200, 200},
        {0, 1, 250, 250, 100, 300},
        {1, 1, 100, 300, 100, 300},
    };
    for (const auto& c : cases) {
        resetFrontEnd();
        world.graphOriginManual = c.originBox;
        world.probeAxisManual = c.probeBox;
        graphClick(100, 300);
        const std::string name = "origin box " + std::to_string(c.originBox) + ", probe box " + std::to_string(c.probeBox);
        EXPECT_EQ(world.graphOriginX, c.originX) << name;
        EXPECT_EQ(world.graphOriginY, c.originY) << name;
        EXPECT_EQ(world.probeX, c.probeX) << name;
        EXPECT_EQ(world.probeY, c.probeY) << name;
        EXPECT_EQ(fakeSeam::calls, (Calls{"sync", "redisplay"})) << name;
    }
}

}  // namespace
