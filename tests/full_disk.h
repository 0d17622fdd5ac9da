// A full disk for tests that write files, stood in for by the process's file
// size limit: a write beyond it fails with EFBIG in a process that ignores
// SIGXFSZ, as the programs do from their start, and ends any other.
#pragma once

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <functional>
#include <string>

#include "settings/file_writing.h"

// Runs action with the file size limit at `bytes` (0: as it is), which the
// programs it starts inherit, and returns what it printed on standard error.
inline std::string stderrUnderFileSizeLimit(rlim_t bytes, const std::function<void()>& action)
{
    rlimit unlimited;
    getrlimit(RLIMIT_FSIZE, &unlimited);
    testing::internal::CaptureStderr();
    if (bytes != 0) {
        const rlimit small = {bytes, unlimited.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    action();
    setrlimit(RLIMIT_FSIZE, &unlimited);
    return testing::internal::GetCapturedStderr();
}

// The same for code tested without its program's start-up.
inline std::string stderrOfWritingWithin(rlim_t bytes, const std::function<void()>& action)
{
    failWritesPastTheFileSizeLimit();
    return stderrUnderFileSizeLimit(bytes, action);
}
