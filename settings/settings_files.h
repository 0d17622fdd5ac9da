// Settings files by name: loading one into a record, and writing one so that
// a reader never sees it half written.
#pragma once

#include <string>

#include "settings_format.h"

struct LoadResult {
    bool opened = false;   // false: the file could not be opened, nothing changed
    int valuesTaken = 0;   // values stored, in file order
    bool complete = false; // every line of the layout was read
};

LoadResult loadSettingsFile(const std::string& path, WorldState& w, SizeLines sizeLines);

// Writes a temporary file in the same folder and renames it over `path`; on
// any failure the temporary is removed and `path` is left as it was.
bool writeSettingsFileAtomically(const std::string& path, const WorldState& w);
