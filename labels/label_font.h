// Shift-JIS label text: single-byte characters through the GLUT bitmap font
// the widget toolkit uses, double-byte characters from the FONTX2 bitmap font
// "sjis.fnt" in the working directory, or the one installed with the
// programs when the working directory has none. Both programs draw and measure every
// label through these functions, and the toolkit's edit fields step over
// double-byte characters with them.
#pragma once

#include <vector>

// One contiguous run of double-byte codes in the font, inclusive at both ends.
struct CodeBlock {
    int firstCode;
    int lastCode;
};

// The font as read from "sjis.fnt"; filled by the first draw or measure call.
struct LabelFont {
    bool loaded = false;              // the load has been attempted (success or not)
    int glyphWidth = 0;               // pixels; 0 while no usable font is present
    int glyphHeight = 0;              // pixels
    int rowBytes = 0;                 // bytes per glyph row: (glyphWidth + 7) / 8
    int blockCount = 0;               // number of entries in blocks
    std::vector<CodeBlock> blocks;    // code blocks in file order
    std::vector<unsigned char> fileImage;  // the whole file
};

extern LabelFont labelFont;

// Reads "sjis.fnt" (the working directory's, else the installed one) once
// per process. A missing, truncated or oversized font
// leaves every metric 0: double-byte characters then take no room at all.
void loadLabelFont();

// Takes the bytes of a font file as the label font, checked as the load
// checks them: a font that cannot hold what its header announces counts as
// missing.
void useLabelFontImage(std::vector<unsigned char> image);

// True for the first byte of a double-byte character: 0x81-0x9F, 0xE0-0xFC.
bool isLeadByte(unsigned char b);

// Bytes taken by the character at p: 2 for a lead byte with a trail byte,
// otherwise 1 (a lead byte right before the terminator counts as one byte).
int labelCharLength(const char* p);

// Width in pixels of the character at p.
int labelCharWidth(void* font, const char* p);

// Draws the character at p at the current raster position, which moves on by
// its width; returns the bytes it took.
int drawLabelChar(void* font, const char* p);

// Draws a NUL-terminated Shift-JIS string at the current raster position.
void drawLabelString(void* font, const char* text);

// Width in pixels of a NUL-terminated Shift-JIS string.
int labelStringWidth(void* font, const char* text);

// Start of the character that ends at or spans byte position pos - 1, that is
// the character before pos; text itself for pos 0.
const char* labelCharStart(const char* text, int pos);

// Index of the glyph for a double-byte code in the font's glyph data: codes
// of earlier blocks first; 0 for a code no block holds.
int labelGlyphIndex(int code);
