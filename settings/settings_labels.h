// The words the converter writes in place of enumerated values, indexed by
// the stored value. A value outside a list has no word; the caller decides.
#pragma once

#include "world_state.h"

extern const char* const enabledWords[2];                   // forcesEnabled 0, 1
extern const char* const boundaryWords[BoundaryModeCount];
extern const char* const kindWords[PotentialKindCount];
extern const char* const externalShapeWords[ExternalShapeCount];
extern const char* const pairShapeWords[PairShapeCount];
