// Whether the simulation runs, and the commands that change it. The
// simulation runs exactly while idleStep is the toolkit's idle routine.
#pragma once

// Not paused, no drag in progress, particles present and the graph hidden.
bool runConditionHolds();
// Removes idleStep and redraws the main window (it shows the stopped state).
void stopSimulation();
// Routes idleStep again, but only while the run condition holds.
void resumeSimulation();
// After a change of the particle count from `countBefore`: a table filled
// from empty resumes the simulation (under the whole run condition), one
// emptied stops it; a count that stays on one side of zero changes nothing.
void followParticleCount(int countBefore);

// One time step and the boundary fold; every displayInterval steps also the
// conserved quantities (when asked for), a row of the recording (when one
// runs), the panel refresh, a redraw and a short sleep.
void idleStep();

// The button "一時停止(P)" and the keys P and p.
void togglePause(int id);
// The button "サイズ変更": applies the requested window size; an entry of 0
// or less is replaced by the current size.
void applyWindowSize(int id);
// The button "保存量の再計算".
void recomputeConserved(int id);
