// partivox --record FILE.csv: the conserved quantities of the running
// simulation, one CSV row per displayed frame, each written out as it comes
// so that a crash loses at most the row being written.
#pragma once

#include <string>

// Opens (or empties) the file and writes the header. "" on success,
// otherwise why the file cannot be written.
std::string startRecording(const std::string& path);

// While recording: a row for the state after `steps` more steps of the
// current step size, with the quantities computed for it whatever the
// panel's "保存量を計算する" says. A row that cannot be written ends the
// recording with one line on standard error; the simulation goes on.
void recordFrame(int steps);

// Whether rows are still being written.
bool recording();
