// The command line the programs share and the user's own folder.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "launch/command_line.h"
#include "launch/user_folder.h"
#include "temporary_folder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> ownArguments(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "partivox");
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    std::vector<std::string> own;
    for (const char* a : argumentsBesideGlut(static_cast<int>(argv.size()), argv.data())) own.push_back(a);
    return own;
}

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& file, const std::string& contents) {
    std::ofstream(file, std::ios::binary) << contents;
}

// Sets or unsets an environment variable for the life of the object.
class Environment {
public:
    Environment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Environment() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

}  // namespace

TEST(CommandLine, GlutOptionsAndTheirValuesAreSetAside) {
    const struct {
        std::vector<std::string> arguments, own;
    } cases[] = {
        {{"-display", ":1", "--help"}, {"--help"}},
        {{"a.txt", "-geometry", "10x10", "-iconic", "-direct", "-indirect", "-gldebug", "-sync", "b"}, {"a.txt", "b"}},
        {{"--user-folder", "-display", "-geometry"}, {"--user-folder"}},   // a value is taken whatever it reads like
        {{"--display", ":1", "-displayx", "-Sync"}, {"--display", ":1", "-displayx", "-Sync"}},
        {{"-display"}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ownArguments(c.arguments), c.own) << c.arguments.front();
}

TEST(CommandLine, OptionsAreADashAndALetterOrTwoDashes) {
    const struct {
        const char* argument;
        bool option;
    } cases[] = {
        {"-x", true}, {"--user-folder", true}, {"--", true}, {"-", false},
        {"-5", false}, {"-.5", false}, {"scene.txt", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isOption(c.argument), c.option) << c.argument;
}

TEST(UserFolder, FollowsXdgDataHomeOnlyWhenItIsAnAbsolutePath) {
    const struct {
        const char* dataHome;
        const char* home;
        fs::path folder;
    } cases[] = {
        {"/srv/data", "/home/kim", "/srv/data/partivox"},
        {nullptr, "/home/kim", "/home/kim/.local/share/partivox"},
        {"", "/home/kim", "/home/kim/.local/share/partivox"},
        {"relative/data", "/home/kim", "/home/kim/.local/share/partivox"},
    };
    for (const auto& c : cases) {
        Environment dataHome("XDG_DATA_HOME", c.dataHome);
        Environment home("HOME", c.home);
        EXPECT_EQ(userFolder(), c.folder) << (c.dataHome ? c.dataHome : "(unset)");
    }
}

TEST(UserFolder, ExampleScenesGoToTheirNumbersAndNeverReplaceAFile) {
    TemporaryFolder folder;
    const fs::path examples = folder.path() / "examples", data = folder.path() / "data";
    fs::create_directories(examples);
    fs::create_directories(data);
    for (const char* name : {"100-three-discs.txt", "007-seven.txt", "101-users-own.txt", "102.txt",
                             "103-.txt", "notes.txt", "104-scene.csv"})
        writeFile(examples / name, name);
    writeFile(data / "101.txt", "the user's own");

    copyExampleScenes(examples, data);

    EXPECT_EQ(contentsOf(data / "100.txt"), "100-three-discs.txt");
    EXPECT_EQ(contentsOf(data / "7.txt"), "007-seven.txt") << "the number as the file number field shows it";
    EXPECT_EQ(contentsOf(data / "101.txt"), "the user's own");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(data)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"100.txt", "101.txt", "7.txt"})) << "only NNN-name.txt is a scene";
}

TEST(UserFolder, IsMadeAndEnteredOrTheProgramSaysWhyAndStays) {
    WorkingFolder start;
    {
        Environment dataHome("XDG_DATA_HOME", (start / "share").c_str());
        enterUserFolder("partivox");
        EXPECT_EQ(fs::current_path(), start.path() / "share" / "partivox");
        EXPECT_TRUE(fs::is_directory("data"));
        EXPECT_TRUE(fs::is_directory("textdata"));
    }
    fs::current_path(start.path());
    // A file where the folder should go: root cannot create it either.
    writeFile(start / "file", "");
    Environment dataHome("XDG_DATA_HOME", (start / "file").c_str());
    testing::internal::CaptureStderr();
    enterUserFolder("partivox");
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fs::current_path(), start.path());
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_EQ(message.rfind("partivox: ", 0), 0u) << message;
    EXPECT_NE(message.find(start / "file/partivox"), std::string::npos) << message;
}
