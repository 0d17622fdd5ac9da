#include "settings_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

LoadResult loadSettingsFile(const std::string& path, WorldState& w, SizeLines sizeLines) {
    LoadResult result;
    std::ifstream in(path);
    if (!in) return result;
    result.opened = true;
    result.valuesTaken = readSettings(in, w, sizeLines);
    result.complete = result.valuesTaken == settingsLineCount(w.particleCount);
    return result;
}

// mkstemp makes the file private; a settings file should get the permissions
// any other new file of the user gets.
static void giveUsualPermissions(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

bool writeSettingsFileAtomically(const std::string& path, const WorldState& w) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    giveUsualPermissions(fd);
    close(fd);
    const std::string temporary(name.data());
    std::ofstream out(temporary, std::ios::trunc);
    writeSettings(out, w);
    out.close();
    if (!out || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
