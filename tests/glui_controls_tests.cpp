// Check boxes, buttons, list boxes, rollouts, focus order, the main window's
// redisplays, window titles and the size of a large window.
#include "tests/glui_harness.h"

#include <GL/glx.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace harness;

namespace {

class ControlsTest : public ControlWindowTest {};

// Quit buttons take the runtime library's exit as their callback.
[[maybe_unused]] const GLUI_Update_CB kExitFits = exit;

TEST_F(ControlsTest, CheckboxTogglesItsIntOnAClickInsideOrOnSpace) {
    int flag = 0;
    GLUI_Checkbox* box = glui->add_checkbox("check", &flag, 3, recordingCallback);
    clickControl(box);
    EXPECT_EQ(flag, 1);

    // Pressing, leaving and letting go outside changes nothing.
    press(glui, box->x_abs + 5, box->y_abs + 5);
    release(glui, box->x_abs + 5, box->y_abs + 60);
    EXPECT_EQ(flag, 1);

    moveTo(glui, 1, 1);   // keys go to the window under the pointer
    key(XK_space);        // the box kept the focus
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(callbackLog.ids, (std::vector<int>{3, 3}));
}

TEST_F(ControlsTest, ButtonCallbackGetsItsIdWithTheMainWindowCurrent) {
    GLUI_Button* button = glui->add_button("press", 5, recordingCallback);
    clickControl(button);
    ASSERT_EQ(callbackLog.ids, (std::vector<int>{5}));
    EXPECT_EQ(callbackLog.currentWindows[0], mainWindow());
    EXPECT_EQ(glutGetWindow(), glui->get_glut_window_id());   // put back afterwards

    press(glui, button->x_abs + 5, button->y_abs + 5);
    release(glui, button->x_abs + 5, button->y_abs + 80);
    EXPECT_EQ(callbackLog.ids.size(), 1u);
    moveTo(glui, 1, 1);
    key(XK_space);
    EXPECT_EQ(callbackLog.ids, (std::vector<int>{5, 5}));
}

// 周期, 壁あり, 壁なし
const char* const kItems[] = {"\x8e\xfc\x8a\xfa", "\x95\xc7\x82\xa0\x82\xe8", "\x95\xc7\x82\xc8\x82\xb5"};

class ListboxTest : public ControlWindowTest {
protected:
    void SetUp() override {
        ControlWindowTest::SetUp();
        list = glui->add_listbox("edge", &choice, 2, recordingCallback);
        for (int i = 0; i < 3; ++i) list->add_item(10 + i, kItems[i]);
        pump();
    }
    // Centre of drop-down item i; the list opens below the box.
    void clickItem(int i) {
        click(glui, list->box_x() + 10, list->y_abs + list->h + 1 + i * 20 + 10);
    }
    int choice = 11;
    GLUI_Listbox* list = nullptr;
};

TEST_F(ListboxTest, ChoosingAnItemWritesItsIdAndCallsBackOnce) {
    EXPECT_EQ(list->get_int_val(), 11);   // the live value picks its item
    int closedHeight = windowHeight(glui);
    clickControl(list);
    ASSERT_EQ(glui->open_list, list);
    EXPECT_GE(windowHeight(glui), list->y_abs + list->h + 3 * 20);
    clickItem(2);
    EXPECT_EQ(glui->open_list, nullptr);
    EXPECT_EQ(choice, 12);
    EXPECT_EQ(windowHeight(glui), closedHeight);

    clickControl(list);
    clickItem(2);   // the same item again: no change, no call
    EXPECT_EQ(callbackLog.ids, (std::vector<int>{2}));

    moveTo(glui, 1, 1);
    key(XK_Up);   // focused: arrows step through the items
    EXPECT_EQ(choice, 11);
    EXPECT_EQ(callbackLog.ids, (std::vector<int>{2, 2}));
}

// Whatever closes the list leaves the choice alone, and a click elsewhere
// also does what it does with no list open. With the pointer on the last item
// the keys that close must not take it either.
TEST_F(ListboxTest, ClosingTheListKeepsTheChoiceAndPassesTheGestureOn) {
    int typed = 0;
    glui->add_column(false);
    GLUI_EditText* field = glui->add_edittext("next", GLUI_EDITTEXT_INT, &typed);
    struct Case {
        const char* name;
        std::function<void()> close;
        GLUI_Control* focused;   // nullptr: nothing
    };
    const Case cases[] = {
        {"Escape", [] { key(XK_Escape); }, list},
        {"Tab", [] { key(XK_Tab); }, field},
        {"click on the list box", [this] { clickControl(list); }, list},
        {"click on another field", [field] { clickControl(field); }, field},
        {"click on empty space", [this] { click(glui, 1, 1); }, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        field->set_int_val(0);
        clickControl(list);
        ASSERT_EQ(glui->open_list, list);
        moveTo(glui, list->box_x() + 10, list->y_abs + list->h + 1 + 2 * 20 + 10);
        c.close();
        EXPECT_EQ(glui->open_list, nullptr);
        EXPECT_EQ(choice, 11);
        EXPECT_EQ(list->is_active(), c.focused == list);
        EXPECT_EQ(field->is_active(), c.focused == field);
        moveTo(glui, field->x_abs + field->w - 2, field->y_abs + 2);   // keys go where the pointer is
        type("5");
        bool typedInField = std::strchr(field->get_text(), '5') != nullptr;
        EXPECT_EQ(typedInField, c.focused == field) << "typing goes to the focus";
    }
    EXPECT_TRUE(callbackLog.ids.empty());
}

// An inclusive pixel rectangle; empty while left > right.
struct Box {
    int left, top, right, bottom;
};

Box boxOf(const GLUI_Control* c, int dx, int dy, int w, int h) {
    return {c->x_abs + dx, c->y_abs + dy, c->x_abs + dx + w - 1, c->y_abs + dy + h - 1};
}

void include(Box& b, int x, int y) {
    b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
}

// Bounding box of the pixels inside area that are dark in `after` and, when
// given, differ from `before`.
Box darkBox(const Pixels& after, Box area, const Pixels* before = nullptr) {
    Box found{1 << 20, 1 << 20, -1, -1};
    for (int y = area.top; y <= area.bottom; ++y)
        for (int x = area.left; x <= area.right; ++x)
            if (after.at(x, y) < 80 && (before == nullptr || before->at(x, y) != after.at(x, y)))
                include(found, x, y);
    return found;
}

Pixels shoot(GLUI* glui) { return pixelsAt(glui, 0, 0, windowWidth(glui), windowHeight(glui)); }

// │粒│: the bars ink all 16 rows of the double-byte glyph cell.
const char kTallLabel[] = "\x84\xa0\x97\xb1\x84\xa0";

TEST_F(ControlsTest, FocusFramesAndBevelsStayClearOfDoubleByteText) {
    static int ticked = 0, item = 0;
    static char text[16];
    std::strcpy(text, kTallLabel);
    GLUI_Button* button = glui->add_button(kTallLabel);
    GLUI_Rollout* rollout = glui->add_rollout(kTallLabel, false);
    GLUI_Checkbox* checkbox = glui->add_checkbox(kTallLabel, &ticked);
    GLUI_EditText* field = glui->add_edittext("", GLUI_EDITTEXT_TEXT, text);
    GLUI_Listbox* list = glui->add_listbox("", &item);
    list->add_item(0, kTallLabel);
    struct Case {
        const char* name;
        GLUI_Control* control;
        Box outer;       // outer edge of the bevel, or the area the focus frame takes
        bool bevelled;
        bool framed;     // Tab order puts the framed ones first
    };
    const Case cases[] = {
        {"button", button, boxOf(button, 0, 0, button->w, button->h), true, true},
        {"rollout header", rollout, boxOf(rollout, 3, 2, rollout->w - 6, 24), true, true},
        {"check box label", checkbox, boxOf(checkbox, 16, 0, checkbox->w - 16, checkbox->h), false, true},
        {"edit field", field, boxOf(field, field->text_x_offset, 0, field->w - field->text_x_offset, field->h),
         true, false},
        {"list box", list, boxOf(list, list->box_x() - list->x_abs, 0, 58, list->h), true, false},
    };
    moveTo(glui, windowWidth(glui) - 1, windowHeight(glui) - 1);
    Pixels unfocused = shoot(glui);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Inside the bevel: its outer and inner lines are the bevel itself.
        const Box& o = c.outer;
        Box inside = c.bevelled ? Box{o.left + 2, o.top + 2, o.right - 2, o.bottom - 2} : o;
        Box ink = darkBox(unfocused, inside);
        ASSERT_LE(ink.top, ink.bottom) << "no text drawn";
        if (c.bevelled) {
            EXPECT_GE(ink.top, c.outer.top + 3);
            EXPECT_LE(ink.bottom, c.outer.bottom - 3);
        }
        if (!c.framed) continue;
        key(XK_Tab);
        ASSERT_TRUE(c.control->is_active());
        Box frame = darkBox(shoot(glui), inside, &unfocused);
        EXPECT_LE(frame.top, ink.top - 2);
        EXPECT_GE(frame.bottom, ink.bottom + 2);
        EXPECT_LE(frame.left, ink.left - 2);
        EXPECT_GE(frame.right, ink.right + 2);
    }
}

TEST_F(ControlsTest, ClosingARolloutHidesItsControlsAndShrinksTheWindow) {
    int inside = 1;
    GLUI_Rollout* rollout = glui->add_rollout("group", true);
    GLUI_EditText* field = glui->add_edittext_to_panel(rollout, "inside", GLUI_EDITTEXT_INT, &inside);
    glui->add_button("after");
    int openHeight = windowHeight(glui);
    int fieldX = field->x_abs + field->w - 5, fieldY = field->y_abs + 5;

    clickControl(field);
    type("7");
    click(glui, rollout->x_abs + 30, rollout->y_abs + 10);   // the header
    EXPECT_FALSE(rollout->is_open);
    EXPECT_EQ(inside, 17);   // what was typed is committed, not lost
    EXPECT_LT(windowHeight(glui), openHeight - field->h);

    click(glui, fieldX, fieldY);
    EXPECT_FALSE(field->is_active());
    key(XK_Tab);
    key(XK_Tab);
    EXPECT_FALSE(field->is_active());

    rollout->open();
    EXPECT_EQ(windowHeight(glui), openHeight);
}

TEST_F(ControlsTest, AWindowResizedFromOutsideSnapsBackToItsContent) {
    glui->add_button("only");
    int w = windowWidth(glui), h = windowHeight(glui);
    glutSetWindow(glui->get_glut_window_id());
    XResizeWindow(display(), glXGetCurrentDrawable(), w + 200, h + 100);
    pump();
    EXPECT_EQ(windowWidth(glui), w);
    EXPECT_EQ(windowHeight(glui), h);
}

TEST_F(ControlsTest, TabAndShiftTabFollowCreationOrderAndSkipClosedRollouts) {
    int a = 0, b = 0, c = 0, d = 0;
    GLUI_EditText* e1 = glui->add_edittext("e1", GLUI_EDITTEXT_INT, &a);
    GLUI_Button* b1 = glui->add_button("b1");
    GLUI_Checkbox* c1 = glui->add_checkbox("c1", &b);
    GLUI_Rollout* open = glui->add_rollout("open", true);
    GLUI_EditText* e2 = glui->add_edittext_to_panel(open, "e2", GLUI_EDITTEXT_INT, &c);
    GLUI_Rollout* closed = glui->add_rollout("closed", false);
    glui->add_edittext_to_panel(closed, "e3", GLUI_EDITTEXT_INT, &d);
    GLUI_Listbox* lb = glui->add_listbox("lb", &d);
    lb->add_item(0, "zero");
    const std::vector<GLUI_Control*> order = {e1, b1, c1, open, e2, closed, lb};

    moveTo(glui, 1, 1);
    for (size_t i = 0; i <= order.size(); ++i) {
        key(XK_Tab);
        EXPECT_TRUE(order[i % order.size()]->is_active()) << "forward " << i;
    }
    for (int i = 6; i >= 0; --i) {
        key(XK_Tab, Shift);
        EXPECT_TRUE(order[i]->is_active()) << "backward " << i;
    }
}

TEST_F(ControlsTest, MainWindowIsRedisplayedAfterACommitButNotPerKeystroke) {
    int value = 0;
    GLUI_EditText* field = glui->add_edittext("value", GLUI_EDITTEXT_INT, &value);
    clickControl(field);
    pump();
    int before = mainDisplayCount();
    type("123");
    EXPECT_EQ(mainDisplayCount(), before);
    key(XK_Return);
    EXPECT_EQ(mainDisplayCount(), before + 1);
}

TEST_F(ControlsTest, ColumnsStandSideBySideAndALongerStaticTextWidensTheWindow) {
    static int value = 0;
    GLUI_EditText* left = glui->add_edittext("left", GLUI_EDITTEXT_INT, &value);
    GLUI_Column* bar = glui->add_column(true);
    GLUI_StaticText* text = glui->add_statictext("U(x,y)=-ax-by");
    EXPECT_GT(bar->x_abs, left->x_abs + left->w);
    EXPECT_GT(text->x_abs, bar->x_abs);
    EXPECT_EQ(text->y_abs, left->y_abs);
    int before = windowWidth(glui);
    text->set_text("U(r)=1/r (r>=a), U(r)=1/2a*(3-r^2/a^2) (r<a)");
    EXPECT_GE(windowWidth(glui), text->x_abs + text->w);
    EXPECT_GT(windowWidth(glui), before);
}

// glutMainLoop never returns, so each case runs in a fresh process and ends
// it with a code that says which routine GLUT called.
void exitFromIdle() { std::exit(7); }
void exitFromTimer(int) { std::exit(3); }

TEST(IdleRoutineDeathTest, RunsFromGlutsIdleProcessingUntilANullRoutineStopsIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            mainWindow();
            GLUI_Master.set_glutIdleFunc(exitFromIdle);
            glutMainLoop();
        },
        testing::ExitedWithCode(7), "");
    EXPECT_EXIT(
        {
            mainWindow();
            GLUI_Master.set_glutIdleFunc(exitFromIdle);
            GLUI_Master.set_glutIdleFunc(nullptr);
            glutTimerFunc(100, exitFromTimer, 0);
            glutMainLoop();
        },
        testing::ExitedWithCode(3), "");
}

// Another client either asks the window to close, as a window manager does,
// or destroys it outright.
void closeFromOutside(int glutWindow, bool destroy) {
    Window target = xWindow(glutWindow);
    Display* other = XOpenDisplay(nullptr);
    if (destroy) {
        XDestroyWindow(other, target);
    } else {
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = target;
        close.xclient.message_type = XInternAtom(other, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(XInternAtom(other, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(other, target, False, NoEventMask, &close);
    }
    XCloseDisplay(other);
}

// Each case runs in a fresh process; a program left running would be killed
// by the alarm and fail the case.
TEST(WindowCloseDeathTest, ClosingEitherWindowOrDestroyingTheControlWindowEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* name;
        bool controlWindow;
        bool destroy;
    };
    const Case cases[] = {
        {"main window closed by the window manager", false, false},
        {"control window closed by the window manager", true, false},
        {"control window destroyed by another client", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                alarm(20);
                GLUI* glui = openControlWindow();
                glui->add_button("quit", 0, exit);
                pump();
                closeFromOutside(c.controlWindow ? glui->get_glut_window_id() : mainWindow(), c.destroy);
                glutMainLoop();
            },
            testing::ExitedWithCode(0), "^$");
    }
}

std::string windowProperty(Window w, const char* name) {
    Display* d = display();
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1024, False, AnyPropertyType, &type,
                       &format, &count, &after, &data);
    std::string value(reinterpret_cast<char*>(data), count);
    XFree(data);
    return value;
}

TEST(WindowTitle, ShowsShiftJisTitlesAsUtf8AndNamesTheProgram) {
    mainWindow();
    GLUI* glui = openControlWindow("\x83\x66\x81\x5b\x83\x5e\x95\xcf\x8a\xb7");   // データ変換
    glutSetWindow(glui->get_glut_window_id());
    Window w = glXGetCurrentDrawable();
    EXPECT_EQ(windowProperty(w, "_NET_WM_NAME"),
              "\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf\xe5\xa4\x89\xe6\x8f\x9b");
    EXPECT_EQ(windowProperty(w, "WM_NAME"), "\x83\x66\x81\x5b\x83\x5e\x95\xcf\x8a\xb7");
    XClassHint hint;
    ASSERT_NE(XGetClassHint(display(), w, &hint), 0);
    EXPECT_STREQ(hint.res_class, "glui_tests");
    XFree(hint.res_name);
    XFree(hint.res_class);
    glui->close();
}

// A window taller than the screen takes the height the screen has room for
// and scrolls: the wheel and the bar move the view, clicks and repaints
// follow it, and the focus brings a control out of view into view.
TEST_F(ControlsTest, AWindowTallerThanTheScreenScrollsToEveryControl) {
    std::vector<GLUI_Button*> buttons;
    for (int i = 0; i < 50; ++i) buttons.push_back(glui->add_button("row", i, recordingCallback));
    int ticked = 0;
    GLUI_Checkbox* box = glui->add_checkbox("last", &ticked);
    const int h = windowHeight(glui);
    ASSERT_LE(h, DisplayHeight(display(), DefaultScreen(display())) - 32);
    ASSERT_GT(glui->full_h, h);
    const int travel = glui->full_h - h;
    EXPECT_EQ(windowWidth(glui), glui->content_w + 12) << "the bar stands beside the controls";

    struct Turn {
        int notches, scroll;
    } turns[] = {{1, 48}, {2, 144}, {-1, 96}, {-5, 0}, {100, travel}};
    for (const Turn& t : turns) {
        wheel(glui, 50, 50, t.notches);
        EXPECT_EQ(glui->scroll_y, t.scroll) << t.notches << " notches";
    }

    GLUI_Button* lastButton = buttons.back();
    const int row = lastButton->y_abs - glui->scroll_y;
    EXPECT_EQ(greyAt(glui, lastButton->x_abs + 5, row), 255) << "the last button's light top edge";
    callbackLog = {};
    click(glui, lastButton->x_abs + 10, row + lastButton->h / 2);
    EXPECT_EQ(callbackLog.ids, std::vector<int>{49});

    const int boxRow = box->y_abs - glui->scroll_y;
    const Pixels unticked = pixelsAt(glui, box->x_abs, boxRow, 18, box->h);
    ticked = 1;
    glui->sync_live();
    EXPECT_NE(pixelsAt(glui, box->x_abs, boxRow, 18, box->h).grey, unticked.grey) << "drawn where it is shown";

    const int bar = windowWidth(glui) - 6;
    click(glui, bar, 2);
    EXPECT_EQ(glui->scroll_y, 0) << "a press at the top of the bar";
    press(glui, bar, 10);
    release(glui, bar, h - 1);
    EXPECT_EQ(glui->scroll_y, travel) << "the thumb dragged to the bottom";

    click(glui, bar, 2);
    clickControl(buttons[0]);
    key(XK_Tab, Shift);
    ASSERT_TRUE(box->is_active());
    EXPECT_GE(box->y_abs, glui->scroll_y);
    EXPECT_LE(box->y_abs + box->h, glui->scroll_y + h) << "Shift+Tab wrapped to the last control, in view";
    key(XK_Tab);
    EXPECT_LE(glui->scroll_y, buttons[0]->y_abs) << "Tab wrapped to the first, in view";
}

// A window opens where the program asks if it fits there; otherwise it is
// pulled left and up just enough (leaving room below for a title bar), and
// one wider than the screen starts at its left edge.
TEST_F(ControlsTest, AWindowOpensInsideTheScreen) {
    const int screenW = DisplayWidth(display(), DefaultScreen(display()));
    const int screenH = DisplayHeight(display(), DefaultScreen(display()));
    struct Case {
        int askX, askY, columns;
        bool pulledLeft, pulledUp;
    } cases[] = {
        {100, 50, 1, false, false},
        {screenW - 10, 20, 1, true, false},
        {30, screenH - 5, 1, false, true},
        {screenW, screenH, 2, true, true},
        {500, 0, 6, true, false},
    };
    static float value;
    for (const Case& c : cases) {
        GLUI* window = GLUI_Master.create_glui("placed", 0, c.askX, c.askY);
        for (int column = 0; column < c.columns; ++column) {
            if (column > 0) window->add_column(false);
            window->add_edittext("value", GLUI_EDITTEXT_FLOAT, &value)->set_w(250);
        }
        const int w = windowWidth(window), h = windowHeight(window);
        int x, y;
        Window child;
        XTranslateCoordinates(display(), xWindow(window->get_glut_window_id()), DefaultRootWindow(display()), 0, 0,
                              &x, &y, &child);
        EXPECT_EQ(x, !c.pulledLeft ? c.askX : std::max(screenW - w, 0)) << c.askX << " " << c.columns;
        EXPECT_EQ(y, !c.pulledUp ? c.askY : screenH - h - 32) << c.askY;
        window->close();
    }
}

// The simulator's window: eight rollouts of two columns of 250-pixel fields
// with long labels, two of them open, and a row of commands below.
TEST_F(ControlsTest, ALargeWindowWithMostRolloutsClosedFitsTheScreenTidily) {
    static float values[8][16];
    // 時計回りの磁場による角運動量: one of the longest labels.
    const char* label = "\x8e\x9e\x8c\x76\x89\xf1\x82\xe8\x82\xcc\x8e\xa5\x8f\xea\x82\xc9\x82\xe6"
                        "\x82\xe9\x8a\x70\x89\x5e\x93\xae\x97\xca";
    std::vector<GLUI_Rollout*> rollouts;
    for (int r = 0; r < 8; ++r) {
        GLUI_Rollout* rollout = glui->add_rollout("rollout", r == 3 || r == 7);
        rollouts.push_back(rollout);
        for (int i = 0; i < 16; ++i) {
            if (i == 8) glui->add_column_to_panel(rollout, false);
            glui->add_edittext_to_panel(rollout, label, GLUI_EDITTEXT_FLOAT, &values[r][i])->set_w(250);
        }
    }
    for (int i = 0; i < 5; ++i) glui->add_button("command");
    EXPECT_LE(windowWidth(glui), 1280);
    EXPECT_LE(windowHeight(glui), 1024);
    for (GLUI_Rollout* rollout : rollouts) {
        EXPECT_EQ(rollout->x_abs, rollouts[0]->x_abs);
        EXPECT_EQ(rollout->w, rollouts[0]->w);
    }
}

}  // namespace
