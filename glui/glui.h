// The control-window toolkit both programs build their widget windows with.
// It keeps the class and method names of the GLUI 2.x widget library, so code
// written against that interface compiles unchanged, and behaves like it for
// every control the programs use. All text is Shift-JIS and is drawn and
// measured through the two text hooks below, which the label renderer defines.
//
// Index
//   constants and callback type
//   GLUI_Control           common state of every control
//   GLUI_Panel, GLUI_Rollout, GLUI_Column
//   GLUI_EditText, GLUI_Checkbox, GLUI_Button, GLUI_StaticText, GLUI_Listbox
//   GLUI                   one control window
//   GLUI_Master_Object     the window list and the idle hand-over
#pragma once

#include <GL/glut.h>

#include <memory>
#include <string>
#include <vector>

// ---- constants and callback type -------------------------------------------

enum {
    GLUI_EDITTEXT_TEXT = 1,   // live variable: char buffer, GLUI_TEXT_BUFFER_SIZE bytes
                              // unless declared with set_text_buffer_size
    GLUI_EDITTEXT_INT = 2,    // live variable: int
    GLUI_EDITTEXT_FLOAT = 3,  // live variable: float
};

// The size an edit field takes its live char buffer to have, terminator
// included, unless the program declares another; the most a numeric field's
// text may hold.
constexpr int GLUI_TEXT_BUFFER_SIZE = 300;

enum {
    GLUI_PANEL_NONE = 0,
    GLUI_PANEL_EMBOSSED = 1,
    GLUI_PANEL_RAISED = 2,
};

// Receives the id given when the control was added. The runtime library's
// exit fits this type, so a quit button can take it directly.
typedef void (*GLUI_Update_CB)(int id);

// Draws a Shift-JIS string at the current raster position / measures it in
// pixels. Every label of the toolkit goes through these two; the label
// renderer defines them.
void _glutBitmapString(void* font, const char* s);
int _glutBitmapWidthString(void* font, const char* s);

class GLUI;
class GLUI_Panel;

// ---- GLUI_Control ----------------------------------------------------------

class GLUI_Control {
public:
    virtual ~GLUI_Control() = default;

    // Widens the control to at least new_w pixels; the window re-packs.
    void set_w(int new_w);
    // A disabled control shows greyed and takes no focus or input; a
    // container passes the change on to everything inside it.
    void disable();
    void enable();

    // Toolkit internals: the window, the layout and the event routing drive
    // controls through these; programs have no use for them.
    GLUI* glui = nullptr;
    GLUI_Panel* parent = nullptr;
    std::string name;               // label, Shift-JIS
    int id = -1;                    // handed to the callback
    GLUI_Update_CB callback = nullptr;
    int x_abs = 0, y_abs = 0;       // top-left corner in window pixels, y downwards
    int w = 0, h = 0;               // size in pixels, set by the layout
    int requested_w = 0;            // default width, or the one set_w asked for
    bool enabled = true;
    bool pressed_look = false;      // held down by the mouse with the pointer on it

    // Sets w and h from the content; the layout calls it before placing.
    virtual void update_size() {}
    virtual void draw() = 0;
    virtual bool can_focus() const { return false; }
    // Whether a press at window point (x, y) belongs to this control.
    virtual bool hit(int x, int y) const;
    virtual void activate(bool by_keyboard) { (void)by_keyboard; }
    virtual void deactivate() {}
    // By default a control acts like a button: it looks pressed while held
    // with the pointer on it and acts (press_by_key) on a release there.
    virtual void mouse_down(int x, int y);
    virtual void mouse_held(int x, int y, bool inside);
    virtual void mouse_up(int x, int y, bool inside);
    // Space clicks the control; other keys mean nothing to most controls.
    virtual void key_handler(unsigned char key, int modifiers);
    virtual void special_handler(int key, int modifiers) { (void)key; (void)modifiers; }
    // Space on a focused control: a full click, where the control has one.
    virtual void press_by_key() {}
    // Shows the live variable's value if it changed since last shown.
    virtual void sync_from_live() {}
    virtual GLUI_Panel* as_panel() { return nullptr; }

    void draw_name(int x, int baseline) const;
    int string_width(const char* text) const;
    void redraw() const;
    bool is_active() const;
    // Runs the callback the way the programs rely on: main window current.
    void run_callback();
};

// ---- containers -------------------------------------------------------------

class GLUI_Panel : public GLUI_Control {
public:
    int type = GLUI_PANEL_EMBOSSED;
    std::vector<GLUI_Control*> children;   // owned by the window

    void update_size() override;
    void draw() override;
    GLUI_Panel* as_panel() override { return this; }
    // Children are drawn, hit and focused only while this is true.
    virtual bool shows_children() const { return true; }
    // Space between the panel's top edge and its first child.
    virtual int top_margin() const;
};

class GLUI_Rollout : public GLUI_Panel {
public:
    bool is_open = true;

    void update_size() override;
    void draw() override;
    bool can_focus() const override { return true; }
    bool hit(int x, int y) const override;
    void press_by_key() override;
    bool shows_children() const override { return is_open; }
    int top_margin() const override;

    void open();
    void close();
};

// Starts a new column in its panel; the controls after it stand to the right.
class GLUI_Column : public GLUI_Control {
public:
    bool draw_bar = true;
    void draw() override;
};

// ---- value controls ------------------------------------------------------------

class GLUI_EditText : public GLUI_Control {
public:
    int data_type = GLUI_EDITTEXT_TEXT;
    void* live_var = nullptr;
    std::string text;               // what the field shows and edits, Shift-JIS
    int int_val = 0;
    float float_val = 0.0f;
    int last_live_int = 0;          // the live value last shown, for sync_live
    float last_live_float = 0.0f;
    std::string last_live_text;
    std::string orig_text;          // text at activation: a commit that
                                    // changes it fires the callback
    int insertion_pt = 0;           // caret, a byte offset on a character start
    int sel_start = 0, sel_end = 0; // selection anchor and moving end (equal: none)
    int substring_start = 0;        // visible byte range of text
    int substring_end = 0;
    int text_x_offset = 0;          // where the box begins; the label is left of it
    bool dragging = false;
    bool committing = false;        // its callback is running after a commit
    int text_buffer_size = GLUI_TEXT_BUFFER_SIZE;  // bytes of a text live variable

    void set_int_val(int v);
    void set_float_val(float v);
    void set_text(const char* s);
    // Declares the size in bytes of a text field's live buffer, terminator
    // included: typing stops at one byte less and longer text from outside is
    // cut at a character boundary, so the field never writes past the variable.
    void set_text_buffer_size(int bytes);
    int max_text_bytes() const { return text_buffer_size - 1; }
    int get_int_val() const { return int_val; }
    float get_float_val() const { return float_val; }
    const char* get_text() const { return text.c_str(); }

    // The seven places that walk the text one Shift-JIS character at a time.
    void draw_text(int x, int baseline);
    int substring_width(int start, int end) const;
    int find_insertion_pt(int x, int y) const;
    void draw_insertion_pt() const;
    void update_substring_bounds();
    void key_handler(unsigned char key, int modifiers) override;
    void special_handler(int key, int modifiers) override;

    void update_size() override;
    void draw() override;
    bool can_focus() const override { return true; }
    bool hit(int x, int y) const override;
    void activate(bool by_keyboard) override;
    void deactivate() override;
    void mouse_down(int x, int y) override;
    void mouse_held(int x, int y, bool inside) override;
    void mouse_up(int x, int y, bool inside) override;
    void sync_from_live() override;

    // Enter and focus loss: parse, normalise, write the live variable.
    void commit();
    void read_live();
};

class GLUI_Checkbox : public GLUI_Control {
public:
    int* live_var = nullptr;
    int int_val = 0;
    int last_live = 0;

    void set_int_val(int v);
    int get_int_val() const { return int_val; }

    void update_size() override;
    void draw() override;
    bool can_focus() const override { return true; }
    void press_by_key() override;
    void sync_from_live() override;
};

class GLUI_Button : public GLUI_Control {
public:
    void update_size() override;
    void draw() override;
    bool can_focus() const override { return true; }
    void press_by_key() override;
};

class GLUI_StaticText : public GLUI_Control {
public:
    void set_text(const char* s);
    void update_size() override;
    void draw() override;
};

class GLUI_Listbox : public GLUI_Control {
public:
    struct Item {
        int id;
        std::string text;   // Shift-JIS
    };
    int* live_var = nullptr;
    std::vector<Item> items;
    int int_val = 0;        // id of the chosen item
    int last_live = 0;

    // The first item added becomes the choice.
    void add_item(int item_id, const char* text);
    void set_int_val(int item_id);
    int get_int_val() const { return int_val; }

    void update_size() override;
    void draw() override;
    bool can_focus() const override { return true; }
    void mouse_down(int x, int y) override;
    void mouse_up(int x, int y, bool inside) override;
    void special_handler(int key, int modifiers) override;
    void press_by_key() override;
    void sync_from_live() override;

    // Makes item_id the choice as a user would: live variable, redisplay,
    // callback if it changed.
    void choose(int item_id);
    int box_x() const;      // left edge of the box that shows the choice
    const Item* current_item() const;
};

// ---- GLUI: one control window ----------------------------------------------

class GLUI {
public:
    GLUI_Rollout* add_rollout(const char* name, int open = true);
    GLUI_Rollout* add_rollout_to_panel(GLUI_Panel* parent, const char* name, int open = true);
    GLUI_Panel* add_panel(const char* name, int type = GLUI_PANEL_EMBOSSED);
    GLUI_Panel* add_panel_to_panel(GLUI_Panel* parent, const char* name,
                                   int type = GLUI_PANEL_EMBOSSED);
    GLUI_Column* add_column(int draw_bar = true);
    GLUI_Column* add_column_to_panel(GLUI_Panel* parent, int draw_bar = true);
    GLUI_EditText* add_edittext(const char* name, int data_type = GLUI_EDITTEXT_TEXT,
                                void* live_var = NULL, int id = -1, GLUI_Update_CB cb = NULL);
    GLUI_EditText* add_edittext_to_panel(GLUI_Panel* parent, const char* name,
                                         int data_type = GLUI_EDITTEXT_TEXT,
                                         void* live_var = NULL, int id = -1,
                                         GLUI_Update_CB cb = NULL);
    GLUI_Listbox* add_listbox(const char* name, int* live_var = NULL, int id = -1,
                              GLUI_Update_CB cb = NULL);
    GLUI_Listbox* add_listbox_to_panel(GLUI_Panel* parent, const char* name,
                                       int* live_var = NULL, int id = -1,
                                       GLUI_Update_CB cb = NULL);
    GLUI_Checkbox* add_checkbox(const char* name, int* live_var = NULL, int id = -1,
                                GLUI_Update_CB cb = NULL);
    GLUI_Checkbox* add_checkbox_to_panel(GLUI_Panel* parent, const char* name,
                                         int* live_var = NULL, int id = -1,
                                         GLUI_Update_CB cb = NULL);
    GLUI_Button* add_button(const char* name, int id = -1, GLUI_Update_CB cb = NULL);
    GLUI_Button* add_button_to_panel(GLUI_Panel* parent, const char* name, int id = -1,
                                     GLUI_Update_CB cb = NULL);
    GLUI_StaticText* add_statictext(const char* name);
    GLUI_StaticText* add_statictext_to_panel(GLUI_Panel* parent, const char* name);

    // Every committed change posts a redisplay of this window, and callbacks
    // run with it current.
    void set_main_gfx_window(int window_id);
    // Shows every live variable that changed behind the controls' backs,
    // except in the field the user is typing into.
    void sync_live();
    int get_glut_window_id() const { return window_id; }
    // Destroys the window and its controls, dropping any uncommitted edit;
    // the object is gone afterwards.
    void close();

    // Toolkit internals.
    int window_id = 0;
    int main_gfx_window_id = -1;
    void* font = GLUT_BITMAP_HELVETICA_12;
    GLUI_Panel main_panel;
    std::vector<std::unique_ptr<GLUI_Control>> owned;   // every control, creation order
    GLUI_Listbox* open_list = nullptr;   // list box whose drop-down is showing
    int list_hover = -1;                 // highlighted drop-down item, -1 for none
    bool list_opening_press = false;     // the press that opened it is still held

    int content_w = 0, content_h = 0;    // size of the packed controls
    int needed_w = 0, needed_h = 0;      // window size asked for: content and drop-down
    int full_h = 0;                      // height of content and drop-down, shown or not
    int scroll_y = 0;                    // first content row shown, when full_h exceeds needed_h
    int asked_x = -1, asked_y = -1;      // where the program asked the window to open
    bool resize_refused = false;         // asked once since a wrong size came back

    // sync_live runs at every displayed frame of the program: the controls
    // it changes are drawn alone, not the whole window, where the window
    // system lets them be copied to the screen by themselves.
    bool collecting_changes = false;
    std::vector<GLUI_Control*> changed;
    mutable bool redisplay_pending = true;   // a repaint of the whole window is on its way
    int shown_w = 0, shown_h = 0;            // size of the last repaint

    // Re-packs the controls and asks for the size they need.
    void refresh();
    void post_redisplay() const;
    void post_main_redisplay() const;
};

// ---- GLUI_Master_Object -------------------------------------------------------

class GLUI_Master_Object {
public:
    // Opens a new top-level control window titled name; the GLUT window that
    // was current stays current.
    GLUI* create_glui(const char* name, long flags = 0, int x = -1, int y = -1);
    // Hands f to GLUT's idle processing behind the toolkit's own; NULL stops it.
    void set_glutIdleFunc(void (*f)());
    // Register f for the program's own current window. A press or release
    // there first commits the control that has the focus (a value typed but
    // not yet entered takes effect before the program sees the click or key);
    // keys then go to f, never into that control.
    void set_glutMouseFunc(void (*f)(int button, int state, int x, int y));
    void set_glutKeyboardFunc(void (*f)(unsigned char key, int x, int y));

    // Toolkit internals.
    std::vector<GLUI*> windows;   // creation order
    void (*user_idle)() = nullptr;
    GLUI* find_glui(int window_id) const;
};

extern GLUI_Master_Object GLUI_Master;
