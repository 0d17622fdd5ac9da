// Sizes, colours and drawing primitives shared by every control, so that the
// whole window keeps one look. Coordinates are window pixels, y downwards.
#pragma once

// Spacing of the layout.
constexpr int kMargin = 6;          // inside every container, around its content
constexpr int kSpacing = 3;         // between controls stacked in a column
constexpr int kPanelGap = 3;        // extra air above and below an embossed panel
constexpr int kColumnGap = 6;       // each side of a column bar

// Double-byte glyphs are 16 rows tall and hang 2 rows below the baseline, so
// every text line needs 16 rows: baseline 13 in a 16-row control, 15 in a
// 20-row one.
constexpr int kLineHeight = 16;
constexpr int kLineBaseline = 13;
constexpr int kBoxHeight = 20;      // edit fields, list boxes, buttons
constexpr int kBoxBaseline = 15;
constexpr int kBoxTextInset = 5;    // text starts this far inside a sunken box

constexpr int kPanelTitleMargin = 20;   // top margin of an embossed panel with a title
constexpr int kRolloutHeader = 24;      // a closed rollout is just its header
constexpr int kRolloutTopMargin = 27;

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
// Text with the baseline at y; greyed and engraved when disabled.
void drawText(void* font, const char* text, int x, int baseline, bool enabled);
