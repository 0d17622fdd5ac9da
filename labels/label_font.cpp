// Drawing and measuring Shift-JIS label text with a FONTX2 double-byte font.
#include "labels/label_font.h"

#include <GL/glut.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "launch/installed_files.h"

LabelFont labelFont;

namespace {

constexpr int HeaderBytes = 18;       // signature, name, metrics, block count
constexpr int BlockEntryBytes = 4;    // first and last code, 16 bits each
constexpr int GlyphBufferBytes = 256; // the largest glyph we draw (e.g. 32 x 64)
// Every 16-bit code once at the largest glyph size: no font we could use is
// larger.
constexpr long LargestFontBytes = HeaderBytes + BlockEntryBytes * 255L + 65536L * GlyphBufferBytes;

int read16(const std::vector<unsigned char>& image, size_t at)
{
    return image[at] | (image[at + 1] << 8);
}

size_t glyphBytes(const LabelFont& font)
{
    return static_cast<size_t>(font.rowBytes) * font.glyphHeight;
}

size_t glyphDataStart(const LabelFont& font)
{
    return HeaderBytes + BlockEntryBytes * static_cast<size_t>(font.blockCount);
}

long glyphCount(const LabelFont& font)
{
    long count = 0;
    for (const CodeBlock& block : font.blocks)
        count += block.lastCode - block.firstCode + 1;
    return count;
}

// Reads the metrics and the block table; false when the file cannot hold
// what its own header announces, or its glyphs overflow our glyph buffer.
// Such a font is treated as missing rather than read past its end.
bool parseFont(LabelFont& font)
{
    const std::vector<unsigned char>& image = font.fileImage;
    if (image.size() < HeaderBytes)
        return false;
    font.glyphWidth = image[14];
    font.glyphHeight = image[15];
    font.rowBytes = (font.glyphWidth + 7) / 8;
    font.blockCount = image[17];
    if (glyphBytes(font) > GlyphBufferBytes || image.size() < glyphDataStart(font))
        return false;
    for (int i = 0; i < font.blockCount; ++i) {
        CodeBlock block{read16(image, HeaderBytes + BlockEntryBytes * i),
                        read16(image, HeaderBytes + BlockEntryBytes * i + 2)};
        if (block.lastCode < block.firstCode)
            return false;
        font.blocks.push_back(block);
    }
    return image.size() >= glyphDataStart(font) + glyphCount(font) * glyphBytes(font);
}

void ensureLoaded()
{
    if (!labelFont.loaded)
        loadLabelFont();
}

// GLUT takes a single-byte character as a char widened to int: bytes from
// 0x80 up arrive negative, and GLUT neither draws nor measures them.
int glutCode(const char* p)
{
    return static_cast<signed char>(*p);
}

int doubleByteCode(const char* p)
{
    return static_cast<unsigned char>(p[0]) * 256 + static_cast<unsigned char>(p[1]);
}

// glBitmap fills from the bottom row up, FONTX2 stores the top row first.
void copyGlyphBottomUp(int code, GLubyte* bitmap)
{
    const size_t size = glyphBytes(labelFont);
    const size_t start = glyphDataStart(labelFont) + labelGlyphIndex(code) * size;
    if (start + size > labelFont.fileImage.size())
        return;  // a font without any glyph: the cell stays blank
    const unsigned char* glyph = &labelFont.fileImage[start];
    for (int row = 0; row < labelFont.glyphHeight; ++row)
        for (int byte = 0; byte < labelFont.rowBytes; ++byte)
            bitmap[(labelFont.glyphHeight - 1 - row) * labelFont.rowBytes + byte] =
                glyph[row * labelFont.rowBytes + byte];
}

// The caller's pixel-store state is restored afterwards: the toolkit and the
// programs may rely on their own unpack settings.
void drawGlyphBitmap(const GLubyte* bitmap)
{
    static const GLenum names[] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST, GL_UNPACK_ROW_LENGTH,
                                   GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS, GL_UNPACK_ALIGNMENT};
    static const GLint drawing[] = {0, 0, 0, 0, 0, 1};
    GLint saved[6];
    for (int i = 0; i < 6; ++i) {
        glGetIntegerv(names[i], &saved[i]);
        glPixelStorei(names[i], drawing[i]);
    }
    glBitmap(labelFont.glyphWidth, labelFont.glyphHeight, 0, 2,
             static_cast<GLfloat>(labelFont.glyphWidth), 0, bitmap);
    for (int i = 0; i < 6; ++i)
        glPixelStorei(names[i], saved[i]);
}

// The font is read whole, so only a regular file no larger than any usable
// font is: a named pipe would keep the program from ever starting, and a
// device or some large file given the font's name would fill the memory.
// Empty when there is no such file or it cannot be read.
std::vector<unsigned char> readFontFile(const char* path)
{
    std::vector<unsigned char> image;
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return image;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= LargestFontBytes) {
        image.resize(static_cast<size_t>(info.st_size));
        size_t got = 0;
        ssize_t n = 0;
        while (got < image.size() && (n = read(fd, image.data() + got, image.size() - got)) > 0)
            got += static_cast<size_t>(n);
        image.resize(n < 0 ? 0 : got);   // a file cut meanwhile is what is left of it
    }
    close(fd);
    return image;
}

// The working folder's own font comes first, as it always has; an installed
// program started anywhere else takes the font it was installed with.
std::string labelFontPath()
{
    std::error_code error;
    if (std::filesystem::exists("sjis.fnt", error))
        return "sjis.fnt";
    return (installedDataFolder() / "sjis.fnt").string();
}

}  // namespace

// Without the font every Japanese label is blank; one line on standard error
// tells the user why, where a started program would otherwise show nothing.
void loadLabelFont()
{
    labelFont = LabelFont{};
    labelFont.loaded = true;
    const std::string path = labelFontPath();
    useLabelFontImage(readFontFile(path.c_str()));
    const std::string where =
        path == "sjis.fnt" ? "sjis.fnt in the working folder" : path + " (the working folder has no sjis.fnt)";
    if (labelFont.glyphWidth == 0)
        std::fprintf(stderr, "%s: no usable label font %s: labels show only their single-byte characters\n",
                     program_invocation_short_name, where.c_str());
}

void useLabelFontImage(std::vector<unsigned char> image)
{
    labelFont = LabelFont{};
    labelFont.loaded = true;
    LabelFont font;
    font.loaded = true;
    font.fileImage = std::move(image);
    if (parseFont(font))
        labelFont = std::move(font);
}

bool isLeadByte(unsigned char b)
{
    return static_cast<unsigned char>((b ^ 0x20) - 0xA1) <= 0x3B;
}

int labelCharLength(const char* p)
{
    return isLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

int labelCharWidth(void* font, const char* p)
{
    ensureLoaded();
    if (labelCharLength(p) == 2)
        return labelFont.glyphWidth;
    return glutBitmapWidth(font, glutCode(p));
}

int drawLabelChar(void* font, const char* p)
{
    if (labelCharLength(p) == 1) {
        glutBitmapCharacter(font, glutCode(p));
        return 1;
    }
    ensureLoaded();
    GLubyte bitmap[GlyphBufferBytes] = {};
    copyGlyphBottomUp(doubleByteCode(p), bitmap);
    drawGlyphBitmap(bitmap);
    return 2;
}

void drawLabelString(void* font, const char* text)
{
    for (const char* p = text; *p != '\0';)
        p += drawLabelChar(font, p);
}

int labelStringWidth(void* font, const char* text)
{
    int width = 0;
    for (const char* p = text; *p != '\0'; p += labelCharLength(p))
        width += labelCharWidth(font, p);
    return width;
}

const char* labelCharStart(const char* text, int pos)
{
    const char* start = text;
    for (const char* p = text; p - text < pos && *p != '\0'; p += labelCharLength(p))
        start = p;
    return start;
}

int labelGlyphIndex(int code)
{
    ensureLoaded();
    int before = 0;
    for (const CodeBlock& block : labelFont.blocks) {
        if (block.firstCode <= code && code <= block.lastCode)
            return before + (code - block.firstCode);
        before += block.lastCode - block.firstCode + 1;
    }
    return 0;
}
