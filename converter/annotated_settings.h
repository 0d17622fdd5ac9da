// The annotated form of a settings file: every value on its own line behind
// its Japanese label, enumerated values spelled out as words, Shift-JIS.
#pragma once

#include <iosfwd>

#include "sim/world_state.h"

// Writes the 141 + 11n annotated lines of a record, numbers formatted as in
// the settings file (20 significant digits, floats widened to double).
void writeAnnotatedSettings(std::ostream& out, const WorldState& record);
