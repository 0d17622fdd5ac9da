#include "ui/slot_editors.h"

#include "sim/potentials.h"
#include "sim/world_state.h"
#include "ui/window_seam.h"

// The editor and the slots a callback id stands for; nullptr for other ids.
static SlotEditor* editorOf(int id) {
    return id == 0 ? &world.externalEditor : id == 1 ? &world.pairEditor : nullptr;
}

static PotentialSlot* slotsOf(int id) { return id == 0 ? world.externalSlots : world.pairSlots; }

const char* formulaText(int family, int shape) {
    if (family == 0 && shape >= 0 && shape < ExternalShapeCount) return externalFormulas[shape];
    if (family == 1 && shape >= 0 && shape < PairShapeCount) return pairFormulas[shape];
    return "";
}

void showSlot(int id) {
    SlotEditor* editor = editorOf(id);
    if (editor == nullptr) return;
    SlotEditor& e = *editor;
    if (e.slotIndex >= PotentialSlotCount || e.slotIndex < 0) e.slotIndex = 0;
    const PotentialSlot& s = slotsOf(id)[e.slotIndex];
    e.kind = s.kind;
    e.shape = s.shape;
    e.strength = static_cast<float>(s.strength);
    e.a = static_cast<float>(s.a);
    e.b = static_cast<float>(s.b);
    e.c = static_cast<float>(s.c);
    setFormulaText(id, formulaText(id, s.shape));
    syncControls();
}

void storeSlot(int id) {
    const SlotEditor* editor = editorOf(id);
    if (editor == nullptr) return;
    const SlotEditor& e = *editor;
    // Every change of the number went through showSlot; this guards a number
    // that reached the field some other way.
    if (e.slotIndex < 0 || e.slotIndex >= PotentialSlotCount) return;
    PotentialSlot& s = slotsOf(id)[e.slotIndex];
    s.kind = e.kind;
    s.shape = e.shape;
    s.strength = e.strength;
    s.a = e.a;
    s.b = e.b;
    s.c = e.c;
    setFormulaText(id, formulaText(id, e.shape));
    syncControls();
}
