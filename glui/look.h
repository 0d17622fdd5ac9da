// Sizes, colours and drawing primitives shared by every control, so that the
// whole window keeps one look. Coordinates are window pixels, y downwards.
#pragma once

// Spacing of the layout.
constexpr int kMargin = 6;          // inside every container, around its content
constexpr int kSpacing = 3;         // between controls stacked in a column
constexpr int kPanelGap = 3;        // extra air above and below an embossed panel
constexpr int kColumnGap = 6;       // each side of a column bar

// A double-byte glyph fills a 16-row cell from 14 rows above the baseline to
// 1 row below it; single-byte descenders reach 2 rows below. Every text row
// keeps that cell clear of borders by at least one row.
constexpr int kCellAbove = 14;
constexpr int kCellBelow = 1;
constexpr int kLineHeight = 17;     // static texts, panel titles
constexpr int kLineBaseline = 14;
constexpr int kBoxHeight = 22;      // edit fields and list boxes: a row of air inside the well
constexpr int kBoxBaseline = 17;
constexpr int kBoxTextInset = 5;    // text starts this far inside a sunken box
// Buttons and rollout headers hold the dotted focus frame between the bevel
// and the text, a row of air on either side of it.
constexpr int kButtonHeight = 24;
constexpr int kButtonBaseline = 18;
constexpr int kFocusInsetX = 3;     // from the bevel's outer edge to the frame
constexpr int kFocusInsetY = 2;
constexpr int kCheckboxHeight = 20; // the label's cell with air and the frame above and below
constexpr int kCheckboxBaseline = 16;

constexpr int kPanelTitleMargin = 20;   // top margin of an embossed panel with a title
constexpr int kRolloutHeaderTop = 2;     // rows above the header's bevel
constexpr int kRolloutHeader = kRolloutHeaderTop + kButtonHeight;   // a closed rollout is just its header
constexpr int kRolloutTopMargin = kRolloutHeader + kSpacing;

// Greys, 0-255.
constexpr int kBackground = 200;
constexpr int kShadow = 128;
constexpr int kDisabledText = 64;
constexpr int kDisabledLabel = 102;
constexpr int kBoxInnerLight = 191;

void setGrey(int level);
void setColour(int r, int g, int b);
// Fills the pixels x0..x1-1, y0..y1-1.
void fillRect(int x0, int y0, int x1, int y1);
// One-pixel outline of the w x h rectangle at (x, y).
void outlineRect(int x, int y, int w, int h, int level);
// Light top/left, dark bottom/right: a button face standing out.
void drawRaisedBox(int x, int y, int w, int h);
// A white (grey when disabled) well: edit fields and list boxes.
void drawSunkenBox(int x, int y, int w, int h, bool enabled);
// Grooved outline of a panel.
void drawEtchedFrame(int x, int y, int w, int h);
// The dotted rectangle of the focused control.
void drawFocusFrame(int x, int y, int w, int h);
// A button face kButtonHeight rows tall: raised, or pushed in while held.
void drawButtonFace(int x, int y, int w, bool pressed);
// The focus frame of a button face, between its bevel and its label.
void drawButtonFocus(int x, int y, int w);
// Text with the baseline at y; greyed and engraved when disabled.
void drawText(void* font, const char* text, int x, int baseline, bool enabled);
