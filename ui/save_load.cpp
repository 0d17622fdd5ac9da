#include "ui/save_load.h"

#include <cstdio>
#include <cstring>

#include "settings/settings_files.h"
#include "sim/world_state.h"
#include "ui/particle_editing.h"
#include "ui/run_state.h"
#include "ui/slot_editors.h"
#include "ui/window_seam.h"

static const char* const settingsFolder = "data";

void saveSettings(int) {
    const NumberedSave saved = saveToFreeNumber(settingsFolder, world);
    if (!saved.written) {
        std::fprintf(stderr, "partivox: settings not saved: no file can be made in %s/ (%s)\n",
                     settingsFolder, std::strerror(saved.error));
        return;
    }
    world.fileNumber = saved.number;
    syncControls();
}

// Every control that mirrors a loaded value, the main window (a window
// whose size stays gets no new frame from the resize), and the window size.
// They run also after a file that ended early: the part that was read is in
// effect.
static void refreshAfterLoad() {
    refreshInfoPanel(0);
    showSlot(0);
    showSlot(1);
    clampEditIndex(0);
    postMainRedisplay();
    applyWindowSize(0);
}

// A load that fills an empty table or empties a full one acts on the run
// state as adding the first particle or removing the last does. Without it
// a scene loaded after the last particle was removed stood still, unpaused,
// until the pause was pressed twice.
bool loadSettingsFrom(const std::string& path) {
    const int countBefore = world.particleCount;
    if (!loadSettingsFile(path, world, SizeLines::Requested).opened) return false;
    refreshAfterLoad();
    followParticleCount(countBefore);
    return true;
}

bool settingsFileOpens(const std::string& path) {
    SettingsInput input;
    return openSettingsFile(input, path);
}

void loadSettings(int) {
    loadSettingsFrom(std::string(settingsFolder) + "/" + std::to_string(world.fileNumber) + ".txt");
}
