// The conserved quantities over time as CSV text, one row per sampled step:
// what the batch runner's --series and the simulator's --record write.
#pragma once

#include <string>

// "step,time," and the 16 quantities in the order of Conserved::Index, in
// snake case (momentum_x, ..., total_energy); ends with a newline.
std::string seriesHeader();

// One row: the step, the simulated time and the 16 values, each printed in
// the fewest digits that read back to the same number.
std::string seriesRow(long long step, double time, const float* values);
