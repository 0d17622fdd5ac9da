// The Shift-JIS walkers on arbitrary bytes, in a buffer exactly as long as
// the string: none steps past the terminator (a lone lead byte before it is
// one character), labelCharStart lands on a character the forward walk
// visits, and widths and drawing agree with the walk.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/gl_stubs.h"
#include "labels/label_font.h"

// A 16 x 16 font of one block, 0x8140 to 0x817E, blank glyphs.
static void loadSmallFont() {
    std::vector<unsigned char> image(18 + 4 + 63 * 32, 0);
    std::memcpy(image.data(), "FONTX2", 6);
    image[14] = 16;
    image[15] = 16;
    image[16] = 1;
    image[17] = 1;
    const unsigned char block[4] = {0x40, 0x81, 0x7E, 0x81};
    std::memcpy(&image[18], block, 4);
    useLabelFontImage(image);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool fontReady = (loadSmallFont(), true);
    FUZZ_CHECK(fontReady && labelFont.glyphWidth == 16);
    const size_t length = strnlen(reinterpret_cast<const char*>(data), size);
    std::vector<char> text(data, data + length);
    text.push_back('\0');
    const char* s = text.data();

    std::vector<size_t> starts;
    int width = 0, doubles = 0;
    size_t p = 0;
    for (; s[p] != '\0'; p += labelCharLength(s + p)) {
        starts.push_back(p);
        width += labelCharWidth(nullptr, s + p);
        doubles += labelCharLength(s + p) == 2;
    }
    FUZZ_CHECK(p == length);
    FUZZ_CHECK(labelStringWidth(nullptr, s) == width);

    for (size_t pos = 0; pos <= length + 2; ++pos) {
        const size_t start = labelCharStart(s, static_cast<int>(pos)) - s;
        size_t expected = 0;
        for (size_t k : starts)
            if (k < pos) expected = k;
        FUZZ_CHECK(start == expected);
    }

    glCalls = GlCalls{};
    drawLabelString(nullptr, s);
    FUZZ_CHECK(glCalls.bitmaps == doubles);
    FUZZ_CHECK(glCalls.characters == static_cast<int>(starts.size()) - doubles);
    return 0;
}
