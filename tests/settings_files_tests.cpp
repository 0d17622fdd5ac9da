#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "settings/settings_files.h"
#include "tests/temporary_folder.h"

namespace {
class SettingsFiles : public ::testing::Test {
protected:
    TemporaryFolder folder;

    std::vector<std::string> entries() {
        std::vector<std::string> names;
        DIR* dir = opendir(folder.path().c_str());
        while (dirent* e = readdir(dir))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        closedir(dir);
        return names;
    }
    static std::string contents(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(SettingsFiles, AtomicWriteLeavesOnlyTheFinishedFile) {
    WorldState w;
    w.particleCount = 2;
    w.particles[1].x = 0.25;
    const std::string path = folder / "0.txt";
    { std::ofstream old(path); old << "old contents\n"; }
    ASSERT_TRUE(writeSettingsFileAtomically(path, w));
    std::ostringstream expected;
    writeSettings(expected, w);
    EXPECT_EQ(contents(path), expected.str());
    EXPECT_EQ(entries(), std::vector<std::string>{"0.txt"});
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST_F(SettingsFiles, AtomicWriteIntoAMissingFolderFails) {
    EXPECT_FALSE(writeSettingsFileAtomically(folder / "missing/0.txt", WorldState{}));
    EXPECT_TRUE(entries().empty());
}

TEST_F(SettingsFiles, LoadTellsMissingCompleteAndCutFilesApart) {
    WorldState w;
    w.particleCount = 0;
    LoadResult r = loadSettingsFile(folder / "none.txt", w, SizeLines::Window);
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(w.particleCount, 0);

    WorldState saved;
    saved.particleCount = 3;
    saved.windowWidth = 700;
    ASSERT_TRUE(writeSettingsFileAtomically(folder / "1.txt", saved));
    r = loadSettingsFile(folder / "1.txt", w, SizeLines::Requested);
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.valuesTaken, 174);
    EXPECT_EQ(w.requestedWidth, 700);

    const std::string text = contents(folder / "1.txt");
    { std::ofstream cut(folder / "2.txt"); cut << text.substr(0, text.size() - 2); }
    r = loadSettingsFile(folder / "2.txt", w, SizeLines::Window);
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.valuesTaken, 173);
}

// A named pipe or a device could keep a program with windows waiting for
// input without end: those readers refuse them at once, as a missing file.
// The batch runner reads them, and a folder is refused by everyone.
TEST_F(SettingsFiles, OnlyTheBatchRunnerReadsPipesAndDevices) {
    ASSERT_TRUE(writeSettingsFileAtomically(folder / "1.txt", WorldState{}));
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((folder / "dir").c_str(), 0700), 0);
    alarm(20);   // a reader left waiting ends the test instead of hanging it
    struct Row {
        std::string path;
        bool opensForWindows, opensForBatch;
    } rows[] = {
        {folder / "1.txt", true, true},
        {folder / "dir", false, false},
        {"/dev/null", false, true},
        {folder / "pipe", false, true},
    };
    for (const Row& row : rows) {
        WorldState w;
        EXPECT_EQ(loadSettingsFile(row.path, w, SizeLines::Window).opened, row.opensForWindows) << row.path;
        std::thread writer;
        if (row.path == folder / "pipe") writer = std::thread([&] { std::ofstream(row.path) << contents(folder / "1.txt"); });
        const LoadResult r = loadSettingsFile(row.path, w, SizeLines::Window, OtherFiles::Used);
        if (writer.joinable()) writer.join();
        EXPECT_EQ(r.opened, row.opensForBatch) << row.path;
        EXPECT_EQ(r.complete, row.path != "/dev/null" && row.opensForBatch) << row.path;
    }
    alarm(0);
}
}  // namespace
