// A stand-in for the simulator's window seam that records what the logic
// asked of the windows, so the front end's rules run without a display.
#pragma once

#include <string>
#include <vector>

#include "sim/world_state.h"

namespace fakeSeam {
// In order: "select", "idle step" / "idle none", "redisplay", "sync",
// "resize W H", "formula F TEXT".
extern std::vector<std::string> calls;
// The routine last handed over; starts as if the simulation ran.
extern void (*idleRoutine)();
// What the stand-in windows can be drawn at, on each side.
constexpr int largestWindowSide = 16384;
}  // namespace fakeSeam

// A fresh world and an empty record for every test.
inline void resetFrontEnd() {
    world = WorldState{};
    fakeSeam::calls.clear();
}
