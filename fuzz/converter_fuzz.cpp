// The converter's reader and annotated writer on arbitrary bytes. The record
// starts as an earlier conversion may have left it, with enumerations far
// outside their word lists, because those values show wherever the new file
// ends early. Every annotated file has its 141 + 11n lines, each a label
// ending in a space followed by a value.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <sstream>
#include <string>

#include "converter/annotated_settings.h"
#include "fuzz/fuzz_check.h"
#include "settings/settings_format.h"

static void leaveOutOfRangeValues(WorldState& record) {
    record = WorldState{};
    record.forcesEnabled = -1;
    record.boundaryX = BoundaryModeCount;
    record.boundaryY = INT_MIN;
    for (int k = 0; k < PotentialSlotCount; ++k) {
        record.externalSlots[k].kind = k % 2 ? INT_MAX : -k;
        record.externalSlots[k].shape = ExternalShapeCount + k;
        record.pairSlots[k].kind = PotentialKindCount + k;
        record.pairSlots[k].shape = k % 2 ? PairShapeCount : INT_MIN + k;
    }
}

static void checkLines(const std::string& annotated, int particleCount) {
    std::istringstream lines(annotated);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        const std::string::size_type space = line.rfind(' ');
        FUZZ_CHECK(space != std::string::npos && space > 0 && space + 1 < line.size());
    }
    FUZZ_CHECK(count == settingsLineCount(std::clamp(particleCount, 0, MaxParticles)));
    FUZZ_CHECK(!annotated.empty() && annotated.back() == '\n');
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static WorldState record;
    leaveOutOfRangeValues(record);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    readSettings(in, record, SizeLines::Window);
    std::ostringstream out;
    writeAnnotatedSettings(out, record);
    checkLines(out.str(), record.particleCount);
    return 0;
}
