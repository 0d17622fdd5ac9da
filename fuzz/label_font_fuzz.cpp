// The font loader, the glyph lookup and the glyph copy of drawing on
// arbitrary font files. A font is taken only when it holds what its header
// announces and its glyphs fit the drawing buffer; then every code maps to a
// glyph inside the file and draws with the font's size, and otherwise the
// font counts as missing.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/gl_stubs.h"
#include "labels/label_font.h"

static long glyphCount() {
    long count = 0;
    for (const CodeBlock& block : labelFont.blocks) count += block.lastCode - block.firstCode + 1;
    return count;
}

static void checkTakenOrMissing(size_t size) {
    if (labelFont.blocks.empty() && labelFont.glyphWidth == 0) return;   // missing
    const long glyphBytes = static_cast<long>(labelFont.rowBytes) * labelFont.glyphHeight;
    FUZZ_CHECK(labelFont.rowBytes == (labelFont.glyphWidth + 7) / 8);
    FUZZ_CHECK(glyphBytes <= 256);
    FUZZ_CHECK(static_cast<int>(labelFont.blocks.size()) == labelFont.blockCount);
    FUZZ_CHECK(static_cast<long>(size) >= 18 + 4L * labelFont.blockCount + glyphCount() * glyphBytes);
}

static void checkCode(int code) {
    const int glyph = labelGlyphIndex(code);
    FUZZ_CHECK(glyph >= 0 && (glyph == 0 || glyph < glyphCount()));
    const char text[3] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), '\0'};
    if (labelCharLength(text) != 2) return;
    glCalls = GlCalls{};
    FUZZ_CHECK(drawLabelChar(nullptr, text) == 2);
    FUZZ_CHECK(glCalls.bitmaps == 1);
    FUZZ_CHECK(glCalls.bitmapWidth == labelFont.glyphWidth && glCalls.bitmapHeight == labelFont.glyphHeight);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    useLabelFontImage(std::vector<unsigned char>(data, data + size));
    checkTakenOrMissing(size);
    for (const CodeBlock& block : std::vector<CodeBlock>(labelFont.blocks)) {
        checkCode(block.firstCode);
        checkCode(block.lastCode);
        checkCode((block.lastCode + 1) & 0xFFFF);
    }
    checkCode(0x8140);
    checkCode(0xFCFC);
    return 0;
}
