// The rollouts "外場の追加" and "二体間ポテンシャルの追加": each edits one
// potential slot at a time through a float copy. The callback id picks the
// family: 0 external, 1 pair; any other id does nothing.
#pragma once

// The formula of a shape of a family; "" for a shape outside the family's
// list, which a damaged settings file can hold.
const char* formulaText(int family, int shape);

// The slot number changed: an index outside 0..9 is reset to 0, the slot is
// copied into the editor and its formula shown.
void showSlot(int id);
// A kind, shape or parameter changed: the whole editor is written into the
// slot and the formula of its shape shown.
void storeSlot(int id);
