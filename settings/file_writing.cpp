#include "settings/file_writing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

void failWritesPastTheFileSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

mode_t usualMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool writeWhole(int fd, const std::string& text) {
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

bool writeTemporary(const std::string& pattern, const std::string& text, mode_t mode, std::string& temporary) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    // mkstemp makes the file private.
    const bool written = fchmod(fd, mode) == 0 && writeWhole(fd, text) && fsync(fd) == 0;
    if (closeAfter(fd, written)) {
        temporary = name.data();
        return true;
    }
    const int error = errno;
    unlink(name.data());
    errno = error;
    return false;
}

bool replaceAtomically(const std::string& path, const std::string& text, mode_t mode) {
    std::string temporary;
    if (!writeTemporary(path + ".XXXXXX", text, mode, temporary)) return false;
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    const int error = errno;
    unlink(temporary.c_str());
    errno = error;
    return false;
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

bool userMayWrite(const std::string& path) {
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
    return fd >= 0 && closeAfter(fd, writeWhole(fd, text));
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

int openOutputStream(const std::string& path, std::string& failure) {
    struct stat info;
    const bool exists = stat(path.c_str(), &info) == 0;
    const std::string target = followLinks(path);
    int fd = -1;
    if (exists && S_ISDIR(info.st_mode))
        errno = EISDIR;
    else if (exists && !S_ISREG(info.st_mode))
        failure = "not a regular file";
    else if (!target.empty() && userMayWrite(folderOf(target)) && (!exists || userMayWrite(target)))
        fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, usualMode());
    if (fd < 0 && failure.empty()) failure = std::strerror(errno);
    return fd;
}
