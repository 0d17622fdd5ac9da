// tabulix: a small window with a file number and two buttons that turns
// data/N.txt into the annotated Shift-JIS file textdata/N.txt.
#include <GL/glut.h>

#include <cstdlib>

#include "converter/convert_settings.h"
#include "glui/glui.h"
#include "settings/file_writing.h"

namespace {

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
    glutInit(&argc, argv);
    const int hiddenWindow = createHiddenMainWindow();
    GLUI* window = GLUI_Master.create_glui("データ変換", 0);
    window->add_edittext("ファイル番号", GLUI_EDITTEXT_INT, &fileNumber)->set_w(200);
    window->add_button("変換", 0, convertSettings);
    window->add_button("終了", 0, exit);
    window->set_main_gfx_window(hiddenWindow);
    glutMainLoop();
}
