#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "settings/settings_format.h"
#include "settings/settings_labels.h"

namespace {
// A record in which every saved field differs from its start value.
WorldState distinctiveWorld(int particles) {
    WorldState w;
    w.simulationSpeed = 0.7f;
    w.displayInterval = -3;
    w.rightDragSpeed = 1e-7f;
    w.windowWidth = 640;
    w.windowHeight = 480;
    w.forcesEnabled = 0;
    w.gravityX = -9.81f;
    w.gravityY = 3.4e38f;
    w.electricX = 1.17549435e-38f;
    w.electricY = 0.5f;
    w.magneticField = -0.3f;
    w.coulombStrength = 123456.789f;
    w.coulombSoftening = 2.5f;
    w.dragCoefficient = 1e-3f;
    w.terminalSpeed = 7;
    w.boundaryX = 4;
    w.boundaryY = 3;
    w.wallStrength = 99.5f;
    w.wallSoftness = 0.1f;
    w.wallPosition = 12.75f;
    w.particleCount = particles;
    for (int i = 0; i < particles; ++i) {
        Particle& p = w.particles[i];
        const double k = i + 1;
        p = {0.1 * k, 1.0 / 3 * k, -2.5e-300 * k, 1e300 * k, 1 + k, -k, 0.2, 0.4, 0.6, 10 + k, 0.7 * k};
    }
    for (int k = 0; k < PotentialSlotCount; ++k) {
        const int n = k + 1;
        w.externalSlots[k] = {n % 4, n % 5, 0.1 * n, -1.0 / 7 * n, 2.0 * n, 3e-20 * n};
        w.pairSlots[k] = {n % 6, n % 7, 1.5 * n, 1.0 / 9 * n, -3.0 * n, 4e20 * n};
    }
    return w;
}

std::string written(const WorldState& w) {
    std::ostringstream out;
    writeSettings(out, w);
    return out.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// Every saved field of the distinctive record differs from the fresh
// record's, so a field the reader dropped shows in the rewritten text; the
// exact-value checks below pin down that the text itself loses nothing.
TEST(SettingsFormat, EveryFieldSurvivesARoundTrip) {
    const WorldState original = distinctiveWorld(3);
    WorldState loaded;
    std::istringstream in(written(original));
    EXPECT_EQ(readSettings(in, loaded, SizeLines::Window), 174);
    EXPECT_EQ(written(loaded), written(original));
    EXPECT_EQ(loaded.wallSoftness, 0.1f);
    EXPECT_EQ(loaded.electricX, 1.17549435e-38f);
    EXPECT_EQ(loaded.gravityY, 3.4e38f);
    EXPECT_EQ(loaded.particles[2].vx, -2.5e-300 * 3);
    EXPECT_EQ(loaded.particles[1].y, 1.0 / 3 * 2);
    EXPECT_EQ(loaded.pairSlots[7].a, 1.0 / 9 * 8);
}

// A world that went infinite or not-a-number somewhere saves those values as
// the C library spells them, and loads them back, with everything after them.
TEST(SettingsFormat, InfinitiesAndNotANumberSurviveARoundTrip) {
    WorldState original = distinctiveWorld(2);
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    original.gravityX = static_cast<float>(inf);
    original.electricY = static_cast<float>(-nan);
    original.particles[0].x = -inf;
    original.particles[1].dissipation = nan;
    original.pairSlots[9].c = -nan;
    const std::string text = written(original);
    for (const char* spelling : {"\ninf\n", "\n-nan\n", "\n-inf\n", "\nnan\n"})
        EXPECT_NE(text.find(spelling), std::string::npos) << spelling;
    WorldState loaded;
    std::istringstream in(text);
    EXPECT_EQ(readSettings(in, loaded, SizeLines::Window), settingsLineCount(2));
    EXPECT_EQ(written(loaded), text);
    EXPECT_EQ(loaded.gravityX, static_cast<float>(inf));
    EXPECT_TRUE(std::isnan(loaded.electricY) && std::signbit(loaded.electricY));
    EXPECT_EQ(loaded.particles[0].x, -inf);
    EXPECT_TRUE(std::isnan(loaded.particles[1].dissipation) && !std::signbit(loaded.particles[1].dissipation));
    EXPECT_TRUE(std::isnan(loaded.pairSlots[9].c) && std::signbit(loaded.pairSlots[9].c));
}

TEST(SettingsFormat, LineCountAndNumberFormat) {
    WorldState w;
    w.particleCount = 0;
    EXPECT_EQ(lines(written(w)).size(), 141u);
    const std::vector<std::string> text = lines(written(distinctiveWorld(3)));
    ASSERT_EQ(text.size(), 174u);
    EXPECT_EQ(text[18], "0.10000000149011611938");   // a float widened to double
    EXPECT_EQ(text[1], "-3");
    EXPECT_EQ(text[2], "1.0000000116860974231e-07");
    EXPECT_EQ(text[9], "0.5");
    EXPECT_EQ(text[20], "3");
    EXPECT_EQ(text[21], "0.10000000000000000555");
    EXPECT_EQ(text[24], "1.0000000000000000525e+300");
    EXPECT_EQ(text[31], "0.69999999999999995559");   // dissipation is a particle's eleventh value
    EXPECT_EQ(text[54], "1");                        // external slot 0: kind, shape, strength ...
    EXPECT_EQ(text[60], "2");                        // ... slot 1's kind
    EXPECT_EQ(text[114], "1");                       // pair slot 0's kind
    EXPECT_EQ(text[173], "4e+21");   // exact in binary: no trailing zeros
    const std::string bytes = written(w);
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
    EXPECT_EQ(bytes.back(), '\n');
}

TEST(SettingsFormat, WriterNeverWritesACountOutsideTheTable) {
    WorldState w;
    w.particleCount = -5;
    std::vector<std::string> text = lines(written(w));
    EXPECT_EQ(text.size(), 141u);
    EXPECT_EQ(text[20], "0");
    w.particleCount = 5000;
    text = lines(written(w));
    EXPECT_EQ(text.size(), static_cast<size_t>(settingsLineCount(MaxParticles)));
    EXPECT_EQ(text[20], "1000");
}

TEST(SettingsFormat, SizeLinesGoWhereTheCallerSays) {
    std::string text = written(distinctiveWorld(0));
    WorldState simulator;
    simulator.windowWidth = 321;
    std::istringstream in(text);
    readSettings(in, simulator, SizeLines::Requested);
    EXPECT_EQ(simulator.requestedWidth, 640);
    EXPECT_EQ(simulator.requestedHeight, 480);
    EXPECT_EQ(simulator.windowWidth, 321);
    EXPECT_EQ(simulator.windowHeight, 500);
}

// A reader that stopped must leave the failed field and every later one as
// they were, including the particles and slots a shorter file never reached.
TEST(SettingsFormat, ReadingStopsTakingEffectAtTheFirstFailure) {
    const std::vector<std::string> text = lines(written(distinctiveWorld(3)));
    auto prefix = [&](size_t n, const std::string& tail = "") {
        std::string s;
        for (size_t k = 0; k < n; ++k) s += text[k] + "\n";
        return s + tail;
    };
    WorldState w;
    w.particles[0].x = 77;

    std::istringstream afterCount(prefix(21));
    EXPECT_EQ(readSettings(afterCount, w, SizeLines::Window), 21);
    EXPECT_EQ(w.wallPosition, 12.75f);
    EXPECT_EQ(w.particleCount, 3);
    EXPECT_EQ(w.particles[0].x, 77);
    EXPECT_EQ(w.pairSlots[9].kind, 0);

    w = WorldState{};
    std::istringstream midParticle(prefix(21 + 11 + 4));
    EXPECT_EQ(readSettings(midParticle, w, SizeLines::Window), 36);
    EXPECT_EQ(w.particles[0].dissipation, 0.7);
    EXPECT_EQ(w.particles[1].vy, 2e300);
    EXPECT_EQ(w.particles[1].mass, 0);   // the file ended before it
    EXPECT_EQ(w.particles[2].x, 0);
    EXPECT_EQ(w.externalSlots[1].kind, 0);

    w = WorldState{};
    w.gravityX = 42;
    std::istringstream garbage(prefix(6, "abc\n1\n"));
    EXPECT_EQ(readSettings(garbage, w, SizeLines::Window), 6);
    EXPECT_EQ(w.forcesEnabled, 0);
    EXPECT_EQ(w.gravityX, 42);   // not the 0 a failed extraction stores
    EXPECT_EQ(w.gravityY, 0);

    w = WorldState{};
    std::istringstream tooBig(prefix(1, "99999999999\n"));
    EXPECT_EQ(readSettings(tooBig, w, SizeLines::Window), 1);
    EXPECT_EQ(w.displayInterval, 10);
}

// Lines that hold no number of the field's type, in an int, a float and a
// double field of the header, the count, a particle and a slot: values that
// overflow the type, infinities and not-a-number in an int, other spellings
// of them than the writer's, binary bytes, the end of the file, and lines
// with more than one value or none. Each stops the read at that line and
// leaves the field as it was.
TEST(SettingsFormat, NoNumberOfTheFieldsTypeStopsTheReadThere) {
    const std::vector<std::string> text = lines(written(distinctiveWorld(1)));
    struct Field {
        int line;   // 0-based
        const char* name;
        std::vector<const char*> bad;
    };
    const std::string overlong(5000, '0');   // a line no number needs
    const std::vector<const char*> always = {"NaN", "infinity", "nanx", "inf5", "-", "- inf", "\x89PNG\x1a\x01", "",
                                             "1 2", "1 # note", "1x", " \t", overlong.c_str()};
    const std::vector<const char*> nonFinite = {"nan", "inf", "-inf", "-nan"};
    const Field fields[] = {
        {1, "displayInterval (int)", {"2147483648", "-2147483649", "99999999999999999999", nonFinite[0],
                                      nonFinite[1], nonFinite[2], nonFinite[3], "2.5"}},
        {20, "particleCount (int)", {"2.5", "1.0"}},
        {6, "gravityX (float)", {"3.5e38", "-1e39", "1e999"}},
        {21, "particle 0 x (double)", {"1e309", "-2e308", "1e99999"}},
        {32, "external slot 0 kind (int)", {"4294967296", "-9223372036854775809", nonFinite[1]}},
        {34, "external slot 0 strength (double)", {"1.8e308", "-1e400"}},
    };
    for (const Field& f : fields) {
        std::vector<const char*> bad = f.bad;
        bad.insert(bad.end(), always.begin(), always.end());
        for (const char* value : bad) {
            std::string s;
            for (int k = 0; k < f.line; ++k) s += text[k] + "\n";
            if (*value) s += std::string(value) + "\n" + text[f.line + 1] + "\n";
            WorldState w = distinctiveWorld(1);
            const std::string before = written(w);
            std::istringstream in(s);
            EXPECT_EQ(readSettings(in, w, SizeLines::Window), f.line) << f.name << " '" << value << "'";
            EXPECT_EQ(written(w), before) << f.name << " '" << value << "'";
        }
    }
    WorldState w;
    std::istringstream empty("");
    EXPECT_EQ(readSettings(empty, w, SizeLines::Window), 0);
    EXPECT_EQ(written(w), written(WorldState{}));
}

// Files cut at the end of each block: the blocks before load, the rest stay.
TEST(SettingsFormat, FilesCutAfterEachBlockLoadTheBlocksBefore) {
    const WorldState full = distinctiveWorld(2);
    const std::vector<std::string> text = lines(written(full));
    for (int cut : {21, 21 + 22, 21 + 22 + 60, settingsLineCount(2) - 1}) {
        std::string s;
        for (int k = 0; k < cut; ++k) s += text[k] + "\n";
        WorldState w;
        std::istringstream in(s);
        EXPECT_EQ(readSettings(in, w, SizeLines::Window), cut);
        EXPECT_EQ(w.particles[1].dissipation, cut > 21 ? full.particles[1].dissipation : 0) << cut;
        EXPECT_EQ(w.externalSlots[9].c, cut > 43 ? full.externalSlots[9].c : 0) << cut;
        EXPECT_EQ(w.pairSlots[9].b, cut > 103 ? full.pairSlots[9].b : 0) << cut;
        EXPECT_EQ(w.pairSlots[9].c, 0) << cut;
    }
}

TEST(SettingsFormat, CountsOutsideTheTableAreRefusedAtLine21) {
    const std::vector<std::string> text = lines(written(distinctiveWorld(0)));
    for (const char* count : {"-1", "1001", "2147483647"}) {
        std::string s;
        for (size_t k = 0; k < 20; ++k) s += text[k] + "\n";
        s += std::string(count) + "\n0\n0\n";
        WorldState w;
        w.particles[0].x = 5;
        std::istringstream in(s);
        EXPECT_EQ(readSettings(in, w, SizeLines::Window), 20) << count;
        EXPECT_EQ(w.wallPosition, 12.75f) << count;   // line 20 was taken
        EXPECT_EQ(w.particleCount, 6) << count;
        EXPECT_EQ(w.particles[0].x, 5) << count;
        EXPECT_EQ(w.externalSlots[0].kind, 0) << count;
    }
    WorldState full = distinctiveWorld(MaxParticles);
    WorldState w;
    std::istringstream in(written(full));
    EXPECT_EQ(readSettings(in, w, SizeLines::Window), settingsLineCount(MaxParticles));
    EXPECT_EQ(w.particles[999].radius, 1010);
}

// As a text editor may leave a file: CR LF line ends, spaces around values,
// a UTF-8 byte order mark before the first line.
TEST(SettingsFormat, CrLfFilesAndValuesOutsideTheEnumerationsLoadAsWritten) {
    WorldState odd = distinctiveWorld(1);
    odd.forcesEnabled = 5;
    odd.boundaryX = -2;
    odd.boundaryY = 9;
    odd.externalSlots[3].kind = 17;
    odd.pairSlots[2].shape = -4;
    std::string text;
    int k = 0;
    for (const std::string& line : lines(written(odd))) text += (k++ % 2 ? " " + line + " \t" : line) + "\r\n";
    for (const std::string start : {"", "\xEF\xBB\xBF"}) {
        WorldState w;
        std::istringstream in(start + text);
        EXPECT_EQ(readSettings(in, w, SizeLines::Window), 152) << start.size();
        EXPECT_EQ(written(w), written(odd)) << start.size();
    }
    WorldState w;
    std::istringstream halfAMark("\xEF\xBB" + text);
    EXPECT_EQ(readSettings(halfAMark, w, SizeLines::Window), 0);
}

TEST(SettingsLabels, ConverterTextsAreShiftJis) {
    EXPECT_STREQ(enabledWords[1], "\x97\x4c\x8c\xf8");
    EXPECT_STREQ(enabledWords[0], "\x96\xb3\x8c\xf8");
    EXPECT_STREQ(boundaryWords[0], "\x8e\xfc\x8a\xfa");
    EXPECT_STREQ(particleLabelPrefix, "\x97\xb1\x8e\x71");
    const std::string forces = headerLines[5].label;
    EXPECT_NE(forces.find("\x81\x41"), std::string::npos);   // the ideographic comma
    EXPECT_EQ(forces.back(), ' ');
    EXPECT_NE(std::string(pairShapeWords[6]).find("\x81\x46" "U(r)=1/(1+(r-a)^2/b^2)"), std::string::npos);
    EXPECT_EQ(particleLines[annotatedParticleOrder[6]].field, &Particle::dissipation);
}
}  // namespace
