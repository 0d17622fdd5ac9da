// A full disk for tests that write files, stood in for by the process's file
// size limit: a write beyond it fails with EFBIG instead of ending the
// process.
#pragma once

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <string>

// Runs action with the file size limit at `bytes` (0: as it is) and returns
// what it printed on standard error.
inline std::string stderrOfWritingWithin(rlim_t bytes, const std::function<void()>& action)
{
    std::signal(SIGXFSZ, SIG_IGN);
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
