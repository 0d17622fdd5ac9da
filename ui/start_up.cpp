// The start-up sequence; the program and the loop benchmark share it.
#include "ui/start_up.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "glui/glui.h"
#include "glui/window_title.h"
#include "sim/world_init.h"
#include "sim/world_state.h"
#include "ui/control_panel.h"
#include "ui/main_window_drawing.h"
#include "ui/mouse_keyboard.h"
#include "ui/recording.h"
#include "ui/save_load.h"

namespace {

// The display GLUT will open: its -display option, or $DISPLAY.
const char* displayName(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-display") == 0) return argv[i + 1];
    return nullptr;
}

// GLUT would end the program with its own message; a user starting it
// without a desktop (over ssh, in a script) gets one that says what is wrong.
void requireDisplay(int argc, char** argv) {
    const char* name = displayName(argc, argv);
    Display* display = XOpenDisplay(name);
    if (display != nullptr) {
        XCloseDisplay(display);
        return;
    }
    if (name == nullptr && (std::getenv("DISPLAY") == nullptr || *std::getenv("DISPLAY") == '\0'))
        std::fprintf(stderr, "partivox: no display to open its windows on: DISPLAY is not set\n");
    else
        std::fprintf(stderr, "partivox: no usable display: cannot open X display \"%s\"\n", XDisplayName(name));
    std::exit(1);
}

// "--record FILE.csv" anywhere after GLUT's own options, taken out of argv.
const char* recordArgument(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--record") != 0) continue;
        if (i + 1 == argc) {
            std::fprintf(stderr, "usage: partivox [--record FILE.csv] [FILE]\n");
            std::exit(2);
        }
        const char* path = argv[i + 1];
        for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
        argc -= 2;
        return path;
    }
    return nullptr;
}

// Opened before any window, so that a recording that cannot be made is said
// at once rather than after the user has set up an experiment.
void startRecordingTo(const char* path) {
    if (path == nullptr) return;
    const std::string failure = startRecording(path);
    if (failure.empty()) return;
    std::fprintf(stderr, "partivox: cannot record to '%s': %s\n", path, failure.c_str());
    std::exit(2);
}

// What is left after GLUT took its own options: at most one settings file.
const char* settingsArgument(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: partivox [--record FILE.csv] [FILE]\n");
        std::exit(2);
    }
    if (argc < 2) return nullptr;
    if (!settingsFileOpens(argv[1])) {
        std::fprintf(stderr, "partivox: cannot open settings file '%s'\n", argv[1]);
        std::exit(2);
    }
    return argv[1];
}

void openMainWindow() {
    glutInitWindowSize(world.windowWidth, world.windowHeight);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    world.mainWindow = glutCreateWindow("メインウィンドウ");
    setWindowTitle("メインウィンドウ");
    glutDisplayFunc(displayMainWindow);
    glutReshapeFunc(reshapeMainWindow);
    // Through the toolkit, so that a press in the main window first commits
    // a value still being typed in the control window, and keys reach this
    // window's own handler rather than that field.
    GLUI_Master.set_glutMouseFunc(mouseMainWindow);
    glutMotionFunc(motionMainWindow);
    GLUI_Master.set_glutKeyboardFunc(keyboardMainWindow);
}

// The main window's first reshape reports the size it was created with. A
// file loaded before that report would have its window size overwritten by
// it, and the first steps would fold its particles into a 500 x 500 domain.
void waitForMainWindowSize() {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!mainWindowHasItsSize() && std::chrono::steady_clock::now() < giveUp) glutMainLoopEvent();
}

}  // namespace

void startUp(int& argc, char** argv) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    requireDisplay(argc, argv);
    glutInit(&argc, argv);
    const char* recordFile = recordArgument(argc, argv);
    const char* settingsFile = settingsArgument(argc, argv);
    startRecordingTo(recordFile);
    openMainWindow();
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    initWorld();
    controlWindow = GLUI_Master.create_glui("コントロールウィンドウ", 0, 600, 0);
    buildControlPanel();
    controlWindow->set_main_gfx_window(world.mainWindow);
    if (settingsFile != nullptr) {
        waitForMainWindowSize();
        loadSettingsFrom(settingsFile);
    }
    recordFrame(0);
}
