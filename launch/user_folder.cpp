#include "launch/user_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "launch/installed_files.h"

namespace fs = std::filesystem;

namespace {

fs::path homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr ? fs::path(entry->pw_dir) : fs::path();
}

// The scene's number: the digits before the first dash of NNN-short-name.txt.
// Empty for any other name.
std::string sceneNumber(const fs::path& file) {
    static const std::regex scene("([0-9]{1,9})-.+\\.txt");
    std::smatch match;
    const std::string name = file.filename().string();
    if (!std::regex_match(name, match, scene)) return "";
    return std::to_string(std::stoll(match[1].str()));
}

// Makes the folder with both subfolders and enters it; the first failure.
std::error_code makeAndEnter(const fs::path& folder) {
    std::error_code error;
    if (folder.empty()) return std::make_error_code(std::errc::no_such_file_or_directory);
    for (const char* subfolder : {"data", "textdata"}) {
        fs::create_directories(folder / subfolder, error);
        if (error) return error;
    }
    fs::current_path(folder, error);
    return error;
}

}  // namespace

fs::path userFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && fs::path(dataHome).is_absolute()) return fs::path(dataHome) / "partivox";
    const fs::path home = homeFolder();
    return home.empty() ? home : home / ".local" / "share" / "partivox";
}

void copyExampleScenes(const fs::path& examples, const fs::path& data) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(examples, error)) {
        const std::string number = sceneNumber(entry.path());
        if (number.empty()) continue;
        // copy_file without overwrite creates the target exclusively: a file
        // of that name, a user's or one made meanwhile, stays as it is.
        std::error_code exists;
        fs::copy_file(entry.path(), data / (number + ".txt"), fs::copy_options::none, exists);
    }
}

void enterUserFolder(const char* program) {
    const fs::path folder = userFolder();
    const std::error_code error = makeAndEnter(folder);
    if (error) {
        std::fprintf(stderr, "%s: cannot work in %s: %s; working in the current folder\n", program,
                     folder.empty() ? "a user folder (no home folder)" : folder.c_str(), error.message().c_str());
        return;
    }
    copyExampleScenes(installedDataFolder() / "examples", "data");
}
