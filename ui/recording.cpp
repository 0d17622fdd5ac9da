#include "ui/recording.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "settings/file_writing.h"
#include "sim/conserved_quantities.h"
#include "sim/conserved_series.h"
#include "sim/world_state.h"

namespace {
struct Recording {
    int fd = -1;        // -1: not recording
    std::string path;
    long long step = 0;   // steps simulated since the recording began
    double time = 0;      // their simulated time
    off_t length = 0;     // bytes of whole lines in the file
};
Recording record;
}  // namespace

bool recording() { return record.fd >= 0; }

// A row cut off by a full disk is taken back, so that the file ends with
// whole rows any plotting tool reads.
static void stopRecording(int error) {
    const bool whole = ftruncate(record.fd, record.length) == 0;
    std::fprintf(stderr, "partivox: recording to '%s' stopped: %s%s\n", record.path.c_str(), std::strerror(error),
                 whole ? "" : " (its last row is cut off)");
    close(record.fd);
    record.fd = -1;
}

std::string startRecording(const std::string& path) {
    if (recording()) close(record.fd);
    record = Recording{};
    record.path = path;
    std::string failure;
    record.fd = openOutputStream(path, failure);
    if (!recording()) return failure;
    const std::string header = seriesHeader();
    if (writeWhole(record.fd, header)) {
        record.length = static_cast<off_t>(header.size());
        return "";
    }
    failure = std::strerror(errno);
    close(record.fd);
    record.fd = -1;
    return failure;
}

void recordFrame(int steps) {
    if (!recording()) return;
    record.step += steps;
    record.time += steps * static_cast<double>(world.simulationSpeed);
    float values[Conserved::Count];
    computeConservedQuantitiesInto(values);
    const std::string row = seriesRow(record.step, record.time, values);
    if (writeWhole(record.fd, row))
        record.length += static_cast<off_t>(row.size());
    else
        stopRecording(errno);
}
