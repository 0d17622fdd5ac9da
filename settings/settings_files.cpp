#include "settings/settings_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <sstream>

static bool readable(const struct stat& info, OtherFiles others) {
    return S_ISREG(info.st_mode) || (others == OtherFiles::Used && !S_ISDIR(info.st_mode));
}

// Where only regular files are read, anything else is refused before it is
// opened (opening a device can act on it), and the open itself does not
// wait: a plain open of a named pipe put there meanwhile would wait for a
// writer.
bool openSettingsFile(SettingsInput& input, const std::string& path, OtherFiles others) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !readable(info, others)) return false;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | (others == OtherFiles::Refused ? O_NONBLOCK : 0));
    if (fd < 0) return false;
    if (fstat(fd, &info) != 0 || !readable(info, others) || fcntl(fd, F_SETFL, 0) != 0) {
        close(fd);
        return false;
    }
    input.file = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, std::ios::in);
    input.in.rdbuf(input.file.get());
    return true;
}

LoadResult loadSettingsFile(const std::string& path, WorldState& w, SizeLines sizeLines, OtherFiles others) {
    LoadResult result;
    SettingsInput input;
    if (!openSettingsFile(input, path, others)) return result;
    result.opened = true;
    result.valuesTaken = readSettings(input.in, w, sizeLines);
    result.complete = result.valuesTaken == settingsLineCount(w.particleCount);
    return result;
}

static std::string settingsText(const WorldState& w) {
    std::ostringstream text;
    writeSettings(text, w);
    return text.str();
}

bool writeSettingsFileAtomically(const std::string& path, const WorldState& w) {
    return replaceAtomically(path, settingsText(w), usualMode());
}

std::string writeSettingsOutput(const std::string& path, const WorldState& w) {
    return writeOutputFile(path, settingsText(w), OtherFiles::Used);
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
    if (!userMayWrite(folder) || !writeTemporary(folder + "/.saving-XXXXXX", settingsText(w), usualMode(), temporary)) {
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
