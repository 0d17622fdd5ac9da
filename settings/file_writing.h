// Writing files so that no reader ever sees one half written, and never
// where the user may not write: the simulator's save, tabulix's annotated
// files, the batch runner's output and the font generator share these, and
// the simulator's recording follows the same rules for where it may write.
#pragma once

#include <sys/types.h>

#include <string>

// What a file named for reading or writing may be besides a regular file. A
// named pipe, a terminal or a device can keep a program waiting without end:
// a program with windows refuses them as it refuses a missing file, while a
// command-line filter reads and writes them as any such tool does.
enum class OtherFiles { Refused, Used };

// A file size limit (ulimit -f) ends a process that writes past it, leaving
// its temporary file behind and losing what was not saved. Called first thing
// by every program that writes files, so that such a write fails with EFBIG
// and takes the path of any other failed write.
void failWritesPastTheFileSizeLimit();

// The permissions any other new file of the user gets.
mode_t usualMode();

// Whether the user may write `path`. The superuser passes every access check;
// a file or folder without any write permission bit still says "do not write
// here". False with errno set.
bool userMayWrite(const std::string& path);

// Writes text under a fresh name made from `pattern` (ending in XXXXXX) with
// the given permissions; on failure nothing is left behind and errno tells
// why.
bool writeTemporary(const std::string& pattern, const std::string& text, mode_t mode, std::string& temporary);

// Writes a temporary file beside `path` and renames it over `path`; on any
// failure the temporary is removed, `path` is left as it was and errno tells
// why.
bool replaceAtomically(const std::string& path, const std::string& text, mode_t mode);

// Writes `text` to a file a user names as output. A symbolic link is
// followed to the file it names; a regular file (or a new one) is replaced
// atomically, keeping its permissions; a device or pipe is written in place
// where `others` lets it be used, and refused otherwise. A directory, and a
// file the user may not write, are refused, even for the superuser. Returns
// "" on success, otherwise why it failed; a refused or failed write never
// leaves a partial file at `path`.
std::string writeOutputFile(const std::string& path, const std::string& text,
                            OtherFiles others = OtherFiles::Refused);

// Opens a file a user names as output that is written piece by piece as it
// comes (a recording), so that what was written survives a crash: a new file
// gets the usual permissions, an existing one is emptied, a symbolic link is
// followed. A directory, a pipe or device (which could keep a program with
// windows waiting), a missing folder and a file or folder the user may not
// write are refused, even for the superuser. Returns the descriptor, or -1
// with `failure` saying why.
int openOutputStream(const std::string& path, std::string& failure);

// Writes all of `text` at the descriptor's position; false with errno set.
bool writeWhole(int fd, const std::string& text);
