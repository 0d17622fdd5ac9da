// The start-up sequence; the program and the loop benchmark share it.
#include "ui/start_up.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "glui/glui.h"
#include "glui/window_title.h"
#include "launch/command_line.h"
#include "launch/user_folder.h"
#include "settings/file_writing.h"
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
// The connection is handed back open: a server whose only client leaves
// resets, and GLUT connecting during that reset is refused, so it may close
// only once GLUT has its own.
Display* requireDisplay(int argc, char** argv) {
    const char* name = displayName(argc, argv);
    Display* display = XOpenDisplay(name);
    if (display != nullptr) return display;
    if (name == nullptr && (std::getenv("DISPLAY") == nullptr || *std::getenv("DISPLAY") == '\0'))
        std::fprintf(stderr, "partivox: no display to open its windows on: DISPLAY is not set\n");
    else
        std::fprintf(stderr, "partivox: no usable display: cannot open X display \"%s\"\n", XDisplayName(name));
    std::exit(1);
}

const char* const help =
    "usage: partivox [GLUT options] [--user-folder] [--record FILE.csv] [FILE]\n"
    "Charged particles in a plane: a main window to watch and drag them, a\n"
    "control window for every setting. Works in the current folder: settings in\n"
    "data/N.txt, the label font sjis.fnt (else the installed one).\n"
    "\n"
    "  FILE               a settings file, loaded at start as the load button would\n"
    "  --user-folder      work in ${XDG_DATA_HOME:-~/.local/share}/partivox, made\n"
    "                     when missing, with data/, textdata/ and the example scenes\n"
    "  --record FILE.csv  write the conserved quantities of every displayed frame\n"
    "  --help             this text\n"
    "  --version          the version\n";

// The simulator's own arguments, read before any window or display is needed.
struct Arguments {
    bool userFolder = false;      // --user-folder: work in the user's own folder
    std::string recordFile;       // --record FILE.csv, opened before the user folder is entered
    std::string settingsFile;     // FILE, absolute: the user folder changes the working folder
};

Arguments readArguments(int argc, char** argv) {
    const std::vector<const char*> own = argumentsBesideGlut(argc, argv);
    answerHelpAndVersion(own, "partivox", help);
    Arguments arguments;
    std::vector<const char*> files;
    for (std::size_t k = 0; k < own.size(); ++k) {
        if (std::strcmp(own[k], "--user-folder") == 0)
            arguments.userFolder = true;
        else if (std::strcmp(own[k], "--record") == 0) {
            if (k + 1 == own.size()) refuseArguments("partivox", help);
            arguments.recordFile = own[++k];
        }
        else if (isOption(own[k]))
            refuseOption("partivox", own[k]);
        else
            files.push_back(own[k]);
    }
    if (files.size() > 1) refuseArguments("partivox", help);
    if (files.empty()) return arguments;
    if (!settingsFileOpens(files[0])) {
        std::fprintf(stderr, "partivox: cannot open settings file '%s'\n", files[0]);
        std::exit(2);
    }
    arguments.settingsFile = std::filesystem::absolute(files[0]).string();
    return arguments;
}

// Opened before any window, so that a recording that cannot be made is said
// at once rather than after the user has set up an experiment.
void startRecordingTo(const std::string& path) {
    if (path.empty()) return;
    const std::string failure = startRecording(path.c_str());
    if (failure.empty()) return;
    std::fprintf(stderr, "partivox: cannot record to '%s': %s\n", path.c_str(), failure.c_str());
    std::exit(2);
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
    failWritesPastTheFileSizeLimit();
    const Arguments arguments = readArguments(argc, argv);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Display* probe = requireDisplay(argc, argv);
    glutInit(&argc, argv);
    XCloseDisplay(probe);
    startRecordingTo(arguments.recordFile);
    if (arguments.userFolder) enterUserFolder("partivox");
    openMainWindow();
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    initWorld();
    controlWindow = GLUI_Master.create_glui("コントロールウィンドウ", 0, 600, 0);
    buildControlPanel();
    controlWindow->set_main_gfx_window(world.mainWindow);
    if (!arguments.settingsFile.empty()) {
        waitForMainWindowSize();
        loadSettingsFrom(arguments.settingsFile);
    }
    recordFrame(0);
}
