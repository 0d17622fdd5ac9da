// partivox --record: a row per displayed frame, on disk as soon as it is
// made, and a write that fails ends the recording, not the simulation.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/conserved_quantities.h"
#include "sim/conserved_series.h"
#include "tests/full_disk.h"
#include "tests/temporary_folder.h"
#include "tests/ui_fake_seam.h"
#include "ui/recording.h"
#include "ui/run_state.h"

namespace {
std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
}

// Two charges circling in a magnetic field, shown every third step; the
// panel's quantities are not asked for and hold a mark.
void twoCharges() {
    resetFrontEnd();
    world.particleCount = 2;
    world.particles[0] = {100, 100, 1, 0, 2, 1, 0, 0, 0, 10, 1};
    world.particles[1] = {130, 100, 0, 0.5, 1, -1, 0, 0, 0, 10, 1};
    world.magneticField = 0.05f;
    world.coulombStrength = 10;
    world.displayInterval = 3;
    for (float& v : world.conservedValues) v = 7;
}

std::string rowNow(long long step) {
    float values[Conserved::Count];
    computeConservedQuantitiesInto(values);
    std::string row = seriesRow(step, step * static_cast<double>(world.simulationSpeed), values);
    row.pop_back();
    return row;
}
}  // namespace

TEST(Recording, ARowPerDisplayedFrameWrittenAtOnceWhateverThePanelShows) {
    TemporaryFolder folder;
    twoCharges();
    ASSERT_EQ(startRecording(folder / "r.csv"), "");
    std::vector<std::string> expected = {seriesHeader().substr(0, seriesHeader().size() - 1), rowNow(0)};
    recordFrame(0);
    for (int frame = 1; frame <= 2; ++frame) {
        for (int s = 0; s < 3; ++s) idleStep();
        expected.push_back(rowNow(3 * frame));
        EXPECT_EQ(lines(folder / "r.csv"), expected) << "after frame " << frame;
    }
    for (float v : world.conservedValues) EXPECT_EQ(v, 7);
    EXPECT_TRUE(recording());
}

// Refused at the start: one reason each; a file that was there stays.
TEST(Recording, FilesThatCannotBeWrittenAreRefusedAtTheStart) {
    TemporaryFolder folder;
    ASSERT_EQ(mkdir((folder / "readonly").c_str(), 0555), 0);
    { std::ofstream f(folder / "kept.csv"); f << "keep\n"; }
    chmod((folder / "kept.csv").c_str(), 0444);
    const struct {
        std::string path;
        const char* reason;
    } refused[] = {
        {folder / "readonly/r.csv", "Permission denied"},
        {folder / "missing/r.csv", "No such file"},
        {folder.path().string(), "Is a directory"},
        {folder / "kept.csv", "Permission denied"},
        {"/dev/full", "not a regular file"},
    };
    for (const auto& r : refused) {
        const std::string failure = startRecording(r.path);
        EXPECT_NE(failure.find(r.reason), std::string::npos) << r.path << ": " << failure;
        EXPECT_FALSE(recording()) << r.path;
    }
    EXPECT_EQ(lines(folder / "kept.csv"), std::vector<std::string>{"keep"});
}

// A full disk in the middle of a run: one line, the rows before it stay,
// and the particles move on.
TEST(Recording, AFailedWriteEndsTheRecordingWithOneLine) {
    TemporaryFolder folder;
    twoCharges();
    ASSERT_EQ(startRecording(folder / "r.csv"), "");
    recordFrame(0);
    const double x = world.particles[0].x;
    const std::string said = stderrOfWritingWithin(seriesHeader().size() + rowNow(0).size() + 20, [] {
        for (int s = 0; s < 9; ++s) idleStep();
    });
    EXPECT_EQ(said, "partivox: recording to '" + (folder / "r.csv") + "' stopped: File too large\n");
    EXPECT_FALSE(recording());
    EXPECT_EQ(lines(folder / "r.csv").size(), 2u);
    EXPECT_NE(world.particles[0].x, x);
}
