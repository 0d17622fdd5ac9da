// The read-only files the programs are installed with: the label font and
// the example scenes.
#pragma once

#include <filesystem>

// The folder that holds them: share/partivox beside the running program's
// bin/, so a tree unpacked or installed under any prefix finds its own files.
std::filesystem::path installedDataFolder();
