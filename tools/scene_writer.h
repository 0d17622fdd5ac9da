// The whole of a program that writes one prepared scene as a settings file:
// it builds the scene into the world and writes it where its one argument
// says, exiting 2 with one line on standard error when it cannot.
#pragma once

#include <cstdio>
#include <string>

#include "settings/settings_files.h"
#include "sim/world_state.h"

inline int writeSceneFile(int argc, char** argv, const char* program, void (*buildScene)()) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.txt\n", program);
        return 2;
    }
    buildScene();
    const std::string failure = writeSettingsOutput(argv[1], world);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s: cannot write '%s': %s\n", program, argv[1], failure.c_str());
        return 2;
    }
    return 0;
}
