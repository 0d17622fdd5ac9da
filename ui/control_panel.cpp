#include "ui/control_panel.h"

#include <cstdlib>

#include "glui/glui.h"
#include "sim/conserved_quantities.h"
#include "sim/world_state.h"
#include "ui/graph_view.h"
#include "ui/particle_editing.h"
#include "ui/run_state.h"
#include "ui/save_load.h"
#include "ui/slot_editors.h"

GLUI* controlWindow = nullptr;
GLUI_StaticText* formulaTexts[2] = {nullptr, nullptr};

namespace {
constexpr int EditWidth = 250;   // every edit field, read-only or not

GLUI_EditText* floatField(GLUI_Panel* parent, const char* label, float* value, int id = -1,
                          GLUI_Update_CB callback = nullptr) {
    GLUI_EditText* field =
        controlWindow->add_edittext_to_panel(parent, label, GLUI_EDITTEXT_FLOAT, value, id, callback);
    field->set_w(EditWidth);
    return field;
}

GLUI_EditText* intField(GLUI_Panel* parent, const char* label, int* value, int id = -1,
                        GLUI_Update_CB callback = nullptr) {
    GLUI_EditText* field =
        controlWindow->add_edittext_to_panel(parent, label, GLUI_EDITTEXT_INT, value, id, callback);
    field->set_w(EditWidth);
    return field;
}

// Shows a value the user cannot type into.
void readOnlyField(GLUI_Panel* parent, const char* label, float* value) {
    floatField(parent, label, value)->disable();
}

void column(GLUI_Panel* parent) { controlWindow->add_column_to_panel(parent, 0); }

GLUI_Listbox* listBox(GLUI_Panel* parent, const char* label, int* value, const char* const* items,
                      int itemCount, int id = -1, GLUI_Update_CB callback = nullptr) {
    GLUI_Listbox* box = controlWindow->add_listbox_to_panel(parent, label, value, id, callback);
    for (int i = 0; i < itemCount; ++i) box->add_item(i, items[i]);
    return box;
}

void checkBox(GLUI_Panel* parent, const char* label, int* value, int id = -1,
              GLUI_Update_CB callback = nullptr) {
    controlWindow->add_checkbox_to_panel(parent, label, value, id, callback);
}

void button(GLUI_Panel* parent, const char* label, int id, GLUI_Update_CB callback) {
    controlWindow->add_button_to_panel(parent, label, id, callback);
}

void conservedQuantities() {
    WorldState& w = world;
    GLUI_Panel* r = controlWindow->add_rollout("保存量", false);
    const char* const labels[Conserved::Count] = {
        "右方向の運動量", "下方向の運動量", "時計回りの角運動量",
        "右方向の磁場による運動量", "下方向の磁場による運動量", "時計回りの磁場による角運動量",
        "右方向の全運動量", "下方向の全運動量", "時計回りの全角運動量",
        "全運動エネルギー", "粒子間のクーロンエネルギー", "一様電場によるエネルギー",
        "重力エネルギー", "その他の外場のエネルギー", "その他の粒子間のエネルギー",
        "全エネルギー",
    };
    for (int k = 0; k < Conserved::Count; ++k) {
        if (k == Conserved::kineticEnergy) column(r);
        readOnlyField(r, labels[k], &w.conservedValues[k]);
    }
    button(r, "保存量の再計算", 0, recomputeConserved);
    checkBox(r, "保存量を計算する", &w.computeConserved);
}

// The eleven values of a particle as both particle panels show them.
const struct {
    const char* label;
    float ParticleFloats::*field;
} particleFields[11] = {
    {"右方向の位置", &ParticleFloats::x},
    {"下方向の位置", &ParticleFloats::y},
    {"右方向の速度", &ParticleFloats::vx},
    {"下方向の速度", &ParticleFloats::vy},
    {"質量", &ParticleFloats::mass},
    {"電荷", &ParticleFloats::charge},
    {"散逸の度合い", &ParticleFloats::dissipation},
    {"粒子の表示色(赤)", &ParticleFloats::red},
    {"粒子の表示色(緑)", &ParticleFloats::green},
    {"粒子の表示色(青)", &ParticleFloats::blue},
    {"粒子の表示半径", &ParticleFloats::radius},
};

void particleInformation() {
    WorldState& w = world;
    GLUI_Panel* r = controlWindow->add_rollout("各粒子の情報", false);
    checkBox(r, "クリックで粒子を選択", &w.infoPickByClick);
    intField(r, "粒子の番号", &w.infoParticleIndex, 0, refreshInfoPanel);
    for (int k = 0; k < 11; ++k) {
        if (k == 4) column(r);
        readOnlyField(r, particleFields[k].label, &(w.infoValues.*particleFields[k].field));
    }
}

void particleSettings() {
    WorldState& w = world;
    GLUI_Panel* r = controlWindow->add_rollout("粒子の設定変更", false);
    checkBox(r, "クリックで粒子を選択", &w.editPickByClick);
    intField(r, "粒子の番号", &w.editParticleIndex, 0, clampEditIndex);
    for (const auto& f : particleFields) floatField(r, f.label, &(w.editValues.*f.field));
    column(r);
    // On screen the buttons stand in this order, not in the order of their ids.
    using A = ParticleEditAction;
    const struct {
        const char* label;
        A action;
    } buttons[] = {
        {"現在の値を表示", A::ShowCurrent},
        {"位置の反映", A::ApplyPosition},
        {"速度の反映", A::ApplyVelocity},
        {"運動量が0になる速度を設定", A::ZeroMomentumVelocity},
        {"質量の反映", A::ApplyMass},
        {"電荷の反映", A::ApplyCharge},
        {"散逸の度合いの反映", A::ApplyDissipation},
        {"表示色をランダムで設定", A::RandomColour},
        {"表示色の反映", A::ApplyColour},
        {"表示半径の反映", A::ApplyRadius},
        {"粒子の追加", A::AddParticle},
        {"ランダムな色の粒子の追加", A::AddRandomColoured},
        {"粒子の除去", A::RemoveParticle},
    };
    for (const auto& b : buttons) button(r, b.label, static_cast<int>(b.action), particleEditButton);
}

const char* const boundaryItems[BoundaryModeCount] = {
    "周期", "壁あり", "壁なし", "壁あり(高精度)", "周期(相互作用も周期的)",
};

void systemSettings() {
    WorldState& w = world;
    GLUI_Panel* r = controlWindow->add_rollout("系全体の設定変更", true);
    checkBox(r, "重力、電場、クーロン力を有効にする", &w.forcesEnabled);
    floatField(r, "右向きの重力", &w.gravityX);
    floatField(r, "下向きの重力", &w.gravityY);
    floatField(r, "右向きの電場", &w.electricX);
    floatField(r, "下向きの電場", &w.electricY);
    floatField(r, "画面奥向きの磁場", &w.magneticField);
    floatField(r, "クーロン力の強さ", &w.coulombStrength);
    floatField(r, "クーロン力を弱める距離", &w.coulombSoftening);
    floatField(r, "速度に比例した抵抗", &w.dragCoefficient);
    floatField(r, "平衡速度", &w.terminalSpeed);
    column(r);
    listBox(r, "横の境界条件", &w.boundaryX, boundaryItems, BoundaryModeCount);
    listBox(r, "縦の境界条件", &w.boundaryY, boundaryItems, BoundaryModeCount);
    floatField(r, "壁の強さ", &w.wallStrength);
    floatField(r, "壁のやわらかさ", &w.wallSoftness);
    floatField(r, "壁の位置", &w.wallPosition);
    button(r, "粒子をランダムに配置", 0, placeParticlesRandomlyButton);
}

const char* const kindItems[PotentialKindCount] = {
    "無効にする", "電荷に比例", "質量に比例", "エネルギー散逸", "相対速度に比例した散逸", "角運動量を保存する散逸",
};
const char* const externalShapeItems[ExternalShapeCount] = {
    "一様な場", "x方向(右向き)の二次式", "y方向(下向き)の二次式", "x方向(右向き)のtanh", "y方向(下向き)のtanh",
};
const char* const pairShapeItems[PairShapeCount] = {
    "一様帯電球", "累乗", "累乗と指数の積", "tanh", "モースポテンシャル", "ガウス分布", "ローレンツ分布",
};

// The two slot editors differ only in their family (the callbacks' id), the
// kinds and the shapes they offer.
void slotEditor(const char* title, int family, SlotEditor& e, int kindCount,
                const char* const* shapes, int shapeCount) {
    GLUI_Panel* r = controlWindow->add_rollout(title, false);
    intField(r, "ポテンシャルの番号", &e.slotIndex, family, showSlot);
    listBox(r, "ポテンシャルの種類", &e.kind, kindItems, kindCount, family, storeSlot);
    listBox(r, "ポテンシャルの形", &e.shape, shapes, shapeCount, family, storeSlot);
    formulaTexts[family] = controlWindow->add_statictext_to_panel(r, formulaText(family, 0));
    column(r);
    floatField(r, "ポテンシャルの強さ", &e.strength, family, storeSlot);
    floatField(r, "パラメータa", &e.a, family, storeSlot);
    floatField(r, "パラメータb", &e.b, family, storeSlot);
    floatField(r, "パラメータc", &e.c, family, storeSlot);
}

void graphDisplay() {
    WorldState& w = world;
    GLUI_Panel* r = controlWindow->add_rollout("グラフの表示", false);
    checkBox(r, "グラフを表示する", &w.showGraph, 0, showGraphChanged);
    checkBox(r, "粒子を表示する", &w.graphShowParticles);
    checkBox(r, "グラフの原点を指定する", &w.graphOriginManual);
    checkBox(r, "外場を調べる軸を指定する", &w.probeAxisManual);
    const char* const contents[] = {
        "個々の外場のポテンシャル", "外場のポテンシャルの和", "一粒子の散逸の和",
        "個々の二体間ポテンシャル", "二体間ポテンシャルの和", "二体間の散逸の和",
    };
    listBox(r, "表示するもの", &w.graphContent, contents, 6);
    intField(r, "ポテンシャルの番号", &w.graphSlotIndex, 0, graphSlotChanged);
    GLUI_Panel* sums = controlWindow->add_panel_to_panel(r, "和を取るもの", GLUI_PANEL_EMBOSSED);
    checkBox(sums, "壁のポテンシャル", &w.graphSumWall);
    checkBox(sums, "電荷に比例するポテンシャル", &w.graphSumChargeProportional);
    checkBox(sums, "質量に比例するポテンシャル", &w.graphSumMassProportional);
    checkBox(sums, "エネルギー散逸", &w.graphSumEnergyDissipation);
    checkBox(sums, "相対速度に比例した散逸", &w.graphSumRelativeVelocityDissipation);
    checkBox(sums, "角運動量を保存する散逸", &w.graphSumAngularMomentumDissipation);
    column(r);
    const char* const axes[] = {"上向き", "右向き"};
    listBox(r, "ポテンシャルの軸", &w.graphAxis, axes, 2);
    floatField(r, "グラフの原点のx座標(右向き)", &w.graphOriginX);
    floatField(r, "グラフの原点のy座標(下向き)", &w.graphOriginY);
    floatField(r, "外場を調べるx座標(右向き)", &w.probeX);
    floatField(r, "外場を調べるy座標(下向き)", &w.probeY);
    floatField(r, "表示するポテンシャルの範囲", &w.potentialRange);
    floatField(r, "表示する散逸の範囲", &w.dissipationRange);
    floatField(r, "粒子の電荷(の積)", &w.graphChargeProduct);
    floatField(r, "粒子の質量(の積)", &w.graphMassProduct);
}

void simulationSettings() {
    WorldState& w = world;
    GLUI_Panel* r = controlWindow->add_rollout("シミュレーションの設定変更", true);
    floatField(r, "シミュレーション速度", &w.simulationSpeed);
    intField(r, "表示間隔", &w.displayInterval);
    floatField(r, "右ドラッグで与える速度", &w.rightDragSpeed);
    column(r);
    GLUI_Panel* size = controlWindow->add_panel_to_panel(r, "ウィンドウサイズ", GLUI_PANEL_EMBOSSED);
    intField(size, "幅", &w.requestedWidth);
    intField(size, "高さ", &w.requestedHeight);
    button(size, "サイズ変更", 0, applyWindowSize);
}

void commands() {
    GLUI* c = controlWindow;
    c->add_edittext("ファイル番号", GLUI_EDITTEXT_INT, &world.fileNumber)->set_w(EditWidth);
    c->add_button("設定の保存", 0, saveSettings);
    c->add_button("設定の読込", 0, loadSettings);
    c->add_button("一時停止(P)", 0, togglePause);
    c->add_button("終了(Q,Esc)", 0, std::exit);
    c->add_statictext("左ドラッグで位置変更");
    c->add_statictext("右ドラッグで速度変更");
}
}  // namespace

void buildControlPanel() {
    WorldState& w = world;
    conservedQuantities();
    particleInformation();
    particleSettings();
    systemSettings();
    slotEditor("外場の追加", 0, w.externalEditor, 4, externalShapeItems, ExternalShapeCount);
    slotEditor("二体間ポテンシャルの追加", 1, w.pairEditor, PotentialKindCount, pairShapeItems, PairShapeCount);
    graphDisplay();
    simulationSettings();
    commands();
}
