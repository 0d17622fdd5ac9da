#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/world_state.h"
#include "tests/ui_fake_seam.h"
#include "ui/slot_editors.h"

namespace {
using Calls = std::vector<std::string>;

// Slot k of both families: kind 1, shape k % 5, strength k, a k + 0.5.
void numberedSlots() {
    resetFrontEnd();
    for (int k = 0; k < PotentialSlotCount; ++k) {
        for (PotentialSlot* family : {world.externalSlots, world.pairSlots})
            family[k] = {1, k % 5, static_cast<double>(k), k + 0.5, 0, 0};
    }
}

SlotEditor& editorOf(int family) { return family == 0 ? world.externalEditor : world.pairEditor; }
}  // namespace

TEST(SlotEditors, FormulaTextsByFamilyAndShape) {
    struct Row {
        int family, shape;
        const char* text;
    };
    const Row rows[] = {
        {0, 0, "U(x,y)=-ax-by"},
        {0, 4, "U(x,y)=tanh((y-a)/b)"},
        {1, 0, "U(r)=1/r (r>=a), U(r)=1/2a*(3-r^2/a^2) (r<a)"},
        {1, 2, "U(r)=(r/b)^a*exp(-r/c)"},
        {1, 6, "U(r)=1/(1+(r-a)^2/b^2)"},
        // Shapes a damaged file can hold: nothing is read past the tables.
        {0, 5, ""},
        {1, 7, ""},
        {0, -1, ""},
        {2, 0, ""},
    };
    for (const Row& row : rows) EXPECT_STREQ(formulaText(row.family, row.shape), row.text) << row.family << " " << row.shape;
}

// A number outside 0..9 is replaced by 0 (not by the nearest bound) and
// slot 0 is shown.
TEST(SlotEditors, ShowSlotCopiesTheChosenSlotAndCorrectsTheNumber) {
    struct Row {
        int family, typed, shown;
    };
    const Row rows[] = {{0, 3, 3}, {0, 9, 9}, {0, 12, 0}, {0, 10, 0}, {0, -1, 0}, {1, 4, 4}, {1, 12, 0}};
    for (const Row& row : rows) {
        numberedSlots();
        SlotEditor& e = editorOf(row.family);
        e.slotIndex = row.typed;
        showSlot(row.family);
        EXPECT_EQ(e.slotIndex, row.shown) << row.typed;
        EXPECT_EQ(e.strength, static_cast<float>(row.shown)) << row.typed;
        EXPECT_EQ(e.a, row.shown + 0.5f) << row.typed;
        EXPECT_EQ(e.kind, 1);
        EXPECT_EQ(e.shape, row.shown % 5);
        const Calls expected = {"formula " + std::to_string(row.family) + " " + formulaText(row.family, row.shown % 5), "sync"};
        EXPECT_EQ(fakeSeam::calls, expected) << row.typed;
    }
}

TEST(SlotEditors, StoreSlotWritesTheWholeEditorIntoItsSlotOnly) {
    numberedSlots();
    SlotEditor& e = world.externalEditor;
    e.slotIndex = 3;
    showSlot(0);
    e.shape = static_cast<int>(ExternalShape::TanhY);
    fakeSeam::calls.clear();
    storeSlot(0);
    EXPECT_EQ(world.externalSlots[3].shape, 4);
    EXPECT_EQ(world.externalSlots[3].a, 3.5);
    EXPECT_EQ(fakeSeam::calls, (Calls{"formula 0 U(x,y)=tanh((y-a)/b)", "sync"}));
    for (int k = 0; k < PotentialSlotCount; ++k) {
        if (k != 3) {
            EXPECT_EQ(world.externalSlots[k].shape, k % 5) << k;
        }
        EXPECT_EQ(world.pairSlots[k].shape, k % 5) << k;
    }
}

TEST(SlotEditors, ReturningToASlotShowsItsEdits) {
    numberedSlots();
    SlotEditor& e = world.pairEditor;
    e.slotIndex = 2;
    showSlot(1);
    e.b = 0.25f;
    storeSlot(1);
    e.slotIndex = 5;
    showSlot(1);
    EXPECT_EQ(e.b, 0.0f);
    e.slotIndex = 2;
    showSlot(1);
    EXPECT_EQ(e.b, 0.25f);
}

TEST(SlotEditors, OtherIdsDoNothing) {
    numberedSlots();
    world.externalEditor.slotIndex = 12;
    for (int id : {-1, 2, 7}) {
        showSlot(id);
        storeSlot(id);
    }
    EXPECT_EQ(world.externalEditor.slotIndex, 12);
    EXPECT_TRUE(fakeSeam::calls.empty());
}
