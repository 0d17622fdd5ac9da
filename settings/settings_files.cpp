#include "settings/settings_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

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

// The permissions any other new file of the user gets.
static mode_t usualMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// False with errno set when any byte could not be written.
static bool writeAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Closing reports errors that a write on some file systems only queues;
// errno keeps the first failure.
static bool closeAfter(int fd, bool written) {
    const int error = errno;
    if (close(fd) != 0 && written) return false;
    errno = error;
    return written;
}

// Writes text under a fresh name made from `pattern` (ending in XXXXXX) with
// the given permissions; on failure nothing is left behind and errno tells why.
static bool writeTemporary(const std::string& pattern, const std::string& text, mode_t mode,
                           std::string& temporary) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    // mkstemp makes the file private.
    const bool written = fchmod(fd, mode) == 0 && writeAll(fd, text) && fsync(fd) == 0;
    if (closeAfter(fd, written)) {
        temporary = name.data();
        return true;
    }
    const int error = errno;
    unlink(name.data());
    errno = error;
    return false;
}

static bool replaceAtomically(const std::string& path, const std::string& text, mode_t mode) {
    std::string temporary;
    if (!writeTemporary(path + ".XXXXXX", text, mode, temporary)) return false;
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    const int error = errno;
    unlink(temporary.c_str());
    errno = error;
    return false;
}

bool writeSettingsFileAtomically(const std::string& path, const WorldState& w) {
    return replaceAtomically(path, settingsText(w), usualMode());
}

// The file a chain of symbolic links finally names (the path itself when it
// is no link); "" with errno set for a loop or a link that cannot be read.
static std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), target, sizeof target);
        if (n < 0) return "";
        std::string next(target, static_cast<size_t>(n));
        const std::string::size_type slash = path.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        path = next;
    }
    errno = ELOOP;
    return "";
}

// The superuser passes every access check; a file or folder without any
// write permission bit still says "do not write here".
// False with errno set.
static bool userMayWrite(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || access(path.c_str(), W_OK) != 0) return false;
    if (geteuid() != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0) return true;
    errno = EACCES;
    return false;
}

static std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

static bool writeInPlace(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY);
    return fd >= 0 && closeAfter(fd, writeAll(fd, text));
}

std::string writeOutputFile(const std::string& path, const std::string& text, OtherFiles others) {
    struct stat info;
    const bool exists = stat(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
    // A pipe or device is written where it is, opened through the links as
    // the system resolves them: /dev/stdout reaches its pipe through a link
    // that names no path.
    if (exists && !S_ISREG(info.st_mode)) {
        if (others == OtherFiles::Refused) return "not a regular file";
        return userMayWrite(path) && writeInPlace(path, text) ? "" : std::strerror(errno);
    }
    // A regular or new file is renamed into place from the folder that holds
    // the file the links end at.
    const std::string target = followLinks(path);
    if (target.empty()) return std::strerror(errno);
    if (!userMayWrite(folderOf(target)) || (exists && !userMayWrite(target))) return std::strerror(errno);
    return replaceAtomically(target, text, exists ? info.st_mode & 07777 : usualMode()) ? "" : std::strerror(errno);
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
