#include "launch/installed_files.h"

std::filesystem::path installedDataFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (program.parent_path() / DATA_FROM_PROGRAM).lexically_normal();
}
