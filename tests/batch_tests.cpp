// Drives the real partivox-batch program, as scripts do.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/settings_files.h"
#include "sim/boundaries.h"
#include "sim/conserved_quantities.h"
#include "sim/time_step.h"
#include "sim/world_init.h"
#include "tests/full_disk.h"
#include "tests/temporary_folder.h"

namespace {
struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

class Batch : public ::testing::Test {
protected:
    TemporaryFolder folder;

    std::string path(const std::string& name) { return folder / name; }

    Outcome run(const std::string& arguments, const std::string& standardOutput = "") {
        const std::string out = standardOutput.empty() ? path("stdout") : standardOutput;
        const std::string command = std::string(BATCH_PROGRAM) + " " + arguments + " >'" + out + "' 2>'" +
                                    path("stderr") + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, contents(path("stdout")), contents(path("stderr"))};
    }

    void expectRefused(const std::string& arguments, const std::string& mention = "",
                       const std::string& standardOutput = "") {
        const Outcome o = run(arguments, standardOutput);
        EXPECT_EQ(o.status, 2) << arguments;
        EXPECT_EQ(o.err.rfind("partivox-batch: ", 0), 0u) << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_NE(o.err.find(mention), std::string::npos) << o.err;
        // Neither the file nor a temporary of it.
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            EXPECT_NE(entry.path().filename().string().rfind("out.txt", 0), 0u) << arguments;
    }
};

// 200 particles with every slot kind active, a periodic axis whose pairs
// interact across the edge and a soft-walled one.
WorldState busyWorld() {
    world = WorldState{};
    WorldState& w = world;
    w.particleCount = 200;
    std::srand(7);
    initWorld();
    for (int i = 0; i < w.particleCount; ++i) {
        w.particles[i].mass = 1 + (i % 3);
        w.particles[i].charge = i % 2 ? 1 : -1;
        w.particles[i].dissipation = 0.5 + 0.1 * (i % 5);
    }
    w.boundaryX = static_cast<int>(BoundaryMode::PeriodicInteracting);
    w.boundaryY = static_cast<int>(BoundaryMode::WallPrecise);
    w.magneticField = 0.05f;
    w.dragCoefficient = 0.01f;
    w.terminalSpeed = 0.5f;
    w.gravityY = 0.01f;
    w.electricX = 0.01f;
    w.coulombStrength = 10;
    w.coulombSoftening = 3;
    auto kind = [](PotentialKind k) { return static_cast<int>(k); };
    auto ext = [](ExternalShape s) { return static_cast<int>(s); };
    auto pair = [](PairShape s) { return static_cast<int>(s); };
    w.externalSlots[0] = {kind(PotentialKind::ChargeProportional), ext(ExternalShape::QuadraticX), 1e-4, 250, 0, 0};
    w.externalSlots[1] = {kind(PotentialKind::MassProportional), ext(ExternalShape::TanhY), 0.5, 250, 50, 0};
    w.externalSlots[2] = {kind(PotentialKind::EnergyDissipation), ext(ExternalShape::QuadraticY), 1e-6, 250, 0, 0};
    w.externalSlots[3] = {kind(PotentialKind::MassProportional), ext(ExternalShape::UniformField), 0.01, 0.2, 0.1, 0};
    w.pairSlots[0] = {kind(PotentialKind::ChargeProportional), pair(PairShape::Power), 0.5, -1, 10, 0};
    w.pairSlots[1] = {kind(PotentialKind::MassProportional), pair(PairShape::Morse), 1, 15, 5, 0};
    w.pairSlots[2] = {kind(PotentialKind::EnergyDissipation), pair(PairShape::Gaussian), 0.01, 0, 10, 0};
    w.pairSlots[3] = {kind(PotentialKind::RelativeVelocityDissipation), pair(PairShape::Lorentzian), 0.01, 0, 10, 0};
    w.pairSlots[4] = {kind(PotentialKind::AngularMomentumDissipation), pair(PairShape::Tanh), 0.01, 10, 3, 0};
    w.pairSlots[5] = {kind(PotentialKind::MassProportional), pair(PairShape::PowerExp), 0.1, 1, 10, 20};
    w.pairSlots[6] = {kind(PotentialKind::ChargeProportional), pair(PairShape::ChargedSphere), 1, 5, 0, 0};
    return w;
}

TEST_F(Batch, SameFileAndStepsGiveTheSameBytesWhateverTheThreadCount) {
    ASSERT_TRUE(writeSettingsFileAtomically(path("in.txt"), busyWorld()));
    const Outcome one = run("'" + path("in.txt") + "' '" + path("one.txt") + "' 100 --threads 1");
    const Outcome two = run("'" + path("in.txt") + "' '" + path("two.txt") + "' 100 --threads 2");
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(two.status, 0) << two.err;
    const std::string result = contents(path("one.txt"));
    EXPECT_EQ(result, contents(path("two.txt")));
    EXPECT_NE(result, contents(path("in.txt")));

    // The same as the simulator's idle routine does to the particles.
    world = WorldState{};
    ASSERT_TRUE(loadSettingsFile(path("in.txt"), world, SizeLines::Window).complete);
    for (int s = 0; s < 100; ++s) {
        advanceStep();
        applyBoundaries();
    }
    std::ostringstream expected;
    writeSettings(expected, world);
    EXPECT_EQ(result, expected.str());
    EXPECT_NE(one.err.find("steps per second: "), std::string::npos) << one.err;
    EXPECT_NE(one.err.find("pair interactions per second: "), std::string::npos) << one.err;
}

TEST_F(Batch, ConservedQuantitiesOfAFile) {
    world = WorldState{};
    world.particleCount = 2;
    world.particles[0] = {100, 100, 1, 0, 2, 1, 0, 0, 0, 10, 1};
    world.particles[1] = {110, 100, 0, 0, 1, -1, 0, 0, 0, 10, 1};
    world.magneticField = 0.5f;
    world.coulombStrength = 1;
    ASSERT_TRUE(writeSettingsFileAtomically(path("in.txt"), world));
    const Outcome o = run("--conserved '" + path("in.txt") + "'");
    ASSERT_EQ(o.status, 0) << o.err;
    std::istringstream lines(o.out);
    std::vector<double> values;
    for (const char* expectedName : Conserved::names) {
        std::string name;
        double value = 0;
        ASSERT_TRUE(lines >> name >> value);
        EXPECT_EQ(name, expectedName);
        values.push_back(value);
    }
    std::string extra;
    EXPECT_FALSE(lines >> extra);
    EXPECT_EQ(values[8], -725);
    EXPECT_EQ(values[15], 0.9f);
}

TEST_F(Batch, BadArgumentsAreRefused) {
    ASSERT_TRUE(writeSettingsFileAtomically(path("in.txt"), WorldState{}));
    const std::string in = "'" + path("in.txt") + "' ";
    const std::string out = "'" + path("out.txt") + "' ";
    expectRefused("", "usage");
    expectRefused(in + out, "usage");
    expectRefused(in + out + "ten", "STEPS");
    expectRefused(in + out + "-1", "STEPS");
    expectRefused(in + out + "10x", "STEPS");
    expectRefused(in + out + "10 --threads 0", "--threads");
    expectRefused(in + out + "10 --threads", "usage");
    expectRefused(in + out + "10 --fast 2", "unknown option '--fast'");
    expectRefused("--conserved", "usage");
    expectRefused(in + out + "10 --every 5", "--every needs --series");
    expectRefused(in + out + "10 --series '" + path("s.csv") + "' --every 0", "--every");
    expectRefused(in + out + "10 --series", "usage");
    EXPECT_FALSE(exists(path("s.csv")));
}

// A row at step 0, every K steps and at the last step, each holding what the
// panel would show at that step, in digits that read back to the same float.
TEST_F(Batch, SeriesSamplesTheConservedQuantitiesOfTheRun) {
    WorldState w = busyWorld();
    w.particleCount = 20;
    ASSERT_TRUE(writeSettingsFileAtomically(path("in.txt"), w));
    const std::string in = "'" + path("in.txt") + "' ";
    ASSERT_EQ(run(in + "'" + path("plain.txt") + "' 7").status, 0);
    const Outcome o = run(in + "'" + path("out.txt") + "' 7 --series '" + path("s.csv") + "' --every 3 --threads 2");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(contents(path("out.txt")), contents(path("plain.txt")));

    std::istringstream csv(contents(path("s.csv")));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "step,time,momentum_x,momentum_y,angular_momentum,magnetic_momentum_x,magnetic_momentum_y,"
                    "magnetic_angular_momentum,total_momentum_x,total_momentum_y,total_angular_momentum,"
                    "kinetic_energy,coulomb_energy,electric_energy,gravity_energy,other_external_energy,"
                    "other_pair_energy,total_energy");
    world = WorldState{};
    ASSERT_TRUE(loadSettingsFile(path("in.txt"), world, SizeLines::Window).complete);
    int done = 0;
    for (int sampled : {0, 3, 6, 7}) {
        for (; done < sampled; ++done) {
            advanceStep();
            applyBoundaries();
        }
        computeConservedQuantities();
        ASSERT_TRUE(std::getline(csv, line)) << "row of step " << sampled;
        std::istringstream row(line);
        std::string cell;
        std::getline(row, cell, ',');
        EXPECT_EQ(cell, std::to_string(sampled));
        std::getline(row, cell, ',');
        EXPECT_EQ(std::strtod(cell.c_str(), nullptr), sampled * static_cast<double>(0.1f));
        for (float expected : world.conservedValues) {
            ASSERT_TRUE(std::getline(row, cell, ','));
            EXPECT_EQ(std::strtof(cell.c_str(), nullptr), expected) << cell << " at step " << sampled;
        }
        EXPECT_FALSE(std::getline(row, cell, ',')) << line;
    }
    EXPECT_FALSE(std::getline(csv, line)) << line;
}

// The series is written like OUT and before it: where it cannot be, the run
// ends with one line, status 2 and no OUT.
TEST_F(Batch, SeriesThatCannotBeWrittenLeavesNoOutput) {
    ASSERT_TRUE(writeSettingsFileAtomically(path("in.txt"), WorldState{}));
    const std::string run = "'" + path("in.txt") + "' '" + path("out.txt") + "' 3 --series ";
    ASSERT_EQ(mkdir(path("folder").c_str(), 0555), 0);
    expectRefused(run + "/dev/full", "No space left");
    expectRefused(run + "'" + path("folder/s.csv") + "'", "Permission denied");
    expectRefused(run + "'" + path("missing/s.csv") + "'", path("missing/s.csv"));
    EXPECT_FALSE(exists(path("folder/s.csv")));
}

TEST_F(Batch, UnreadableIncompleteAndUnwritableFilesAreRefused) {
    expectRefused("'" + path("none.txt") + "' '" + path("out.txt") + "' 1", path("none.txt"));
    expectRefused("--conserved '" + folder.path().string() + "'", "cannot open");

    WorldState three;
    three.particleCount = 3;
    ASSERT_TRUE(writeSettingsFileAtomically(path("full.txt"), three));
    const std::string text = contents(path("full.txt"));
    size_t cut = 0;
    for (int line = 0; line < 21; ++line) cut = text.find('\n', cut) + 1;
    { std::ofstream f(path("cut.txt")); f << text.substr(0, cut); }
    expectRefused("'" + path("cut.txt") + "' '" + path("out.txt") + "' 1", "line 22");
    expectRefused("'" + path("cut.txt") + "' '" + path("out.txt") + "' 1", path("cut.txt"));

    // "2.5" read value by value gave 2 particles, the first at x = .5.
    for (const char* count : {"1001", "2.5"}) {
        { std::ofstream f(path("count.txt")); f << text.substr(0, cut - 2) << count << "\n" << text.substr(cut); }
        expectRefused("--conserved '" + path("count.txt") + "'", "line 21");
    }

    expectRefused("'" + path("full.txt") + "' '" + path("missing/out.txt") + "' 1", path("missing/out.txt"));
}
// OUT is written where it points: through a link to its target, into a
// device or pipe in place. A directory, a file without write permission (even
// for the superuser) and a full device are refused with exit 2 and leave what
// was there; results that cannot reach standard output are an error too.
TEST_F(Batch, OutputGoesWhereItPointsAndUnwritableOutputIsRefused) {
    ASSERT_TRUE(writeSettingsFileAtomically(path("in.txt"), WorldState{}));
    const std::string in = "'" + path("in.txt") + "' ";
    const std::string expected = contents(path("in.txt"));
    struct stat info;

    { std::ofstream f(path("target.txt")); f << "old\n"; }
    chmod(path("target.txt").c_str(), 0640);
    ASSERT_EQ(symlink("target.txt", path("link.txt").c_str()), 0);
    ASSERT_EQ(symlink("new.txt", path("dangling.txt").c_str()), 0);
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    for (const char* out : {"link.txt", "dangling.txt"}) {
        EXPECT_EQ(run(in + "'" + path(out) + "' 0").status, 0) << out;
        ASSERT_EQ(lstat(path(out).c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << out;
    }
    EXPECT_EQ(contents(path("target.txt")), expected);
    ASSERT_EQ(stat(path("target.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(contents(path("new.txt")), expected);
    const std::string readPipe = "cat '" + path("pipe") + "' > '" + path("piped.txt") + "' & ";
    EXPECT_EQ(std::system((readPipe + BATCH_PROGRAM + " " + in + "'" + path("pipe") + "' 0 2>/dev/null; wait").c_str()), 0);
    EXPECT_EQ(contents(path("piped.txt")), expected);
    // /dev/stdout on a pipe: its link names no path, only the pipe.
    EXPECT_EQ(std::system(("(" + std::string(BATCH_PROGRAM) + " " + in + "/dev/stdout 0 2>/dev/null; echo $? > '" +
                           path("status.txt") + "') | cat > '" + path("stdout.txt") + "'").c_str()), 0);
    EXPECT_EQ(contents(path("status.txt")), "0\n");
    EXPECT_EQ(contents(path("stdout.txt")), expected);

    { std::ofstream f(path("readonly.txt")); f << "keep\n"; }
    chmod(path("readonly.txt").c_str(), 0444);
    ASSERT_EQ(mkdir(path("folder").c_str(), 0555), 0);
    expectRefused(in + "'" + path("readonly.txt") + "' 0", "Permission denied");
    expectRefused(in + "'" + path("folder") + "' 0", "directory");
    expectRefused(in + "'" + path("folder/new.txt") + "' 0", "Permission denied");
    EXPECT_FALSE(exists(path("folder/new.txt")));
    expectRefused(in + "/dev/full 0", "No space left");
    // A file size limit (ulimit -f) below the file's size ended the program
    // halfway through the write.
    stderrUnderFileSizeLimit(100, [&] { expectRefused(in + "'" + path("out.txt") + "' 0", "File too large"); });
    EXPECT_EQ(contents(path("readonly.txt")), "keep\n");
    ASSERT_EQ(stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    expectRefused("--conserved " + in, "standard output", "/dev/full");
}
}  // namespace
