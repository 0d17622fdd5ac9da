// The buttons "設定の保存" and "設定の読込": numbered settings files
// "data/N.txt" below the working directory.
#pragma once

#include <string>

// Writes the world to the lowest free number and shows that number in
// "ファイル番号". When no file can be made in data/ nothing is written, the
// number stays and one line on standard error says why.
void saveSettings(int id);
// Loads "data/N.txt" for N in "ファイル番号"; a missing file changes nothing.
void loadSettings(int id);
// Loads a settings file by path as the button does, with every refresh of
// the panels and the window size; false (and nothing changed) when it
// cannot be opened.
bool loadSettingsFrom(const std::string& path);
// Whether loadSettingsFrom could open the file: a regular file it may read.
bool settingsFileOpens(const std::string& path);
