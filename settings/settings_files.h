// Settings files by name: loading one into a record, and writing one so that
// a reader never sees it half written.
#pragma once

#include <ext/stdio_filebuf.h>

#include <istream>
#include <memory>
#include <string>

#include "settings/file_writing.h"
#include "settings/settings_format.h"

struct LoadResult {
    bool opened = false;   // false: the file could not be opened, nothing changed
    int valuesTaken = 0;   // values stored, one per line: reading stopped at line valuesTaken + 1
    bool complete = false; // every line of the layout was read
};

// A settings file open for reading: `in` reads its values.
struct SettingsInput {
    std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> file;
    std::istream in{nullptr};
};

// Opens a settings file for reading. A directory opens as a stream here but
// holds no values: it counts as a file that cannot be opened.
bool openSettingsFile(SettingsInput& input, const std::string& path, OtherFiles others = OtherFiles::Refused);

LoadResult loadSettingsFile(const std::string& path, WorldState& w, SizeLines sizeLines,
                            OtherFiles others = OtherFiles::Refused);

// Writes a temporary file in the same folder and renames it over `path`; on
// any failure the temporary is removed, `path` is left as it was and errno
// tells why.
bool writeSettingsFileAtomically(const std::string& path, const WorldState& w);

struct NumberedSave {
    bool written = false;
    int number = 0;   // N of the file written
    int error = 0;    // errno of the failure when nothing was written
};

// Writes w completely under a temporary name in `folder`, then gives it the
// lowest number N from 0 on for which "folder/N.txt" does not exist. A name
// that appears meanwhile is never replaced or appended to (the next number is
// taken), and a file is never seen half written under a number. A folder
// that is missing or not writable gets nothing, not even a temporary; one
// without any write permission bit counts as not writable for the superuser too.
NumberedSave saveToFreeNumber(const std::string& folder, const WorldState& w);

// writeOutputFile with the settings file of w, for the command-line tools.
std::string writeSettingsOutput(const std::string& path, const WorldState& w);
