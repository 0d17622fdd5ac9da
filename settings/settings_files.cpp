#include "settings/settings_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
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

// Writes w under a fresh name made from `pattern` (ending in XXXXXX); on
// failure nothing is left behind and errno tells why.
static bool writeTemporary(const std::string& pattern, const WorldState& w, std::string& temporary) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    giveUsualPermissions(fd);
    close(fd);
    temporary = name.data();
    std::ofstream out(temporary, std::ios::trunc);
    writeSettings(out, w);
    out.close();
    if (!out) {
        const int error = errno != 0 ? errno : EIO;
        std::remove(temporary.c_str());
        errno = error;
        return false;
    }
    return true;
}

bool writeSettingsFileAtomically(const std::string& path, const WorldState& w) {
    std::string temporary;
    if (!writeTemporary(path + ".XXXXXX", w, temporary)) return false;
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// Renames without replacing; where the file system cannot do that in one
// step, a hard link does the same. 0 on success, otherwise the errno
// (EEXIST: the name is taken).
static int publishWithoutReplacing(const std::string& temporary, const std::string& path) {
    if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (link(temporary.c_str(), path.c_str()) != 0) return errno;
    unlink(temporary.c_str());
    return 0;
}

NumberedSave saveToFreeNumber(const std::string& folder, const WorldState& w) {
    NumberedSave result;
    std::string temporary;
    if (!writeTemporary(folder + "/.saving-XXXXXX", w, temporary)) {
        result.error = errno;
        return result;
    }
    for (int n = 0;; ++n) {
        const int error = publishWithoutReplacing(temporary, folder + "/" + std::to_string(n) + ".txt");
        if (error == 0) {
            result.written = true;
            result.number = n;
            return result;
        }
        if (error != EEXIST) {
            result.error = error;
            break;
        }
        if (n == std::numeric_limits<int>::max()) {
            result.error = EEXIST;
            break;
        }
    }
    std::remove(temporary.c_str());
    return result;
}
