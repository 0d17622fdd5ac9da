// tabulix: a small window with a file number and two buttons that turns
// data/N.txt into the annotated Shift-JIS file textdata/N.txt.
#include <GL/glut.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "converter/convert_settings.h"
#include "glui/glui.h"
#include "launch/command_line.h"
#include "launch/user_folder.h"
#include "settings/file_writing.h"

namespace {

const char* const help =
    "usage: tabulix [GLUT options] [--user-folder]\n"
    "Turns the simulator's settings file data/N.txt into the annotated Shift-JIS\n"
    "text file textdata/N.txt, every value behind its Japanese label. Works in the\n"
    "current folder, with the label font sjis.fnt (else the installed one).\n"
    "\n"
    "  --user-folder  work in ${XDG_DATA_HOME:-~/.local/share}/partivox, the\n"
    "                 simulator's folder when it is started from the menu\n"
    "  --help         this text\n"
    "  --version      the version\n";

// Before glutInit, so that --help and a mistyped option need no display.
bool askedForUserFolder(int argc, char** argv)
{
    const std::vector<const char*> own = argumentsBesideGlut(argc, argv);
    answerHelpAndVersion(own, "tabulix", help);
    bool userFolder = false;
    for (const char* argument : own) {
        if (std::strcmp(argument, "--user-folder") == 0)
            userFolder = true;
        else if (isOption(argument))
            refuseOption("tabulix", argument);
        else
            refuseArguments("tabulix", help);
    }
    return userFolder;
}

void drawNothing() {}

// GLUI wants a main graphics window to hand to its callbacks; the converter
// has nothing to draw, so it gets one that is never shown.
int createHiddenMainWindow()
{
    const int window = glutCreateWindow("非表示ウィンドウ");
    glutDisplayFunc(drawNothing);
    glutHideWindow();
    return window;
}

}  // namespace

int main(int argc, char** argv)
{
    failWritesPastTheFileSizeLimit();
    const bool userFolder = askedForUserFolder(argc, argv);
    glutInit(&argc, argv);
    if (userFolder)
        enterUserFolder("tabulix");
    const int hiddenWindow = createHiddenMainWindow();
    GLUI* window = GLUI_Master.create_glui("データ変換", 0);
    window->add_edittext("ファイル番号", GLUI_EDITTEXT_INT, &fileNumber)->set_w(200);
    window->add_button("変換", 0, convertSettings);
    window->add_button("終了", 0, exit);
    window->set_main_gfx_window(hiddenWindow);
    glutMainLoop();
}
