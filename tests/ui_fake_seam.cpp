#include "tests/ui_fake_seam.h"

#include "ui/run_state.h"
#include "ui/window_seam.h"

namespace fakeSeam {
std::vector<std::string> calls;
void (*idleRoutine)() = idleStep;
}  // namespace fakeSeam

using fakeSeam::calls;

void selectMainWindow() { calls.push_back("select"); }

void setIdleRoutine(void (*routine)()) {
    fakeSeam::idleRoutine = routine;
    calls.push_back(routine == idleStep ? "idle step" : routine == nullptr ? "idle none" : "idle other");
}

void postMainRedisplay() { calls.push_back("redisplay"); }

void syncControls() { calls.push_back("sync"); }

void resizeMainWindow(int width, int height) {
    calls.push_back("resize " + std::to_string(width) + " " + std::to_string(height));
}

int largestWindowSide() { return fakeSeam::largestWindowSide; }

void setFormulaText(int family, const char* text) {
    calls.push_back("formula " + std::to_string(family) + " " + text);
}
