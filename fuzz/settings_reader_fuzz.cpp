// The settings reader on arbitrary bytes, as the simulator's load (window
// size into the requested size) and the batch runner (window size as the
// domain) use it. It takes at most one value per line; whatever it takes
// must stay inside the record, and must write back to a file that reads
// complete and unchanged.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_check.h"
#include "settings/settings_format.h"

static long lineCount(const std::string& bytes) {
    return std::count(bytes.begin(), bytes.end(), '\n') + (!bytes.empty() && bytes.back() != '\n');
}

static void readAndWriteBack(const std::string& bytes, SizeLines sizeLines) {
    static WorldState read, again;
    read = WorldState{};
    std::istringstream in(bytes);
    const int taken = readSettings(in, read, sizeLines);
    FUZZ_CHECK(read.particleCount >= 0 && read.particleCount <= MaxParticles);
    FUZZ_CHECK(taken >= 0 && taken <= settingsLineCount(read.particleCount));
    FUZZ_CHECK(taken <= lineCount(bytes));

    std::ostringstream first;
    writeSettings(first, read);
    again = WorldState{};
    std::istringstream back(first.str());
    FUZZ_CHECK(readSettings(back, again, SizeLines::Window) == settingsLineCount(read.particleCount));
    std::ostringstream second;
    writeSettings(second, again);
    FUZZ_CHECK(second.str() == first.str());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    readAndWriteBack(bytes, SizeLines::Window);
    readAndWriteBack(bytes, SizeLines::Requested);
    return 0;
}
