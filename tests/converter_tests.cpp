// The converter: annotated lines as Shift-JIS bytes, records that keep their
// values across conversions, and damaged input written safely.
#include "converter/annotated_settings.h"
#include "converter/convert_settings.h"
#include "settings/settings_format.h"
#include "tests/full_disk.h"
#include "tests/temporary_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Labels and words as explicit Shift-JIS bytes.
const std::string SimulationSpeed = "\x83\x56\x83\x7e\x83\x85\x83\x8c\x81\x5b\x83\x56\x83\x87\x83\x93\x91\xac\x93\x78 ";  // シミュレーション速度
const std::string WindowWidth = "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xcc\x95\x9d ";  // ウィンドウの幅
const std::string ForcesEnabled = "\x8f\x64\x97\xcd\x81\x41\x93\x64\x8f\xea\x81\x41\x83\x4e\x81\x5b\x83\x8d\x83\x93\x97\xcd ";  // 重力、電場、クーロン力
const std::string BoundaryX = "\x89\xa1\x82\xcc\x8b\xab\x8a\x45\x8f\xf0\x8c\x8f ";  // 横の境界条件
const std::string ParticleCount = "\x97\xb1\x8e\x71\x90\x94 ";  // 粒子数
const std::string Particle0X = "\x97\xb1\x8e\x71" "0" "\x82\xcc\x89\x45\x95\xfb\x8c\xfc\x82\xcc\x88\xca\x92\x75 ";  // 粒子0の右方向の位置
const std::string Particle2Dissipation = "\x97\xb1\x8e\x71" "2" "\x82\xcc\x8e\x55\x88\xed\x82\xcc\x93\x78\x8d\x87\x82\xa2 ";  // 粒子2の散逸の度合い
const std::string Particle2Radius = "\x97\xb1\x8e\x71" "2" "\x82\xcc\x97\xb1\x8e\x71\x82\xcc\x95\x5c\x8e\xa6\x94\xbc\x8c\x61 ";  // 粒子2の粒子の表示半径
const std::string External0Kind = "\x8a\x4f\x8f\xea" "0" "\x82\xcc\x8e\xed\x97\xde ";  // 外場0の種類
const std::string External0Shape = "\x8a\x4f\x8f\xea" "0" "\x82\xcc\x8c\x60 ";  // 外場0の形
const std::string External4Shape = "\x8a\x4f\x8f\xea" "4" "\x82\xcc\x8c\x60 ";  // 外場4の形
const std::string External9C = "\x8a\x4f\x8f\xea" "9" "\x82\xcc\x83\x70\x83\x89\x83\x81\x81\x5b\x83\x5e" "c ";  // 外場9のパラメータc
const std::string PairPrefix = "\x93\xf1\x91\xcc\x8a\xd4\x83\x7c\x83\x65\x83\x93\x83\x56\x83\x83\x83\x8b";  // 二体間ポテンシャル
const std::string Pair1Kind = PairPrefix + "1\x82\xcc\x8e\xed\x97\xde ";  // …1の種類
const std::string Pair3Shape = PairPrefix + "3\x82\xcc\x8c\x60 ";       // …3の形
const std::string Pair9C = PairPrefix + "9\x82\xcc\x83\x70\x83\x89\x83\x81\x81\x5b\x83\x5e" "c ";  // …9のパラメータc
const std::string Disabled = "\x96\xb3\x8c\xf8";  // 無効
const std::string Enabled = "\x97\x4c\x8c\xf8";   // 有効
const std::string UniformFieldWord = "\x88\xea\x97\x6c\x82\xc8\x8f\xea\x81\x46" "U(x,y)=-ax-by";  // 一様な場：…
const std::string PeriodicInteractingWord = "\x8e\xfc\x8a\xfa(\x91\x8a\x8c\xdd\x8d\xec\x97\x70\x82\xe0\x8e\xfc\x8a\xfa\x93\x49)";  // 周期(相互作用も周期的)
const std::string MorseWord = "\x83\x82\x81\x5b\x83\x58\x83\x7c\x83\x65\x83\x93\x83\x56\x83\x83\x83\x8b\x81\x46" "U(r)=exp(-2(r-a)/b)-2exp(-(r-a)/b)";  // モースポテンシャル：…
const std::string AngularMomentumWord = "\x8a\x70\x89\x5e\x93\xae\x97\xca\x82\xf0\x95\xdb\x91\xb6\x82\xb7\x82\xe9\x8e\x55\x88\xed";  // 角運動量を保存する散逸

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> annotate(const WorldState& record)
{
    std::ostringstream out;
    writeAnnotatedSettings(out, record);
    return linesOf(out.str());
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

WorldState emptyWorld()
{
    WorldState w;
    w.particleCount = 0;
    return w;
}

}  // namespace

TEST(AnnotatedSettings, EmptyWorldGivesHeaderThenTwentySlots)
{
    const std::vector<std::string> lines = annotate(emptyWorld());
    ASSERT_EQ(lines.size(), 141u);
    EXPECT_EQ(lines[0], SimulationSpeed + "0.10000000149011611938");
    EXPECT_EQ(lines[3], WindowWidth + "500");
    EXPECT_EQ(lines[5], ForcesEnabled + Enabled);
    EXPECT_EQ(lines[20], ParticleCount + "0");
    EXPECT_EQ(lines[21], External0Kind + Disabled);
    EXPECT_EQ(lines[22], External0Shape + UniformFieldWord);
    EXPECT_EQ(lines[80], External9C + "0") << "last line of the external slots";
    EXPECT_EQ(lines[140], Pair9C + "0");
}

TEST(AnnotatedSettings, ParticleLinesListDissipationSeventh)
{
    WorldState w = emptyWorld();
    w.particleCount = 3;
    w.particles[0].x = 12.25;
    w.particles[2].dissipation = 0.5;
    w.particles[2].radius = 7;
    const std::vector<std::string> lines = annotate(w);
    ASSERT_EQ(lines.size(), 141u + 33u);
    EXPECT_EQ(lines[21], Particle0X + "12.25");
    EXPECT_EQ(lines[21 + 22 + 6], Particle2Dissipation + "0.5");
    EXPECT_EQ(lines[21 + 22 + 10], Particle2Radius + "7");
}

TEST(AnnotatedSettings, EnumeratedValuesAreSpelledOut)
{
    WorldState w = emptyWorld();
    w.forcesEnabled = 0;
    w.boundaryX = static_cast<int>(BoundaryMode::PeriodicInteracting);
    w.pairSlots[1].kind = static_cast<int>(PotentialKind::AngularMomentumDissipation);
    w.pairSlots[3].shape = static_cast<int>(PairShape::Morse);
    const std::vector<std::string> lines = annotate(w);
    EXPECT_EQ(lines[5], ForcesEnabled + Disabled);
    EXPECT_EQ(lines[15], BoundaryX + PeriodicInteractingWord);
    EXPECT_EQ(lines[81 + 6], Pair1Kind + AngularMomentumWord);
    EXPECT_EQ(lines[81 + 18 + 1], Pair3Shape + MorseWord);
}

TEST(AnnotatedSettings, ValuesOutsideTheWordListsAreWrittenAsNumbers)
{
    WorldState w = emptyWorld();
    w.forcesEnabled = 2;
    w.boundaryX = -1;
    w.externalSlots[4].shape = 5;  // a pair shape number, but no external one
    w.pairSlots[1].kind = 6;
    w.pairSlots[3].shape = 7;
    const std::vector<std::string> lines = annotate(w);
    EXPECT_EQ(lines[5], ForcesEnabled + "2");
    EXPECT_EQ(lines[15], BoundaryX + "-1");
    EXPECT_EQ(lines[21 + 24 + 1], External4Shape + "5");
    EXPECT_EQ(lines[81 + 6], Pair1Kind + "6");
    EXPECT_EQ(lines[81 + 18 + 1], Pair3Shape + "7");
}

// The shared writer's 20 digits carry every value through unchanged: the
// number behind each label reads back as the very float or double written.
TEST(AnnotatedSettings, ValuesFromTheSettingsWriterSurviveExactly)
{
    WorldState w;
    w.particleCount = 4;
    w.simulationSpeed = 0.1f;
    w.magneticField = 1.0f / 3.0f;
    w.wallPosition = -1e-7f;
    for (int i = 0; i < w.particleCount; ++i) {
        Particle& p = w.particles[i];
        double* fields[] = {&p.x, &p.y, &p.vx, &p.vy, &p.mass, &p.charge,
                            &p.red, &p.green, &p.blue, &p.radius, &p.dissipation};
        for (int k = 0; k < 11; ++k)
            *fields[k] = (i * 100 + k) / 7.0 + 1e-300 * k;
    }
    for (int k = 0; k < PotentialSlotCount; ++k)
        w.pairSlots[k].c = 1e25 / (k + 3);

    std::stringstream file;
    writeSettings(file, w);
    WorldState read = converterRecord;
    readSettings(file, read, SizeLines::Window);
    const std::vector<std::string> lines = annotate(read);

    auto valueOf = [&](size_t line) { return std::strtod(lines[line].substr(lines[line].rfind(' ') + 1).c_str(), nullptr); };
    EXPECT_EQ(static_cast<float>(valueOf(0)), w.simulationSpeed);
    EXPECT_EQ(static_cast<float>(valueOf(10)), w.magneticField);
    EXPECT_EQ(static_cast<float>(valueOf(19)), w.wallPosition);
    for (int i = 0; i < w.particleCount; ++i) {
        const Particle& p = w.particles[i];
        const double annotatedOrder[] = {p.x, p.y, p.vx, p.vy, p.mass, p.charge,
                                         p.dissipation, p.red, p.green, p.blue, p.radius};
        for (int k = 0; k < 11; ++k)
            EXPECT_EQ(valueOf(21 + 11 * i + k), annotatedOrder[k]) << "particle " << i << " line " << k;
    }
    const size_t pairStart = 21 + 11 * w.particleCount + 60;
    for (int k = 0; k < PotentialSlotCount; ++k)
        EXPECT_EQ(valueOf(pairStart + 6 * k + 5), w.pairSlots[k].c) << "pair slot " << k;
}

// ---- conversion of numbered files ----

class ConvertSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories("data");
        fs::create_directories("textdata");
        converterRecord = WorldState{};
    }
    void writeData(int number, const std::string& text)
    {
        std::ofstream("data/" + std::to_string(number) + ".txt") << text;
    }
    void writeData(int number, const WorldState& w)
    {
        std::ofstream out("data/" + std::to_string(number) + ".txt");
        writeSettings(out, w);
    }
    std::vector<std::string> convert(int number)
    {
        fileNumber = number;
        convertSettings(0);
        return linesOf(readFile("textdata/" + std::to_string(number) + ".txt"));
    }
    WorkingFolder folder;
};

TEST_F(ConvertSettings, FileEndingEarlyKeepsTheInitialValues)
{
    writeData(1, "0.5\n20\n");
    const std::vector<std::string> lines = convert(1);
    ASSERT_EQ(lines.size(), 141u + 66u) << "the initial six particles are listed";
    EXPECT_EQ(lines[0], SimulationSpeed + "0.5");
    EXPECT_EQ(lines[3], WindowWidth + "500");
    EXPECT_EQ(lines[5], ForcesEnabled + Enabled);
    EXPECT_EQ(lines[20], ParticleCount + "6");
}

TEST_F(ConvertSettings, FileEndingEarlyKeepsThePreviousConversion)
{
    WorldState w = emptyWorld();
    w.windowWidth = 640;
    w.particleCount = 1;
    w.particles[0].x = 12.25;
    writeData(2, w);
    convert(2);
    writeData(3, "0.25\n");
    const std::vector<std::string> lines = convert(3);
    ASSERT_EQ(lines.size(), 141u + 11u);
    EXPECT_EQ(lines[0], SimulationSpeed + "0.25");
    EXPECT_EQ(lines[3], WindowWidth + "640");
    EXPECT_EQ(lines[21], Particle0X + "12.25");
}

TEST_F(ConvertSettings, CountsOutOfRangeStopTheReadAtTheCount)
{
    WorldState w = emptyWorld();
    w.particleCount = 2;
    writeData(4, w);
    convert(4);
    for (const char* count : {"1001", "-3", "99999999999"}) {
        std::stringstream file;
        writeSettings(file, emptyWorld());
        std::vector<std::string> values = linesOf(file.str());
        values[0] = "0.75";
        values[20] = count;
        std::string text;
        for (const std::string& v : values)
            text += v + "\n";
        writeData(5, text);
        const std::vector<std::string> lines = convert(5);
        ASSERT_EQ(lines.size(), 141u + 22u) << count;
        EXPECT_EQ(lines[0], SimulationSpeed + "0.75") << "the header before the count is taken";
        EXPECT_EQ(lines[20], ParticleCount + "2") << count;
    }
}

TEST_F(ConvertSettings, MissingInputCreatesNothing)
{
    fileNumber = 7;
    convertSettings(0);
    EXPECT_FALSE(fs::exists("textdata/7.txt"));
    fs::create_directories("data/6.txt");   // a folder where the file should be
    fileNumber = 6;
    convertSettings(0);
    EXPECT_FALSE(fs::exists("textdata/6.txt"));
    ASSERT_EQ(mkfifo("data/5.txt", 0600), 0);   // a pipe nothing writes to must not keep it waiting
    fileNumber = 5;
    alarm(20);
    convertSettings(0);
    alarm(0);
    EXPECT_FALSE(fs::exists("textdata/5.txt"));
}

// Whatever keeps the annotated file from being written, the earlier one stays
// byte for byte, no other file appears, the record keeps the values of the
// last conversion that was written, and one line says why. A file size limit
// of 1000 bytes stands in for a full disk (an annotated file is about 8 kB).
TEST_F(ConvertSettings, OutputThatCannotBeWrittenLeavesEverythingAsItWas)
{
    struct Row {
        const char* what;
        void (*prepare)();
        rlim_t fileSizeLimit;   // 0: none
    };
    const Row rows[] = {
        {"textdata/ missing", [] { fs::remove_all("textdata"); }, 0},
        {"textdata/ a plain file", [] { fs::remove_all("textdata"); std::ofstream("textdata") << "x"; }, 0},
        {"textdata/ without write permission, even for the superuser",
         [] { fs::permissions("textdata", fs::perms::owner_read | fs::perms::owner_exec); }, 0},
        {"textdata/8.txt read-only, even for the superuser",
         [] { fs::permissions("textdata/8.txt", fs::perms::owner_read); }, 0},
        {"full", [] {}, 1000},
    };
    WorldState earlier = emptyWorld();
    earlier.simulationSpeed = 0.125;
    WorldState later = emptyWorld();
    later.simulationSpeed = 0.5;
    later.particleCount = 3;
    for (const Row& row : rows) {
        std::error_code ignored;
        fs::permissions("textdata", fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all("textdata");
        fs::create_directories("textdata");
        writeData(8, earlier);
        convert(8);
        const std::string annotated = readFile("textdata/8.txt");
        ASSERT_FALSE(annotated.empty());
        writeData(8, later);
        row.prepare();
        const bool folder = fs::is_directory("textdata");
        fileNumber = 8;
        const std::string message = stderrOfWritingWithin(row.fileSizeLimit, [] { convertSettings(0); });
        if (folder) {
            EXPECT_EQ(readFile("textdata/8.txt"), annotated) << row.what;
            std::vector<std::string> names;
            for (const auto& entry : fs::directory_iterator("textdata")) names.push_back(entry.path().filename());
            EXPECT_EQ(names, std::vector<std::string>{"8.txt"}) << row.what;
        }
        EXPECT_EQ(converterRecord.simulationSpeed, 0.125) << row.what;
        EXPECT_EQ(converterRecord.particleCount, 0) << row.what;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << row.what << ": " << message;
        fs::permissions("textdata", fs::perms::owner_all, fs::perm_options::add, ignored);
        if (folder) fs::permissions("textdata/8.txt", fs::perms::owner_all, fs::perm_options::add, ignored);
    }

    // A named pipe nothing reads from must not keep the window waiting.
    fs::remove("textdata/8.txt");
    ASSERT_EQ(mkfifo("textdata/8.txt", 0600), 0);
    alarm(20);
    const std::string message = stderrOfWritingWithin(0, [] { convertSettings(0); });
    alarm(0);
    EXPECT_TRUE(fs::is_fifo("textdata/8.txt"));
    EXPECT_NE(message.find("not a regular file"), std::string::npos) << message;
    EXPECT_EQ(converterRecord.simulationSpeed, 0.125);
    fs::remove_all("textdata");
    fs::create_directories("textdata");
}

TEST_F(ConvertSettings, ConvertingAgainOverwrites)
{
    WorldState w = emptyWorld();
    w.particleCount = 1;
    writeData(9, w);
    ASSERT_EQ(convert(9).size(), 152u);
    writeData(9, emptyWorld());
    EXPECT_EQ(convert(9).size(), 141u);
}
