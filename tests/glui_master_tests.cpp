// The program's own window registered through GLUI_Master: what a field
// being typed into does when the user turns to that window.
#include <limits>
#include <vector>

#include "tests/glui_harness.h"

#include <GL/glx.h>

using namespace harness;

namespace {

class MasterTest : public ControlWindowTest {};

float fieldValue = 0;
std::vector<float> valuesSeenByMouse;
std::vector<unsigned char> keysSeen;

void recordMouse(int, int, int, int) { valuesSeenByMouse.push_back(fieldValue); }
void recordKey(unsigned char key, int, int) { keysSeen.push_back(key); }

// A press in the main window commits what was typed before the program
// sees the click; keys there reach the program, never the field.
TEST_F(MasterTest, TheMainWindowCommitsTheFieldFirstAndTakesItsKeys) {
    fieldValue = 1;
    valuesSeenByMouse.clear();
    keysSeen.clear();
    GLUI_EditText* field = glui->add_edittext("value", GLUI_EDITTEXT_FLOAT, &fieldValue, 3, recordingCallback);
    glutSetWindow(mainWindow());
    GLUI_Master.set_glutMouseFunc(recordMouse);
    GLUI_Master.set_glutKeyboardFunc(recordKey);

    clickControl(field);
    key(XK_Home);
    key(XK_End, true);
    type("25");
    clickMainWindow(50, 50);
    EXPECT_EQ(valuesSeenByMouse, (std::vector<float>{25, 25}));
    EXPECT_EQ(callbackLog.ids, std::vector<int>{3});
    EXPECT_EQ(callbackLog.currentWindows, std::vector<int>{mainWindow()});

    clickControl(field);
    key(XK_End);
    clickMainWindow(60, 60);
    key(XK_7);
    key(XK_p);
    EXPECT_EQ(keysSeen, (std::vector<unsigned char>{'7', 'p'}));
    EXPECT_STREQ(field->get_text(), "25.0");

    glutSetWindow(mainWindow());
    GLUI_Master.set_glutMouseFunc(nullptr);
    GLUI_Master.set_glutKeyboardFunc(nullptr);
}

}  // namespace

namespace {

class SyncTest : public ControlWindowTest {};

// The main loop syncs at every displayed frame: a value that did not change
// must not repaint anything, whatever it is.
TEST_F(SyncTest, AnUnchangedValueRepaintsNothing) {
    const float values[] = {1.5f, -0.0f, std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity()};
    for (float value : values) {
        float shown = 0;
        glui->add_edittext("v", GLUI_EDITTEXT_FLOAT, &shown);
        shown = value;
        glui->sync_live();
        pump();
        const int displays = mainDisplayCount();
        glui->sync_live();
        pump();
        EXPECT_EQ(mainDisplayCount(), displays) << value;
    }
}

}  // namespace

namespace {

// The pixels of a control as on screen, one grey level each.
std::vector<int> pixelsOf(GLUI_Control* c) {
    pump();
    glutSetWindow(c->glui->get_glut_window_id());
    XImage* image = XGetImage(display(), glXGetCurrentDrawable(), c->x_abs, c->y_abs, c->w, c->h, AllPlanes, ZPixmap);
    std::vector<int> grey;
    for (int y = 0; y < c->h; ++y)
        for (int x = 0; x < c->w; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            grey.push_back(static_cast<int>(((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3));
        }
    XDestroyImage(image);
    return grey;
}

// A changed value reaches the screen without a repaint of the whole window,
// which would cost every label at every displayed frame; it looks as the
// repaint would draw it, and the rest of the window stays as it was.
TEST_F(SyncTest, AChangedValueIsDrawnAloneOntoTheScreen) {
    float shown = 0;
    GLUI_EditText* field = glui->add_edittext("v", GLUI_EDITTEXT_FLOAT, &shown);
    GLUI_Checkbox* neighbour = glui->add_checkbox("neighbour");
    const std::vector<int> fieldBefore = pixelsOf(field), neighbourBefore = pixelsOf(neighbour);
    shown = 8888.5f;
    glui->sync_live();
    EXPECT_FALSE(glui->redisplay_pending);
    const std::vector<int> drawnAlone = pixelsOf(field);
    EXPECT_NE(drawnAlone, fieldBefore);
    EXPECT_EQ(pixelsOf(neighbour), neighbourBefore);
    glui->post_redisplay();
    EXPECT_EQ(pixelsOf(field), drawnAlone);
}

}  // namespace
