// The label renderer: character walking, measuring, font loading and the
// pixels a double-byte glyph puts on screen.
#include "labels/label_font.h"
#include "tests/gl_test_window.h"
#include "tests/temporary_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Shift-JIS bytes, spelled out so the tests do not depend on how the
// compiler encodes literals.
const char Ryuushisuu[] = "\x97\xb1\x8e\x71\x90\x94";                  // 粒子数
const char XHoukouMigiMuki[] = "x\x95\xfb\x8c\xfc(\x89\x45\x8c\xfc\x82\xab)";  // x方向(右向き)

struct FontBlock {
    int first;
    int last;
};

// A FONTX2 file; every glyph is filled by `pattern` (row, byte) -> bits.
std::string fontImage(int width, int height, const std::vector<FontBlock>& blocks,
                      unsigned char (*pattern)(int row, int byte))
{
    std::string image = "FONTX2TESTFONT";
    image += static_cast<char>(width);
    image += static_cast<char>(height);
    image += static_cast<char>(1);
    image += static_cast<char>(blocks.size());
    for (const FontBlock& b : blocks)
        for (int v : {b.first, b.last}) {
            image += static_cast<char>(v & 0xFF);
            image += static_cast<char>(v >> 8);
        }
    const int rowBytes = (width + 7) / 8;
    for (const FontBlock& b : blocks)
        for (int code = b.first; code <= b.last; ++code)
            for (int row = 0; row < height; ++row)
                for (int byte = 0; byte < rowBytes; ++byte)
                    image += static_cast<char>(pattern(row, byte));
    return image;
}

unsigned char solid(int, int) { return 0xFF; }

// Top row and left column set: shows both the vertical placement and the
// row order of a drawn glyph.
unsigned char topRowAndLeftColumn(int row, int byte)
{
    if (row == 0)
        return 0xFF;
    return byte == 0 ? 0x80 : 0x00;
}

class LabelFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool windowOpen = false;
        if (!windowOpen) {
            openTestWindow(96, 64);
            windowOpen = true;
        }
        labelFont = LabelFont{};
    }
    void TearDown() override
    {
        labelFont = LabelFont{};
    }
    void writeFont(const std::string& image)
    {
        std::ofstream("sjis.fnt", std::ios::binary) << image;
    }
    void writeSixteenFont(unsigned char (*pattern)(int, int) = solid)
    {
        writeFont(fontImage(16, 16, {{0x8140, 0x817E}, {0x8180, 0x81AC}, {0x8E40, 0x9FFC}}, pattern));
    }
    WorkingFolder folder;
};

void* const Helvetica = GLUT_BITMAP_HELVETICA_12;

int glutWidth(char c)
{
    return glutBitmapWidth(Helvetica, c);
}

}  // namespace

TEST_F(LabelFontTest, LeadBytesAreTheTwoShiftJisRanges)
{
    for (int b = 0; b < 256; ++b) {
        bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(isLeadByte(static_cast<unsigned char>(b)), expected) << "byte " << b;
    }
}

TEST_F(LabelFontTest, CharacterStartsStepOverWholeCharacters)
{
    const char twoDouble[] = "\x97\xb1\x8e\x71";  // 粒子
    EXPECT_EQ(labelCharStart(twoDouble, 4), twoDouble + 2);
    EXPECT_EQ(labelCharStart(twoDouble, 3), twoDouble + 2);
    EXPECT_EQ(labelCharStart(twoDouble, 2), twoDouble);
    EXPECT_EQ(labelCharStart(twoDouble, 0), twoDouble);
    const char mixed[] = "a\x97\xb1";
    EXPECT_EQ(labelCharStart(mixed, 3), mixed + 1);
    EXPECT_EQ(labelCharStart(mixed, 1), mixed);
    EXPECT_EQ(labelCharLength(mixed), 1);
    EXPECT_EQ(labelCharLength(mixed + 1), 2);
}

TEST_F(LabelFontTest, MeasuresDoubleByteCharactersByTheGlyphWidth)
{
    writeSixteenFont();
    EXPECT_EQ(labelStringWidth(Helvetica, Ryuushisuu), 48);
    EXPECT_EQ(labelStringWidth(Helvetica, XHoukouMigiMuki),
              glutWidth('x') + glutWidth('(') + glutWidth(')') + 5 * 16);
    EXPECT_EQ(labelCharWidth(Helvetica, Ryuushisuu), 16);
    EXPECT_EQ(labelCharWidth(Helvetica, "W"), glutWidth('W'));
}

TEST_F(LabelFontTest, GlyphIndexCountsTheCodesOfEarlierBlocks)
{
    writeSixteenFont();
    EXPECT_EQ(labelGlyphIndex(0x8140), 0);
    EXPECT_EQ(labelGlyphIndex(0x817E), 62);
    EXPECT_EQ(labelGlyphIndex(0x8180), 63);
    EXPECT_EQ(labelGlyphIndex(0x8181), 64);
    EXPECT_EQ(labelGlyphIndex(0x8E40), 63 + 45);
    EXPECT_EQ(labelGlyphIndex(0x8240), 0) << "a code no block holds uses the first glyph";
}

TEST_F(LabelFontTest, HalfWidthKatakanaIsOneInvisibleByte)
{
    writeSixteenFont();
    const char katakana[] = "\xb1\xdf";
    EXPECT_EQ(labelCharLength(katakana), 1);
    EXPECT_EQ(labelCharWidth(Helvetica, katakana), 0);
    EXPECT_EQ(labelStringWidth(Helvetica, katakana), 0);
}

TEST_F(LabelFontTest, LoneLeadByteBeforeTheTerminatorStaysInsideTheString)
{
    writeSixteenFont();
    // Behind the terminator lies a whole character that must not be counted.
    const char text[] = {'a', '\x97', '\0', '\x97', '\xb1', '\0'};
    EXPECT_EQ(labelCharLength(text + 1), 1);
    EXPECT_EQ(labelStringWidth(Helvetica, text), glutWidth('a'));
    EXPECT_EQ(labelCharStart(text, 5), text + 1);
    clearToWhite();
    glRasterPos2i(10, 30);
    drawLabelString(Helvetica, text + 1);
    GLint raster[4];
    glGetIntegerv(GL_CURRENT_RASTER_POSITION, raster);
    EXPECT_EQ(raster[0], 10) << "the lone lead byte draws nothing and does not move on";
}

TEST_F(LabelFontTest, MissingFontLeavesOnlySingleByteText)
{
    EXPECT_EQ(labelStringWidth(Helvetica, XHoukouMigiMuki),
              glutWidth('x') + glutWidth('(') + glutWidth(')'));
    EXPECT_TRUE(labelFont.loaded);
    EXPECT_EQ(labelCharLength(Ryuushisuu), 2);
    // Created after the first attempt: the font is not looked for again.
    writeSixteenFont();
    EXPECT_EQ(labelStringWidth(Helvetica, Ryuushisuu), 0);
}

TEST_F(LabelFontTest, MalformedFontsAreTreatedAsMissing)
{
    const std::string good = fontImage(16, 16, {{0x8140, 0x8150}}, solid);
    std::vector<FontBlock> manyBlocks;
    for (int code = 0x8140; code < 0x8140 + 255; ++code) manyBlocks.push_back({code, code});
    struct Case {
        const char* what;
        std::string image;
        void (*putInPlace)(const std::string& good) = nullptr;   // instead of writing the image
    } cases[] = {
        {"missing", ""},
        {"shorter than the header", good.substr(0, 17)},
        {"block table cut", good.substr(0, 20)},
        {"glyph data cut by one byte", good.substr(0, good.size() - 1)},
        {"glyphs of 512 bytes", fontImage(64, 64, {{0x8140, 0x8140}}, solid)},
        {"255 blocks of 4095-byte glyphs", fontImage(255, 128, manyBlocks, solid)},
        {"block ending before it starts", fontImage(16, 16, {{0x8150, 0x8140}}, solid)},
        {"a named pipe nothing writes to", "", [](const std::string&) { mkfifo("sjis.fnt", 0600); }},
        {"a font followed by more than 16 MiB",
         "", [](const std::string& font) {
             std::ofstream("sjis.fnt", std::ios::binary) << font;
             std::filesystem::resize_file("sjis.fnt", 16 * 1024 * 1024 + 1039);
         }},
    };
    alarm(20);   // a load left waiting ends the test instead of hanging it
    for (const Case& c : cases) {
        labelFont = LabelFont{};
        std::filesystem::remove("sjis.fnt");
        if (c.putInPlace != nullptr)
            c.putInPlace(good);
        else if (!c.image.empty())
            writeFont(c.image);
        testing::internal::CaptureStderr();
        EXPECT_EQ(labelStringWidth(Helvetica, "\x81\x40"), 0) << c.what;
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(labelFont.loaded) << c.what;
        EXPECT_NE(message.find("sjis.fnt"), std::string::npos) << c.what << ": says why the labels are blank";
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << c.what << ": " << message;
    }
    alarm(0);

    // A font of any size up to one glyph for every 16-bit code is read.
    labelFont = LabelFont{};
    writeFont(fontImage(32, 32, {{0x8140, 0x8140}}, solid));
    std::filesystem::resize_file("sjis.fnt", 16 * 1024 * 1024 + 1038);
    testing::internal::CaptureStderr();
    EXPECT_EQ(labelStringWidth(Helvetica, "\x81\x40"), 32) << "128-byte glyphs fit";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(LabelFontTest, GlyphLandsAboveTheBaselineWithTwoRowsHanging)
{
    writeSixteenFont(topRowAndLeftColumn);
    clearToWhite();
    glColor3f(0, 0, 0);
    glRasterPos2i(10, 30);
    EXPECT_EQ(drawLabelChar(Helvetica, Ryuushisuu), 2);
    // GL rows count upwards: the bottom glyph row sits two rows below the
    // raster position, the top row thirteen above it.
    for (int x = 10; x < 26; ++x)
        EXPECT_TRUE(pixelIsDark(x, 43)) << "top row at x " << x;
    EXPECT_FALSE(pixelIsDark(26, 43));
    EXPECT_FALSE(pixelIsDark(10, 44));
    for (int y = 28; y <= 43; ++y)
        EXPECT_TRUE(pixelIsDark(10, y)) << "left column at y " << y;
    EXPECT_FALSE(pixelIsDark(10, 27));
    EXPECT_FALSE(pixelIsDark(9, 35));
    EXPECT_FALSE(pixelIsDark(11, 35));
}

TEST_F(LabelFontTest, StringDrawsGlyphsOneCellApart)
{
    writeSixteenFont(topRowAndLeftColumn);
    clearToWhite();
    glColor3f(0, 0, 0);
    glRasterPos2i(10, 30);
    drawLabelString(Helvetica, Ryuushisuu);
    for (int x : {10, 26, 42})
        EXPECT_TRUE(pixelIsDark(x, 35)) << "left column of the glyph at " << x;
    EXPECT_FALSE(pixelIsDark(58, 35));
    GLint raster[4];
    glGetIntegerv(GL_CURRENT_RASTER_POSITION, raster);
    EXPECT_EQ(raster[0], 58);
    EXPECT_EQ(raster[1], 30);
}

TEST_F(LabelFontTest, DrawingRestoresTheCallersPixelStore)
{
    writeSixteenFont();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPixelStorei(GL_UNPACK_LSB_FIRST, 1);
    glRasterPos2i(10, 30);
    drawLabelChar(Helvetica, Ryuushisuu);
    GLint alignment, rowLength, lsbFirst;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    glGetIntegerv(GL_UNPACK_LSB_FIRST, &lsbFirst);
    EXPECT_EQ(alignment, 4);
    EXPECT_EQ(rowLength, 7);
    EXPECT_EQ(lsbFirst, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, 0);
}

// The generated font: every label character must map to the right Unifont
// glyph, rows in order, within the 255 blocks the format allows.
TEST_F(LabelFontTest, GeneratedFontCarriesUnifontGlyphs)
{
    std::string command = std::string(SJIS_FONTGEN) + " sjis.fnt > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Its report on standard output not written is a failure.
    command = std::string(SJIS_FONTGEN) + " other.fnt > /dev/full 2> /dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 2);
    // A file size limit (ulimit -f) below the font's size: refused like a
    // full disk, not ended halfway with a temporary left behind.
    command = "(ulimit -f 1; exec " + std::string(SJIS_FONTGEN) +
              " limited.fnt > /dev/null 2> /dev/null); [ $? = 2 ] && ! ls limited.fnt* > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    // A pipe named as its output (a device likewise) gets the font through
    // it and stays what it is.
    ASSERT_EQ(mkfifo("pipe.fnt", 0600), 0);
    command = "timeout 20 cat pipe.fnt > piped.fnt & " + std::string(SJIS_FONTGEN) + " pipe.fnt > /dev/null; wait";
    EXPECT_EQ(std::system(command.c_str()), 0);
    struct stat info;
    ASSERT_EQ(lstat("pipe.fnt", &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    const auto bytesOf = [](const char* path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(bytesOf("piped.fnt"), bytesOf("sjis.fnt"));
    loadLabelFont();
    ASSERT_EQ(labelFont.glyphWidth, 16);
    ASSERT_EQ(labelFont.glyphHeight, 16);
    EXPECT_LE(labelFont.blockCount, 255);

    // 粒 is U+7C92; Unifont rows: 0820 0820 4A20 2BFE 2C00 0804 7E84 0884 ...
    const unsigned expectedRows[] = {0x0820, 0x0820, 0x4A20, 0x2BFE, 0x2C00, 0x0804, 0x7E84, 0x0884};
    const size_t start = 18 + 4 * labelFont.blockCount + labelGlyphIndex(0x97B1) * 32;
    for (int row = 0; row < 8; ++row) {
        unsigned bits = labelFont.fileImage[start + 2 * row] << 8 | labelFont.fileImage[start + 2 * row + 1];
        EXPECT_EQ(bits, expectedRows[row]) << "row " << row;
    }

    // 、 ： ー ( 高 精 度 ) ポ テ ン シ ャ ル: none may come out blank.
    const char sample[] = "\x81\x41\x81\x46\x81\x5b\x8d\x82\x90\xb8\x93\x78\x83\x7c\x83\x65\x83\x93\x83\x56\x83\x83\x83\x8b";
    for (const char* p = sample; *p != '\0'; p += 2) {
        const int code = static_cast<unsigned char>(p[0]) * 256 + static_cast<unsigned char>(p[1]);
        const size_t glyph = 18 + 4 * labelFont.blockCount + labelGlyphIndex(code) * 32;
        int setBits = 0;
        for (int i = 0; i < 32; ++i)
            setBits += __builtin_popcount(labelFont.fileImage[glyph + i]);
        EXPECT_GT(setBits, 0) << "code " << std::hex << code;
    }
}
