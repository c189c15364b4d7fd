#include "resources/register.h"

#include <algorithm>
#include <cstring>

#include "gfx/sprites.h"
#include "resources/enlarge.h"
#include "util/fatal.h"

namespace {

enum : size_t { HeaderSize = 5 };

// Where an image of w x h goes on a sheet: beside the last one, or at the start of a new shelf
// below the tallest image of the current shelf when it would cross column 1024.
SheetCursor SpotFor(const SheetCursor& cursor, int32_t w)
{
    if (cursor.x + w > CanvasWidth)
        return {0, cursor.y + cursor.shelfHeight, 0};
    return cursor;
}

void Advance(SheetCursor& cursor, const SheetCursor& spot, int32_t w, int32_t h)
{
    cursor = {spot.x + w, spot.y, std::max(spot.shelfHeight, h)};
}

}  // namespace

Result CheckSprite(const uint8_t* data, size_t size)
{
    if (size < HeaderSize)
        return Rejected("shorter than its 5-byte header");
    const int32_t width = data[0], height = data[1];
    if (width == 0 || height == 0)
        return Rejected("a width or height of 0");
    if (size - HeaderSize < size_t(width) * size_t(height))
        return Rejected("shorter than its width and height say");
    if (SpriteCount >= MaxSprites)
        return Rejected("more than 4096 sprites");
    if (SpotFor(IndexSheetCursor, width).y + height > IndexCanvasHeight)
        return Rejected("no room left in the index sprite sheet");
    if (SpotFor(HiSheetCursor, 2 * width).y + 2 * height > HiColourCanvasHeight)
        return Rejected("no room left in the hi-colour sprite sheet");
    return {};
}

uint16_t RegisterSprite(const uint8_t* data, size_t size, const std::string& name)
{
    // Every limit is checked before anything changes, so a refusal never leaves half a sprite.
    const Result check = CheckSprite(data, size);
    StopOnFailure(check, "", "Can't register sprite \"" + name + "\": " + check.reason + "!");

    const uint16_t index = SpriteCount;
    SpriteRecord& record = SpriteTable[index];
    record = SpriteRecord{};
    const size_t nameLength = std::min<size_t>(name.size(), 8);
    std::memcpy(record.name, name.data(), nameLength);
    record.nameLength = uint8_t(nameLength);
    record.width = data[0];
    record.height = data[1];
    record.originX = data[2];
    record.originY = data[3];
    record.keyColour = data[4];

    const int32_t width = record.width, height = record.height;
    const SheetCursor indexSpot = SpotFor(IndexSheetCursor, width);
    const SheetCursor hiSpot = SpotFor(HiSheetCursor, 2 * width);
    record.indexX = uint16_t(indexSpot.x);
    record.indexY = uint16_t(indexSpot.y);
    record.hiX = uint16_t(hiSpot.x);
    record.hiY = uint16_t(hiSpot.y);

    const uint8_t* cells = data + HeaderSize;
    for (int32_t j = 0; j < height; ++j)
        std::memcpy(IndexCanvas + (size_t(indexSpot.y) + j) * CanvasWidth + indexSpot.x, cells + size_t(j) * width,
                    width);

    record.keyPixel = PaletteColours[record.keyColour];
    // Glyph names are pack name + ':' + code; the ':' may sit beyond the 8 characters kept.
    const bool fontGlyph = name.find(':') != std::string::npos;
    EnlargeSprite(record.indexX, record.indexY, record.hiX, record.hiY, record.width, record.height,
                  record.keyColour, fontGlyph);

    Advance(IndexSheetCursor, indexSpot, width, height);
    Advance(HiSheetCursor, hiSpot, 2 * width, 2 * height);
    SpriteCount = uint16_t(index + 1);
    return index;
}
