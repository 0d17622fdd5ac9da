// The folder a program started from the menu works in. A desktop starts
// programs in whatever folder it likes (the home folder, or /), where data/
// and textdata/ are missing or belong to something else; the user's own
// folder keeps every save in one place from the first start on.
#pragma once

#include <filesystem>

// ${XDG_DATA_HOME:-~/.local/share}/partivox; XDG_DATA_HOME counts only when
// it is an absolute path. Empty when there is no home folder either.
std::filesystem::path userFolder();

// Creates the user's folder with data/ and textdata/ where missing, gives it
// the example scenes the user does not have, and makes it the working
// folder. A folder that cannot be made or entered gives one line on standard
// error, and the program stays in the current folder.
void enterUserFolder(const char* program);

// Copies each example scene NNN-short-name.txt of `examples` to
// `data`/NNN.txt, the number "ファイル番号" loads it by, unless a file of that
// name exists: a user's own file is never replaced.
void copyExampleScenes(const std::filesystem::path& examples, const std::filesystem::path& data);
