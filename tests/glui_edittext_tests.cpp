// Edit fields driven with real pointer and key events: committing, numbers,
// double-byte text, caret and selection, sync_live, disabled fields.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "glui/number_text.h"
#include "tests/glui_harness.h"

using namespace harness;

namespace {

class EditTextTest : public ControlWindowTest {};

// Puts the caret at byte offset pos of a field that shows its text from the start.
void clickAtOffset(GLUI_EditText* e, int pos) {
    int x = e->x_abs + e->text_x_offset + 5 + e->substring_width(0, pos);
    click(e->glui, x, e->y_abs + e->h / 2);
}

TEST_F(EditTextTest, IntAndFloatFieldsCommitOnEnterAndTabAndCallBackOnce) {
    for (KeySym commitKey : {XK_Return, XK_Tab}) {
        SCOPED_TRACE(commitKey == XK_Return ? "Enter" : "Tab");
        callbackLog = {};
        int count = 5;
        float speed = 0.1f;
        GLUI_EditText* intField =
            glui->add_edittext("count", GLUI_EDITTEXT_INT, &count, 7, recordingCallback);
        GLUI_EditText* floatField =
            glui->add_edittext("speed", GLUI_EDITTEXT_FLOAT, &speed, 8, recordingCallback);

        clickControl(intField);
        key(XK_a);   // not a digit: refused
        key(XK_BackSpace);
        type("42");
        key(commitKey);
        EXPECT_EQ(count, 42);
        EXPECT_STREQ(intField->get_text(), "42");

        clickControl(floatField);
        key(XK_Home);
        key(XK_End, Shift);
        type("2.50");
        key(commitKey);
        EXPECT_FLOAT_EQ(speed, 2.5f);
        EXPECT_STREQ(floatField->get_text(), "2.5");

        // Leaving the field after Enter commits the same text again: no second call.
        click(glui, 1, 1);
        EXPECT_EQ(callbackLog.ids, (std::vector<int>{7, 8}));
    }
}

TEST_F(EditTextTest, CommittedNumbersAreNormalised) {
    int count = 3;
    float mass = 1.0f;
    GLUI_EditText* intField = glui->add_edittext("count", GLUI_EDITTEXT_INT, &count, 1, recordingCallback);
    GLUI_EditText* floatField = glui->add_edittext("mass", GLUI_EDITTEXT_FLOAT, &mass, 2, recordingCallback);
    EXPECT_STREQ(floatField->get_text(), "1.0");

    clickControl(floatField);
    key(XK_End);
    key(XK_Home, Shift);
    type("3.14159265");
    key(XK_Return);
    EXPECT_STREQ(floatField->get_text(), "3.14159");
    EXPECT_FLOAT_EQ(mass, 3.14159265f);   // the value keeps every digit typed

    clickControl(intField);
    key(XK_End);
    key(XK_Home, Shift);
    type("-0070");
    key(XK_Return);
    EXPECT_STREQ(intField->get_text(), "-70");
    EXPECT_EQ(count, -70);

    // A lone minus is no number: the field goes back to -70, not to 0.
    key(XK_BackSpace);
    type("-");
    key(XK_Tab);
    EXPECT_STREQ(intField->get_text(), "-70");
    EXPECT_EQ(count, -70);
    EXPECT_EQ(callbackLog.ids, (std::vector<int>{2, 1}));
}

// A float field's int view of values a file or the user can give it beyond
// the int range: saturated, where a plain conversion is undefined.
TEST_F(EditTextTest, FloatFieldsBeyondTheIntRangeGiveASaturatedInt) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float value;
        int asInt;
    } rows[] = {
        {std::nanf(""), 0},         {inf, INT_MAX},          {-inf, INT_MIN},
        {2147483648.0f, INT_MAX},   {1e10f, INT_MAX},        {-2147483904.0f, INT_MIN},
        {-2147483648.0f, INT_MIN},  {2147483520.0f, 2147483520}, {-2.75f, -2},
    };
    float live = 0;
    GLUI_EditText* e = glui->add_edittext("f", GLUI_EDITTEXT_FLOAT, &live);
    for (const auto& row : rows) {
        e->set_float_val(row.value);
        EXPECT_EQ(e->get_int_val(), row.asInt) << row.value;
    }
}

// Text that reads as no number loses nothing: the field shows its value again.
TEST_F(EditTextTest, EmptyTextAMinusOrAPointRevertsANumberField) {
    struct Case {
        int dataType;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {GLUI_EDITTEXT_INT, "", "3"},     {GLUI_EDITTEXT_INT, "-", "3"},
        {GLUI_EDITTEXT_FLOAT, "", "3.0"}, {GLUI_EDITTEXT_FLOAT, "-", "3.0"},
        {GLUI_EDITTEXT_FLOAT, ".", "3.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dataType == GLUI_EDITTEXT_INT ? "int " : "float ") + "\"" + c.typed + "\"");
        callbackLog = {};
        int whole = 3;
        float real = 3.0f;
        void* live = c.dataType == GLUI_EDITTEXT_INT ? static_cast<void*>(&whole) : &real;
        GLUI_EditText* e = glui->add_edittext("n", c.dataType, live, 1, recordingCallback);
        clickControl(e);
        key(XK_U, Ctrl);
        type(c.typed);
        EXPECT_STREQ(e->get_text(), c.typed);
        key(XK_Return);
        EXPECT_STREQ(e->get_text(), c.shown);
        EXPECT_EQ(whole, 3);
        EXPECT_EQ(real, 3.0f);
        EXPECT_TRUE(callbackLog.ids.empty());
        e->disable();   // out of the way of the next case's clicks and keys
    }
}

// Boxes of n characters: the most digits that fit, rounded; exponent form
// once the integer part does not fit; the shortest form when nothing fits.
TEST(NumberText, NumbersTooLongForTheirBoxAreRoundedToTheDigitsThatFit) {
    const struct {
        double value;
        size_t room;
        const char* shown;
    } rows[] = {
        {2.5, 6, "2.5"},           {-14.5692, 6, "-14.57"},    {7049.98, 6, "7050.0"},
        {7049.98, 4, "7050"},      {7049.98, 3, "7e+03"},      {123456, 6, "123456"},
        {1234567, 7, "1.2e+06"},   {0.000123456, 8, "0.000123"}, {1e-10, 5, "1e-10"},
        {-1e30, 2, "-1e+30"},
    };
    for (const auto& row : rows) {
        auto fits = [&row](const std::string& text) { return text.size() <= row.room; };
        EXPECT_EQ(roundedToFit(row.value, fits), row.shown) << row.value << " in " << row.room;
    }
}

TEST(NumberText, FloatsShowSixDigitsWithoutTrailingZeros) {
    EXPECT_EQ(formatFloat(1.0f), "1.0");
    EXPECT_EQ(formatFloat(0.1f), "0.1");
    EXPECT_EQ(formatFloat(0.0025f), "0.0025");
    EXPECT_EQ(formatFloat(100.0f), "100.0");
    EXPECT_EQ(formatFloat(-0.25f), "-0.25");
    EXPECT_EQ(formatFloat(1234567.0f), "1.23457e+06");
    EXPECT_EQ(formatFloat(1e10f), "1.0e+10");
    EXPECT_EQ(formatFloat(1e-10f), "1.0e-10");
    float value = 0;
    EXPECT_TRUE(parseFloat("1.0e+10", value));
    EXPECT_FLOAT_EQ(value, 1e10f);
    EXPECT_FALSE(parseFloat(".", value));
    int number = 0;
    EXPECT_FALSE(parseInt("-", number));
    EXPECT_TRUE(parseInt("99999999999", number));
    EXPECT_EQ(number, 2147483647);
}

// 粒 子 in Shift-JIS around an ASCII letter: "粒a子".
const char kMixed[] = "\x97\xb1" "a" "\x8e\x71";

TEST_F(EditTextTest, BackspaceAndArrowsTreatADoubleByteCharacterAsOne) {
    char note[64];
    std::strcpy(note, kMixed);
    GLUI_EditText* e = glui->add_edittext("note", GLUI_EDITTEXT_TEXT, note);
    e->set_w(250);
    clickControl(e);   // right of the text: caret at the end
    EXPECT_EQ(e->insertion_pt, 5);

    key(XK_Left);
    EXPECT_EQ(e->insertion_pt, 3);
    key(XK_Left);
    EXPECT_EQ(e->insertion_pt, 2);
    key(XK_Left);
    EXPECT_EQ(e->insertion_pt, 0);
    key(XK_Right);
    EXPECT_EQ(e->insertion_pt, 2);
    key(XK_Right, Shift);
    key(XK_Right, Shift);
    EXPECT_EQ(e->sel_start, 2);
    EXPECT_EQ(e->sel_end, 5);

    key(XK_End);
    key(XK_BackSpace);
    EXPECT_STREQ(e->get_text(), "\x97\xb1" "a");
    key(XK_Home);
    key(XK_Delete);
    EXPECT_STREQ(e->get_text(), "a");
    key(XK_Return);
    EXPECT_STREQ(note, "a");
}

// Each key sequence starts with the caret at the start of "ab cd-ef".
TEST_F(EditTextTest, EditingKeysMoveByCharactersAndWordsDeleteAndSwallowTheRest) {
    struct Press {
        KeySym sym;
        unsigned modifiers;
    };
    struct Case {
        const char* name;
        std::vector<Press> keys;
        const char* text;
        int selStart, caret;
    };
    const Case cases[] = {
        {"Ctrl-E goes to the end", {{XK_e, Ctrl}}, "ab cd-ef", 8, 8},
        {"Ctrl-F and Ctrl-B step a character", {{XK_f, Ctrl}, {XK_f, Ctrl}, {XK_b, Ctrl}}, "ab cd-ef", 1, 1},
        {"Ctrl+Right stops at word breaks", {{XK_Right, Ctrl}, {XK_Right, Ctrl}}, "ab cd-ef", 5, 5},
        {"Ctrl+Left stops at word starts", {{XK_End, 0}, {XK_Left, Ctrl}, {XK_Left, Ctrl}}, "ab cd-ef", 3, 3},
        {"Alt-F and Alt-B move by words", {{XK_f, Alt}, {XK_f, Alt}, {XK_f, Alt}, {XK_b, Alt}}, "ab cd-ef", 6, 6},
        {"Ctrl+Shift+Right selects a word", {{XK_Right, Ctrl | Shift}}, "ab cd-ef", 0, 2},
        {"Ctrl-D deletes to the right", {{XK_d, Ctrl}}, "b cd-ef", 0, 0},
        {"Ctrl-K kills to the end", {{XK_f, Ctrl}, {XK_f, Ctrl}, {XK_k, Ctrl}}, "ab", 2, 2},
        {"Ctrl-U clears the field", {{XK_e, Ctrl}, {XK_u, Ctrl}}, "", 0, 0},
        {"Alt-D deletes a word", {{XK_d, Alt}}, " cd-ef", 0, 0},
        {"Ctrl+Delete deletes to the next break",
         {{XK_Right, Ctrl}, {XK_Delete, Ctrl}}, "ab-ef", 2, 2},
        {"Up and Down drop a selection",
         {{XK_End, Shift}, {XK_Up, 0}, {XK_Left, Shift}, {XK_Down, 0}}, "ab cd-ef", 7, 7},
        {"other Ctrl and Alt keys type nothing",
         {{XK_x, Alt}, {XK_1, Alt}, {XK_1, Ctrl}, {XK_x, Ctrl}, {XK_space, Ctrl}, {XK_period, Ctrl | Shift}},
         "ab cd-ef", 0, 0},
    };
    char note[32];
    GLUI_EditText* e = glui->add_edittext("note", GLUI_EDITTEXT_TEXT, note);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        e->set_text("ab cd-ef");
        clickControl(e);
        key(XK_Home);
        for (const Press& p : c.keys) key(p.sym, p.modifiers);
        EXPECT_STREQ(e->get_text(), c.text);
        EXPECT_EQ(e->sel_start, c.selStart);
        EXPECT_EQ(e->insertion_pt, c.caret);
        click(glui, 1, 1);
    }
}

// The caret is a column of its own between the ink of the two characters
// around it: "l|t", "1|4", "粒|子", "a|粒". The first two have a blank last
// column before the caret, the last two a blank first column after it.
TEST_F(EditTextTest, CaretIsDrawnInTheGapBetweenTwoGlyphs) {
    struct Case {
        const char* text;
        int at;
    };
    const Case cases[] = {{"lt", 1}, {"14", 1}, {"\x97\xb1\x8e\x71", 2}, {"a\x97\xb1", 1}};
    char note[16];
    GLUI_EditText* e = glui->add_edittext("note", GLUI_EDITTEXT_TEXT, note);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        e->set_text(c.text);
        int left = e->x_abs + e->text_x_offset + 5, width = e->substring_width(0, 4);
        int rows = 16, top = e->y_abs + 3;   // the glyph cell
        Pixels text = pixelsAt(glui, left, top, width, rows);
        clickAtOffset(e, c.at);
        ASSERT_EQ(e->insertion_pt, c.at);
        Pixels withCaret = pixelsAt(glui, left, top, width, rows);
        int boundary = left + e->substring_width(0, c.at);
        int caret = -1, lastInkBefore = -1, firstInkAfter = 1 << 20;
        for (int x = left; x < left + width; ++x) {
            for (int y = top; y < top + rows; ++y) {
                if (withCaret.at(x, y) != text.at(x, y)) caret = x;
                if (text.at(x, y) >= 80) continue;
                if (x < boundary) lastInkBefore = std::max(lastInkBefore, x);
                else firstInkAfter = std::min(firstInkAfter, x);
            }
        }
        EXPECT_GT(caret, lastInkBefore);
        EXPECT_LT(caret, firstInkAfter);
        click(glui, 1, 1);
    }
}

// 300 characters typed into a field must not run over its variable into the
// memory after it: typing stops when the declared buffer is full, and longer
// text from outside is cut before a double-byte character that would not fit.
TEST_F(EditTextTest, TextFieldsNeverWritePastTheirVariable) {
    struct {
        char note[8];
        char after[8];
    } declared = {"", "guard"};
    GLUI_EditText* small = glui->add_edittext("note", GLUI_EDITTEXT_TEXT, declared.note);
    small->set_text_buffer_size(sizeof declared.note);
    clickControl(small);
    type("abcdefghij");
    key(XK_Return);
    EXPECT_STREQ(declared.note, "abcdefg");
    EXPECT_STREQ(declared.after, "guard");
    key(XK_Home);
    key(XK_Delete);
    type("xy");   // one byte freed, one taken
    EXPECT_STREQ(small->get_text(), "xbcdefg");
    small->set_text("abcdef" "\x97\xb1");
    EXPECT_STREQ(declared.note, "abcdef");

    struct {
        char note[GLUI_TEXT_BUFFER_SIZE];
        char after[8];
    } undeclared = {"", "guard"};
    GLUI_EditText* plain = glui->add_edittext("plain", GLUI_EDITTEXT_TEXT, undeclared.note);
    for (int i = 0; i < 300; ++i) plain->key_handler('x', 0);
    plain->commit();
    EXPECT_EQ(std::strlen(undeclared.note), static_cast<size_t>(GLUI_TEXT_BUFFER_SIZE - 1));
    EXPECT_STREQ(undeclared.after, "guard");
}

TEST_F(EditTextTest, LongTextScrollsByWholeCharactersToKeepTheCaretInView) {
    char note[128] = "";
    for (int i = 0; i < 20; ++i) std::strcat(note, "\x97\xb1");   // 粒 x 20: 320 pixels
    GLUI_EditText* e = glui->add_edittext("note", GLUI_EDITTEXT_TEXT, note);
    int room = e->w - e->text_x_offset - 10;
    clickControl(e);
    key(XK_End);
    EXPECT_EQ(e->substring_end, 40);
    EXPECT_GT(e->substring_start, 0);
    EXPECT_EQ(e->substring_start % 2, 0);
    EXPECT_LE(e->substring_width(e->substring_start, e->substring_end), room);
    EXPECT_GT(e->substring_width(e->substring_start - 2, e->substring_end), room);
    key(XK_Home);
    EXPECT_EQ(e->substring_start, 0);
    EXPECT_EQ(e->substring_end % 2, 0);

    // Dragging past the right end selects on and scrolls the text along.
    int y = e->y_abs + e->h / 2;
    press(glui, e->x_abs + e->text_x_offset + 6, y);
    for (int i = 0; i < 60 && e->sel_end < 40; ++i) moveTo(glui, e->x_abs + e->w + 5 + i % 2, y);
    release(glui, e->x_abs + e->w + 20, y);
    EXPECT_EQ(e->sel_start, 0);
    EXPECT_EQ(e->sel_end, 40);
    EXPECT_GT(e->substring_start, 0);
}

TEST_F(EditTextTest, MouseDragAndShiftArrowsSelectAndTypingReplaces) {
    int value = 12345;
    GLUI_EditText* e = glui->add_edittext("value", GLUI_EDITTEXT_INT, &value);
    pump();
    int y = e->y_abs + e->h / 2;
    int left = e->x_abs + e->text_x_offset + 5;

    clickAtOffset(e, 2);
    EXPECT_EQ(e->insertion_pt, 2);
    press(glui, left + e->substring_width(0, 1), y);
    moveTo(glui, left + e->substring_width(0, 4), y);
    release(glui, left + e->substring_width(0, 4), y);
    EXPECT_EQ(e->sel_start, 1);
    EXPECT_EQ(e->sel_end, 4);
    type("9");
    EXPECT_STREQ(e->get_text(), "195");

    key(XK_End);
    key(XK_Left, Shift);
    key(XK_Left, Shift);
    type("0");
    EXPECT_STREQ(e->get_text(), "10");
    key(XK_Home);
    key(XK_Delete);
    EXPECT_STREQ(e->get_text(), "0");
    EXPECT_EQ(value, 12345);   // nothing committed yet
    key(XK_Tab);
    EXPECT_EQ(value, 0);
}

TEST_F(EditTextTest, SyncLiveShowsNewValuesButSparesTheFieldBeingTyped) {
    int typed = 1, other = 2;
    GLUI_EditText* typing = glui->add_edittext("typed", GLUI_EDITTEXT_INT, &typed);
    GLUI_EditText* shown = glui->add_edittext("other", GLUI_EDITTEXT_INT, &other);
    clickControl(typing);
    type("5");
    typed = 30;
    other = 40;
    glui->sync_live();
    EXPECT_STREQ(shown->get_text(), "40");
    EXPECT_STREQ(typing->get_text(), "15");
    key(XK_Return);
    EXPECT_EQ(typed, 15);

    // Once the field is left it follows its variable again.
    click(glui, 1, 1);
    typed = 31;
    glui->sync_live();
    EXPECT_STREQ(typing->get_text(), "31");
}

// A callback that changes its own field's variable, as slot-number checks do.
int* resetTarget = nullptr;
GLUI* resetWindow = nullptr;
void resetToZero(int) {
    *resetTarget = 0;
    resetWindow->sync_live();
}

TEST_F(EditTextTest, CallbackThatCorrectsTheValueIsShownAfterEnter) {
    int slot = 0;
    resetTarget = &slot;
    resetWindow = glui;
    GLUI_EditText* e = glui->add_edittext("slot", GLUI_EDITTEXT_INT, &slot, 0, resetToZero);
    clickControl(e);
    type("12");
    key(XK_Return);
    EXPECT_EQ(slot, 0);
    EXPECT_STREQ(e->get_text(), "0");
}

TEST_F(EditTextTest, DisabledFieldShowsItsValueAndIgnoresInput) {
    float readOnly = 2.5f;
    int next = 0;
    GLUI_EditText* locked = glui->add_edittext("locked", GLUI_EDITTEXT_FLOAT, &readOnly);
    locked->disable();
    GLUI_EditText* open = glui->add_edittext("open", GLUI_EDITTEXT_INT, &next);
    clickControl(locked);
    type("7");
    key(XK_Return);
    EXPECT_STREQ(locked->get_text(), "2.5");
    EXPECT_FALSE(locked->is_active());

    key(XK_Tab);   // Tab passes it by
    EXPECT_TRUE(open->is_active());

    readOnly = 3.0f;   // but it still follows its variable
    glui->sync_live();
    EXPECT_STREQ(locked->get_text(), "3.0");
}

// A read-only number too long for its box looks exactly like a read-only box
// holding the rounded text, not cut at the edge ("-14.56" for -14.5692); the
// field's own text stays whole.
TEST_F(EditTextTest, ReadOnlyNumbersTooLongForTheirBoxAreRoundedNotCut) {
    const struct {
        float value;
        const char* shown;   // in a box 40 pixels wide: "-14.5692" and "7049.98" take 49 and 45
    } rows[] = {{-14.5692f, "-14.57"}, {7049.98f, "7050.0"}, {1234567.0f, "1e+06"}};
    for (const auto& row : rows) {
        static float value;
        static char text[16];
        value = row.value;
        std::strcpy(text, row.shown);
        GLUI_EditText* number = glui->add_edittext("", GLUI_EDITTEXT_FLOAT, &value);
        GLUI_EditText* rounded = glui->add_edittext("", GLUI_EDITTEXT_TEXT, text);
        for (GLUI_EditText* e : {number, rounded}) {
            e->set_w(50);
            e->disable();
        }
        pump();
        auto inside = [](GLUI_EditText* e) { return pixelsAt(e->glui, e->x_abs + 2, e->y_abs + 2, e->w - 4, e->h - 4).grey; };
        EXPECT_TRUE(inside(number) == inside(rounded)) << row.shown;
        EXPECT_EQ(std::string(number->get_text()), formatFloat(row.value));
    }
}

// Counts the dark pixels of a label's 16-row text band between x0 and x1.
int darkPixels(GLUI* glui, int x0, int x1, int baselineY) {
    int dark = 0;
    for (int y = baselineY - 14; y <= baselineY + 1; ++y)
        for (int x = x0; x < x1; ++x) dark += greyAt(glui, x, y) < 80;
    return dark;
}

TEST_F(EditTextTest, JapaneseLabelsAreDrawnAndDisabledBoxesAreGrey) {
    static float a = 1, b = 2;
    // 質量 and 電荷: two 16-pixel glyphs each.
    GLUI_EditText* open = glui->add_edittext("\x8e\xbf\x97\xca", GLUI_EDITTEXT_FLOAT, &a);
    GLUI_EditText* locked = glui->add_edittext("\x93\x64\x89\xd7", GLUI_EDITTEXT_FLOAT, &b);
    locked->disable();
    pump();
    int labelRight = open->x_abs + open->text_x_offset - 4;
    int baseline = open->y_abs + 17;
    // Each glyph of the enabled label is inked; the disabled one is not black.
    EXPECT_GT(darkPixels(glui, labelRight - 32, labelRight - 16, baseline), 15);
    EXPECT_GT(darkPixels(glui, labelRight - 16, labelRight, baseline), 15);
    EXPECT_EQ(darkPixels(glui, labelRight - 32, labelRight, locked->y_abs + 17), 0);

    int insideX = open->x_abs + open->w - 4;
    EXPECT_EQ(greyAt(glui, insideX, open->y_abs + 10), 255);
    EXPECT_EQ(greyAt(glui, insideX, locked->y_abs + 10), 200);
}

}  // namespace
