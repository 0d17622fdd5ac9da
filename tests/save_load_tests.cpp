#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/settings_format.h"
#include "sim/world_state.h"
#include "tests/full_disk.h"
#include "tests/temporary_folder.h"
#include "tests/ui_fake_seam.h"
#include "ui/run_state.h"
#include "ui/save_load.h"

namespace fs = std::filesystem;

namespace {
using Calls = std::vector<std::string>;

class SaveLoad : public ::testing::Test {
protected:
    WorkingFolder folder;
    void SetUp() override {
        resetFrontEnd();
        fs::create_directory("data");
    }
    static void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    static std::string contents(const std::string& path) {
        std::ostringstream s;
        s << std::ifstream(path).rdbuf();
        return s.str();
    }
    static std::vector<std::string> entries(const std::string& dir) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string saved(const WorldState& w) {
        std::ostringstream s;
        writeSettings(s, w);
        return s.str();
    }
};
}  // namespace

TEST_F(SaveLoad, SaveTakesTheLowestFreeNumberAndShowsIt) {
    writeFile("data/0.txt", "zero");
    writeFile("data/2.txt", "two");
    world.fileNumber = 7;
    saveSettings(0);
    EXPECT_EQ(world.fileNumber, 1);
    saveSettings(0);
    EXPECT_EQ(world.fileNumber, 3);
    EXPECT_EQ(fakeSeam::calls, (Calls{"sync", "sync"}));
    EXPECT_EQ(entries("data"), (std::vector<std::string>{"0.txt", "1.txt", "2.txt", "3.txt"}));
    EXPECT_EQ(contents("data/0.txt"), "zero");
    EXPECT_EQ(contents("data/2.txt"), "two");
    EXPECT_EQ(contents("data/3.txt"), saved(world));
}

// An existing name of any kind is passed over and left as it is: a link to
// a missing file is not written through.
TEST_F(SaveLoad, SaveNeverWritesThroughAnExistingName) {
    fs::create_symlink("elsewhere.txt", "data/0.txt");
    fs::create_directory("data/1.txt");
    saveSettings(0);
    EXPECT_EQ(world.fileNumber, 2);
    EXPECT_FALSE(fs::exists("data/elsewhere.txt"));
    EXPECT_TRUE(fs::is_directory("data/1.txt"));
    EXPECT_EQ(entries("data"), (std::vector<std::string>{"0.txt", "1.txt", "2.txt"}));
}

// Without a usable data folder the search for a number could never end; the
// save writes nothing anywhere and says so in one line. A full disk must not
// leave a cut-off file that a later load would take: a file size limit of
// 200 bytes stands in for it (an empty world's file is about 400 bytes).
TEST_F(SaveLoad, SaveWithoutAUsableDataFolderWritesNothingAndSaysSo) {
    struct Row {
        const char* what;
        void (*prepare)();
        rlim_t fileSizeLimit;   // 0: none
    };
    const Row rows[] = {
        {"missing", [] { fs::remove("data"); }, 0},
        {"a plain file", [] { fs::remove("data"); writeFile("data", ""); }, 0},
        {"read-only, even for the superuser", [] { fs::permissions("data", fs::perms::owner_read | fs::perms::owner_exec); }, 0},
        {"full", [] {}, 200},
    };
    for (const Row& row : rows) {
        fs::remove_all("data");
        fs::create_directory("data");
        row.prepare();
        fakeSeam::calls.clear();
        world.fileNumber = 5;
        const auto before = entries(".");
        const std::string message = stderrOfWritingWithin(row.fileSizeLimit, [] { saveSettings(0); });
        EXPECT_EQ(world.fileNumber, 5) << row.what;
        EXPECT_TRUE(fakeSeam::calls.empty()) << row.what;
        EXPECT_EQ(entries("."), before) << row.what;
        if (fs::is_directory("data")) {
            EXPECT_TRUE(entries("data").empty()) << row.what;
        }
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << row.what << ": " << message;
        std::error_code ignored;
        fs::permissions("data", fs::perms::owner_all, fs::perm_options::add, ignored);
    }
}

TEST_F(SaveLoad, SaveThenLoadRestoresEveryValueAndTheWindowSize) {
    world.particleCount = 2;
    world.particles[1] = {1.25, 2, 3, 4, 5, 6, 0.5, 0.25, 0.125, 9, 0.1};
    world.simulationSpeed = 0.3f;
    world.windowWidth = 640;
    world.windowHeight = 480;
    world.pairSlots[4] = {5, 6, 0.1, 0.2, 0.3, 0.4};
    saveSettings(0);
    const WorldState savedWorld = world;
    resetFrontEnd();
    world.pairEditor.slotIndex = 4;
    loadSettings(0);
    EXPECT_EQ(saved(world), saved(savedWorld));
    EXPECT_EQ(world.pairEditor.c, 0.4f);
    EXPECT_EQ(fakeSeam::calls, (Calls{"sync", "formula 0 U(x,y)=-ax-by", "sync", "formula 1 U(r)=1/(1+(r-a)^2/b^2)",
                                      "sync", "sync", "redisplay", "sync", "resize 640 480"}));
}

TEST_F(SaveLoad, LoadOfAMissingNumberChangesNothing) {
    world.fileNumber = 4;
    world.requestedWidth = 300;
    loadSettings(0);
    EXPECT_TRUE(fakeSeam::calls.empty());
    EXPECT_EQ(world.requestedWidth, 300);
    EXPECT_FALSE(loadSettingsFrom("data/none.txt"));
}

// A file that stops after the particle count takes the header and the count,
// keeps the particle values and slots, and still refreshes everything.
TEST_F(SaveLoad, AShortFileStillRunsTheRefreshSteps) {
    std::ostringstream header;
    const char* lines[] = {"0.5", "3", "0.02", "0", "320", "1", "0", "0", "0", "0", "0",
                           "0", "1", "0", "0", "0", "0", "100", "5", "-10", "2"};
    for (const char* line : lines) header << line << '\n';
    writeFile("data/0.txt", header.str());
    world.particles[1].x = 77;
    world.externalSlots[0].shape = 3;
    world.infoParticleIndex = 4;
    world.editParticleIndex = 5;
    loadSettings(0);
    EXPECT_EQ(world.particleCount, 2);
    EXPECT_EQ(world.displayInterval, 3);
    EXPECT_EQ(world.particles[1].x, 77);
    EXPECT_EQ(world.infoParticleIndex, 0);
    EXPECT_EQ(world.editParticleIndex, 0);
    EXPECT_EQ(world.infoValues.x, static_cast<float>(world.particles[0].x));
    EXPECT_EQ(world.externalEditor.shape, 3);
    EXPECT_EQ(world.requestedWidth, 500);   // 0 in the file: the width stays
    EXPECT_EQ(fakeSeam::calls.back(), "resize 500 320");
}

// A count outside the table is refused at its line: nothing past it is read.
TEST_F(SaveLoad, ACountBeyondTheTableIsNotLoaded) {
    std::istringstream lines(saved(WorldState{}));
    std::ostringstream text;
    int number = 1;
    for (std::string line; std::getline(lines, line); ++number) text << (number == 21 ? "1001" : line) << '\n';
    writeFile("data/0.txt", text.str());
    world.particleCount = 6;
    loadSettings(0);
    EXPECT_EQ(world.particleCount, 6);
    EXPECT_EQ(fakeSeam::calls.back(), "resize 500 500");
}

// Loading particles into an empty table resumes the simulation exactly when
// adding the first particle would; loading an empty table stops it like
// removing the last. A paused simulation, or one whose graph is shown, stays
// stopped; a count that stays on one side of zero leaves the run state alone.
TEST_F(SaveLoad, ALoadThatFillsOrEmptiesTheTableActsLikeAddingOrRemoving) {
    struct Row {
        const char* name;
        int before, loaded;
        bool paused;
        int graph;
        void (*idleBefore)();
        void (*idleAfter)();
    };
    const Row rows[] = {
        {"scene into an empty table", 0, 2, false, 0, nullptr, idleStep},
        {"scene into an empty table while paused", 0, 2, true, 0, nullptr, nullptr},
        {"scene into an empty table with the graph shown", 0, 2, false, 1, nullptr, nullptr},
        {"empty table over a running scene", 3, 0, false, 0, idleStep, nullptr},
        {"scene over a running scene", 3, 2, false, 0, idleStep, idleStep},
        {"scene over a paused scene", 3, 2, true, 0, nullptr, nullptr},
        {"empty table over an empty table", 0, 0, false, 0, nullptr, nullptr},
    };
    for (const Row& row : rows) {
        WorldState file;
        file.particleCount = row.loaded;
        writeFile("data/0.txt", saved(file));
        resetFrontEnd();
        world.particleCount = row.before;
        world.paused = row.paused;
        world.showGraph = row.graph;
        fakeSeam::idleRoutine = row.idleBefore;
        loadSettings(0);
        EXPECT_EQ(fakeSeam::idleRoutine, row.idleAfter) << row.name;
    }
}
