#include "settings/settings_format.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <limits>
#include <ostream>
#include <sstream>
#include <string>
#include <type_traits>

using W = WorldState;

const HeaderLine headerLines[HeaderLineCount] = {
    {nullptr, &W::simulationSpeed, "シミュレーション速度 ", WordList::None},
    {&W::displayInterval, nullptr, "表示間隔 ", WordList::None},
    {nullptr, &W::rightDragSpeed, "右ドラッグで与える速度 ", WordList::None},
    {&W::windowWidth, nullptr, "ウィンドウの幅 ", WordList::None},
    {&W::windowHeight, nullptr, "ウィンドウの高さ ", WordList::None},
    {&W::forcesEnabled, nullptr, "重力、電場、クーロン力 ", WordList::EnabledDisabled},
    {nullptr, &W::gravityX, "右向きの重力 ", WordList::None},
    {nullptr, &W::gravityY, "下向きの重力 ", WordList::None},
    {nullptr, &W::electricX, "右向きの電場 ", WordList::None},
    {nullptr, &W::electricY, "下向きの電場 ", WordList::None},
    {nullptr, &W::magneticField, "画面奥向きの磁場 ", WordList::None},
    {nullptr, &W::coulombStrength, "クーロン力の強さ ", WordList::None},
    {nullptr, &W::coulombSoftening, "クーロン力を弱める距離 ", WordList::None},
    {nullptr, &W::dragCoefficient, "速度に比例した抵抗 ", WordList::None},
    {nullptr, &W::terminalSpeed, "平衡速度 ", WordList::None},
    {&W::boundaryX, nullptr, "横の境界条件 ", WordList::Boundary},
    {&W::boundaryY, nullptr, "縦の境界条件 ", WordList::Boundary},
    {nullptr, &W::wallStrength, "壁の強さ ", WordList::None},
    {nullptr, &W::wallSoftness, "壁のやわらかさ ", WordList::None},
    {nullptr, &W::wallPosition, "壁の位置 ", WordList::None},
    {&W::particleCount, nullptr, "粒子数 ", WordList::None},
};

const ParticleLine particleLines[ParticleLineCount] = {
    {&Particle::x, "の右方向の位置 "},
    {&Particle::y, "の下方向の位置 "},
    {&Particle::vx, "の右方向の速度 "},
    {&Particle::vy, "の下方向の速度 "},
    {&Particle::mass, "の質量 "},
    {&Particle::charge, "の電荷 "},
    {&Particle::red, "の粒子の表示色(赤) "},
    {&Particle::green, "の粒子の表示色(緑) "},
    {&Particle::blue, "の粒子の表示色(青) "},
    {&Particle::radius, "の粒子の表示半径 "},
    {&Particle::dissipation, "の散逸の度合い "},
};
const char* const particleLabelPrefix = "粒子";
const int annotatedParticleOrder[ParticleLineCount] = {0, 1, 2, 3, 4, 5, 10, 6, 7, 8, 9};

const SlotLine slotLines[SlotLineCount] = {
    {&PotentialSlot::kind, nullptr, "の種類 ", WordList::Kind},
    {&PotentialSlot::shape, nullptr, "の形 ", WordList::Shape},
    {nullptr, &PotentialSlot::strength, "の強さ ", WordList::None},
    {nullptr, &PotentialSlot::a, "のパラメータa ", WordList::None},
    {nullptr, &PotentialSlot::b, "のパラメータb ", WordList::None},
    {nullptr, &PotentialSlot::c, "のパラメータc ", WordList::None},
};
const char* const externalSlotLabelPrefix = "外場";
const char* const pairSlotLabelPrefix = "二体間ポテンシャル";

// ---- Writing ----

// A record whose count was corrupted in memory still yields a file the
// readers accept.
static int writtenParticleCount(const WorldState& w) {
    return std::clamp(w.particleCount, 0, MaxParticles);
}

static void writeHeader(std::ostream& out, const WorldState& w) {
    for (const HeaderLine& line : headerLines) {
        if (line.floatField)
            out << static_cast<double>(w.*line.floatField) << '\n';
        else if (line.intField == &W::particleCount)
            out << writtenParticleCount(w) << '\n';
        else
            out << w.*line.intField << '\n';
    }
}

static void writeSlots(std::ostream& out, const PotentialSlot* slots) {
    for (int k = 0; k < PotentialSlotCount; ++k)
        for (const SlotLine& line : slotLines) {
            if (line.intField)
                out << slots[k].*line.intField << '\n';
            else
                out << slots[k].*line.doubleField << '\n';
        }
}

void writeSettings(std::ostream& out, const WorldState& w) {
    out.precision(20);
    writeHeader(out, w);
    for (int i = 0; i < writtenParticleCount(w); ++i)
        for (const ParticleLine& line : particleLines) out << w.particles[i].*line.field << '\n';
    writeSlots(out, w.externalSlots);
    writeSlots(out, w.pairSlots);
}

// ---- Reading ----

namespace {
struct ValueReader {
    explicit ValueReader(std::istream& file) : in(file) {}
    std::istream& in;
    std::string text;         // the line being read
    std::istringstream line;  // its value
    int taken = 0;
    bool stopped = false;
};
}  // namespace

// Far more than any number needs; it bounds what a stream without line ends
// (binary bytes, a device given to the batch runner) makes the reader hold.
constexpr std::size_t MaxLineLength = 4096;

// The next line without its '\n'; false at the end of the file and for a
// line longer than any value.
static bool nextLine(std::istream& in, std::string& text) {
    std::streambuf& bytes = *in.rdbuf();
    text.clear();
    for (int c = bytes.sbumpc(); c != EOF; c = bytes.sbumpc()) {
        if (c == '\n') return true;
        if (text.size() == MaxLineLength) return false;
        text += static_cast<char>(c);
    }
    return !text.empty();
}

// The writer spells infinities and not-a-number as the C library prints them
// ("inf", "-inf", "nan", "-nan"), which stream extraction does not read: a
// world holding one saved, but its file loaded only up to that line. Those
// words, standing alone in a float or double field, read back as what was
// written; any other text that is no number still stops the read.
template <typename T>
static bool extractNonFinite(std::istream& in, bool negative, T& value) {
    std::string word;
    while (std::isalpha(in.peek())) word += static_cast<char>(in.get());
    const bool alone = in.peek() == EOF || std::isspace(in.peek());
    if (!alone || (word != "inf" && word != "nan")) {
        in.setstate(std::ios::failbit);
        return false;
    }
    value = word == "inf" ? std::numeric_limits<T>::infinity() : std::numeric_limits<T>::quiet_NaN();
    if (negative) value = -value;
    return true;
}

template <typename T>
static bool extract(std::istream& in, T& value) {
    if constexpr (std::is_floating_point_v<T>) {
        in >> std::ws;
        const bool negative = in.peek() == '-';
        if (negative) in.get();
        if (std::isalpha(in.peek())) return extractNonFinite(in, negative, value);
        if (negative) in.unget();
    }
    return static_cast<bool>(in >> value);
}

// Files hold one value per line. A line with more than its number (spaces
// and the CR of a CR LF file aside) is malformed: read value by value,
// "2.5" as a count would give 2 particles, the first starting at ".5", and
// shift every later value by one.
template <typename T>
static bool extractLine(ValueReader& r, T& value) {
    if (!nextLine(r.in, r.text)) return false;
    r.line.clear();
    r.line.str(r.text);
    if (!extract(r.line, value)) return false;
    while (std::isspace(r.line.peek())) r.line.get();
    return r.line.peek() == EOF;
}

// A failed stream extraction writes 0 (or a limit) into its target, so every
// value goes through a temporary and is stored only when its line was read
// whole and, where a check is given, the value is acceptable.
template <typename T>
static bool take(ValueReader& r, T& target, bool (*acceptable)(T) = nullptr) {
    if (r.stopped) return false;
    T value;
    if (!extractLine(r, value) || (acceptable && !acceptable(value))) {
        r.stopped = true;
        return false;
    }
    target = value;
    ++r.taken;
    return true;
}

// The count sizes the particle loop: one outside the table stops the read
// before anything is written past it.
static bool fitsParticleTable(int count) { return count >= 0 && count <= MaxParticles; }

static int WorldState::*sizeTarget(int WorldState::*field, SizeLines sizeLines) {
    if (sizeLines == SizeLines::Requested) {
        if (field == &W::windowWidth) return &W::requestedWidth;
        if (field == &W::windowHeight) return &W::requestedHeight;
    }
    return field;
}

static void readHeader(ValueReader& r, WorldState& w, SizeLines sizeLines) {
    for (const HeaderLine& line : headerLines) {
        if (line.floatField)
            take(r, w.*line.floatField);
        else if (line.intField == &W::particleCount)
            take(r, w.particleCount, fitsParticleTable);
        else
            take(r, w.*sizeTarget(line.intField, sizeLines));
    }
}

static void readSlots(ValueReader& r, PotentialSlot* slots) {
    for (int k = 0; k < PotentialSlotCount; ++k)
        for (const SlotLine& line : slotLines) {
            if (line.intField)
                take(r, slots[k].*line.intField);
            else
                take(r, slots[k].*line.doubleField);
        }
}

// Editors that save text as UTF-8 may put a byte order mark before the
// first line. No number starts with its first byte, so a file that merely
// begins like one stops at line 1, as it always has.
static void skipByteOrderMark(std::istream& in) {
    if (in.peek() != 0xEF) return;
    for (const int byte : {0xEF, 0xBB, 0xBF}) {
        if (in.get() != byte) {
            in.setstate(std::ios::failbit);
            return;
        }
    }
}

int readSettings(std::istream& in, WorldState& w, SizeLines sizeLines) {
    skipByteOrderMark(in);
    if (!in) return 0;
    ValueReader r{in};
    readHeader(r, w, sizeLines);
    if (r.stopped) return r.taken;  // the count may not have been checked
    for (int i = 0; i < w.particleCount; ++i)
        for (const ParticleLine& line : particleLines) take(r, w.particles[i].*line.field);
    readSlots(r, w.externalSlots);
    readSlots(r, w.pairSlots);
    return r.taken;
}
