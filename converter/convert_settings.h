// The conversion behind the "変換" button: data/N.txt to textdata/N.txt.
#pragma once

#include "sim/world_state.h"

// The converter's record of a settings file. It starts with the simulator's
// defaults and keeps the values of the last conversion, which show through
// wherever a later file ends early.
extern WorldState converterRecord;

// N of data/N.txt and textdata/N.txt: the live value of "ファイル番号".
extern int fileNumber;

// Control callback; the id is ignored. A missing input creates nothing, an
// output that cannot be created leaves everything as it was.
void convertSettings(int id);
