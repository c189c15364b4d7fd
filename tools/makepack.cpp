// makepack: builds a resource pack from readable sources, a palette text and a glyph font text.
//
//   makepack OUT.VPK PALETTE.txt FONT.txt [PALETTE-NAME]
//
// The pack holds the palette first (named PALETTE-NAME, default KOBA.VPL, since sprites take
// their colours when they are registered) and then one "VFF" glyph per character, in code order.
// The source formats are described at the top of assets/koba-palette.txt and assets/koba-font.txt.
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "resources/pak.h"
#include "util/fatal.h"
#include "util/files.h"
#include "util/numfmt.h"
#include "util/version.h"

enum : int { PaletteEntries = 256, MaxComponent = 63, GlyphInk = 255, GlyphKey = 0, MaxGlyphSide = 255 };

static std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t byte : bytes) {
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (byte != '\r') {
            line.push_back(char(byte));
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

static std::string StripComment(const std::string& line)
{
    size_t hash = line.find('#');
    return hash == std::string::npos ? line : line.substr(0, hash);
}

static bool ParseInt(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 6)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// The palette text: "I R G B" or "FIRST-LAST R G B R G B" lines, '#' comments.
static Result ParsePaletteText(const std::vector<uint8_t>& text, std::vector<uint8_t>& palette)
{
    palette.assign(PaletteEntries * 3, 0);
    std::vector<bool> given(PaletteEntries, false);
    std::vector<std::string> lines = SplitLines(text);
    for (size_t n = 0; n < lines.size(); n++) {
        std::istringstream words(StripComment(lines[n]));
        std::vector<std::string> fields;
        for (std::string word; words >> word;)
            fields.push_back(word);
        if (fields.empty())
            continue;
        std::string where = "line " + std::to_string(n + 1) + ": ";
        int first = 0;
        int last = 0;
        size_t dash = fields[0].find('-');
        bool range = dash != std::string::npos;
        if (range ? !ParseInt(fields[0].substr(0, dash), first) || !ParseInt(fields[0].substr(dash + 1), last)
                  : !ParseInt(fields[0], first)) {
            return Rejected(where + "expected an index or a range FIRST-LAST, got \"" + fields[0] + "\"");
        }
        if (!range)
            last = first;
        if (first > last || last >= PaletteEntries)
            return Rejected(where + "indices must lie in 0-255, in rising order");
        size_t wanted = range ? 7 : 4;
        if (fields.size() != wanted)
            return Rejected(where +
                            (range ? "a range takes two colours (six components)" : "a colour takes three components"));
        int c[6] = {};
        for (size_t k = 1; k < wanted; k++) {
            if (!ParseInt(fields[k], c[k - 1]) || c[k - 1] > MaxComponent)
                return Rejected(where + "components are numbers from 0 to 63, got \"" + fields[k] + "\"");
        }
        if (!range)
            for (int k = 0; k < 3; k++)
                c[k + 3] = c[k];
        for (int i = first; i <= last; i++) {
            if (given[size_t(i)])
                return Rejected(where + "index " + std::to_string(i) + " is given twice");
            given[size_t(i)] = true;
            int span = last - first;
            for (int k = 0; k < 3; k++) {
                // Rounded to the nearest step, so both ends are exactly the colours written.
                int value = span == 0 ? c[k] : (c[k] * (last - i) * 2 + c[k + 3] * (i - first) * 2 + span) / (2 * span);
                palette[size_t(3 * i + k)] = uint8_t(value);
            }
        }
    }
    for (int i = 0; i < PaletteEntries; i++) {
        if (!given[size_t(i)])
            return Rejected("index " + std::to_string(i) + " has no colour");
    }
    return {};
}

static bool ParseHexCode(const std::string& text, int& code)
{
    if (text.size() != 2)
        return false;
    code = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0)
            return false;
        code = code * 16 + digit;
    }
    return true;
}

// The font text: "height N", then glyphs, each "glyph HH note" and N rows of '#' and '.'.
static Result ParseFontText(const std::vector<uint8_t>& text, std::vector<PakFile>& glyphs)
{
    std::vector<std::string> lines = SplitLines(text);
    std::map<int, std::vector<uint8_t>> byCode;
    int height = 0;
    size_t n = 0;
    auto where = [&](size_t line) { return "line " + std::to_string(line + 1) + ": "; };
    while (n < lines.size()) {
        std::istringstream words(lines[n]);
        std::string keyword;
        words >> keyword;
        if (keyword.empty() || keyword[0] == '#') {
            n++;
            continue;
        }
        if (keyword == "height") {
            std::string value;
            words >> value;
            if (!ParseInt(value, height) || height < 1 || height > MaxGlyphSide)
                return Rejected(where(n) + "the height must be 1 to 255");
            n++;
            continue;
        }
        if (keyword != "glyph")
            return Rejected(where(n) + "expected \"height\" or \"glyph\", got \"" + keyword + "\"");
        std::string hex;
        words >> hex;
        int code = 0;
        if (!ParseHexCode(hex, code))
            return Rejected(where(n) + "a glyph's code is two upper-case hexadecimal digits, got \"" + hex + "\"");
        if (height == 0)
            return Rejected(where(n) + "\"height\" must come before the first glyph");
        if (byCode.count(code))
            return Rejected(where(n) + "glyph " + hex + " is given twice");
        size_t header = n++;
        if (n + size_t(height) > lines.size())
            return Rejected(where(header) + "glyph " + hex + " needs " + std::to_string(height) + " rows");
        size_t width = lines[n].size();
        if (width < 1 || width > MaxGlyphSide)
            return Rejected(where(n) + "glyph " + hex + ": rows must be 1 to 255 characters wide");
        std::vector<uint8_t> sprite = {uint8_t(width), uint8_t(height), 0, 0, GlyphKey};
        for (int row = 0; row < height; row++, n++) {
            const std::string& cells = lines[n];
            if (cells.size() != width)
                return Rejected(where(n) + "glyph " + hex + ": every row must be as wide as the first");
            if (cells[0] != '.')
                return Rejected(where(n) + "glyph " + hex + ": the leftmost column must stay blank");
            for (char cell : cells) {
                if (cell != '.' && cell != '#')
                    return Rejected(where(n) + "glyph " + hex + ": rows hold only '#' (ink) and '.' (transparent)");
                sprite.push_back(cell == '#' ? GlyphInk : GlyphKey);
            }
        }
        byCode[code] = std::move(sprite);
    }
    glyphs.clear();
    for (auto& [code, sprite] : byCode)
        glyphs.push_back(PakFile{HexByte(uint32_t(code)) + ".VFF", std::move(sprite)});
    return {};
}

static std::vector<uint8_t> ReadSource(const std::string& path)
{
    std::vector<uint8_t> bytes;
    StopOnFailure(ReadWholeFile(path, bytes), path);
    return bytes;
}

int main(int argc, char** argv)
{
    SetProgramName("makepack");
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 2 && first == "--version") {
        PrintVersion();
        return 0;
    }
    if (argc == 2 && (first == "--help" || first == "-h")) {
        std::printf("Usage: makepack OUT.VPK PALETTE.txt FONT.txt [PALETTE-NAME]\n"
                    "Build a resource pack from a palette text and a glyph font text: the palette first, named\n"
                    "PALETTE-NAME (KOBA.VPL when not given), then one .VFF glyph per character, in code order.\n"
                    "The source formats are described at the top of assets/koba-palette.txt and\n"
                    "assets/koba-font.txt.\n"
                    "\n"
                    "Exit status: 0 done, 1 a refused source or pack, 2 a usage error; a failed file\n"
                    "operation exits with the system's error number (100 for a file that ends early).\n");
        return 0;
    }
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "Usage: makepack OUT.VPK PALETTE.txt FONT.txt [PALETTE-NAME]\n");
        return 2;
    }
    std::string paletteName = argc == 5 ? argv[4] : "KOBA.VPL";
    std::vector<PakFile> files(1);
    files[0].name = paletteName;
    StopOnFailure(ParsePaletteText(ReadSource(argv[2]), files[0].data), argv[2]);
    std::vector<PakFile> glyphs;
    StopOnFailure(ParseFontText(ReadSource(argv[3]), glyphs), argv[3]);
    for (PakFile& glyph : glyphs)
        files.push_back(std::move(glyph));
    std::vector<uint8_t> image;
    StopOnFailure(BuildPakImage(files, image), argv[1]);
    StopOnFailure(WriteFileAtomic(argv[1], image), argv[1]);
    return 0;
}
