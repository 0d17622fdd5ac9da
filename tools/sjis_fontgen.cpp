// Writes the double-byte label font "sjis.fnt" (FONTX2, 16 x 16) for every
// double-byte code of code page 932 that has a glyph in GNU Unifont.
//
//   sjis-fontgen OUT.fnt [unifont_jp.hex]
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "settings/file_writing.h"

namespace {

constexpr int CellSize = 16;
constexpr int GlyphBytes = CellSize * CellSize / 8;
// Codes closer than this share a block; the gap between them is stored as
// blank glyphs. It keeps the block table short (the format allows 255) and
// draws unassigned codes inside a block as blanks.
constexpr int MergeGap = 16;
constexpr int MaxBlocks = 255;

using Glyph = std::vector<uint8_t>;  // GlyphBytes, top row first

struct Block {
    int first;
    int last;
};

bool isLead(int b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrail(int b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Unifont's 8-wide glyphs are centred in the 16-wide cell.
Glyph parseHexGlyph(const std::string& hex)
{
    Glyph glyph(GlyphBytes, 0);
    const bool narrow = hex.size() == 32;
    for (int row = 0; row < CellSize; ++row) {
        unsigned bits = narrow ? std::stoul(hex.substr(row * 2, 2), nullptr, 16) << 4
                               : std::stoul(hex.substr(row * 4, 4), nullptr, 16);
        glyph[row * 2] = static_cast<uint8_t>(bits >> 8);
        glyph[row * 2 + 1] = static_cast<uint8_t>(bits & 0xFF);
    }
    return glyph;
}

std::map<uint32_t, Glyph> readUnifont(const char* path)
{
    std::map<uint32_t, Glyph> glyphs;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string hex = line.substr(colon + 1);
        if (hex.size() == 32 || hex.size() == 64)
            glyphs[std::stoul(line.substr(0, colon), nullptr, 16)] = parseHexGlyph(hex);
    }
    return glyphs;
}

// The Unicode code point of one double-byte code, or 0 where cp932 has none.
uint32_t codePoint(iconv_t converter, int code)
{
    char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    uint32_t out = 0;
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(&out);
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return 0;
    return out;
}

std::map<int, Glyph> glyphsByCode(const std::map<uint32_t, Glyph>& unifont)
{
    std::map<int, Glyph> byCode;
    iconv_t converter = iconv_open("UTF-32LE", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return byCode;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLead(lead))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!isTrail(trail))
                continue;
            int code = lead * 256 + trail;
            auto found = unifont.find(codePoint(converter, code));
            if (found != unifont.end() && found->first != 0)
                byCode[code] = found->second;
        }
    }
    iconv_close(converter);
    return byCode;
}

std::vector<Block> groupIntoBlocks(const std::map<int, Glyph>& byCode)
{
    std::vector<Block> blocks;
    for (const auto& entry : byCode) {
        if (!blocks.empty() && entry.first - blocks.back().last <= MergeGap)
            blocks.back().last = entry.first;
        else
            blocks.push_back({entry.first, entry.first});
    }
    return blocks;
}

void put16(std::string& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

std::string fontxImage(const std::vector<Block>& blocks, const std::map<int, Glyph>& byCode)
{
    std::string out = "FONTX2";
    out += std::string("UNIFONT ", 8);
    out += static_cast<char>(CellSize);
    out += static_cast<char>(CellSize);
    out += static_cast<char>(1);  // double-byte code type
    out += static_cast<char>(blocks.size());
    for (const Block& block : blocks) {
        put16(out, block.first);
        put16(out, block.last);
    }
    const Glyph blank(GlyphBytes, 0);
    for (const Block& block : blocks)
        for (int code = block.first; code <= block.last; ++code) {
            auto found = byCode.find(code);
            const Glyph& glyph = found != byCode.end() ? found->second : blank;
            out.append(glyph.begin(), glyph.end());
        }
    return out;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "sjis-fontgen: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    failWritesPastTheFileSizeLimit();
    if (argc < 2 || argc > 3)
        return fail("usage: sjis-fontgen OUT.fnt [unifont_jp.hex]");
    const char* hexPath = argc == 3 ? argv[2] : "/usr/share/unifont/unifont_jp.hex";
    std::map<uint32_t, Glyph> unifont = readUnifont(hexPath);
    if (unifont.empty())
        return fail(std::string("no glyphs read from ") + hexPath + " (is the unifont package installed?)");
    std::map<int, Glyph> byCode = glyphsByCode(unifont);
    std::vector<Block> blocks = groupIntoBlocks(byCode);
    if (byCode.empty() || blocks.size() > MaxBlocks)
        return fail("cannot build a font of at most 255 blocks from " + std::string(hexPath));

    // A half-written font never stands in for a good one, and a device
    // named as the output stays a device.
    const std::string target = argv[1];
    const std::string failure = writeOutputFile(target, fontxImage(blocks, byCode), OtherFiles::Used);
    if (!failure.empty())
        return fail("cannot write " + target + ": " + failure);
    std::printf("%s: %zu glyphs in %zu blocks\n", target.c_str(), byCode.size(), blocks.size());
    if (std::fflush(stdout) != 0)
        return fail("cannot write to standard output");
    return 0;
}
