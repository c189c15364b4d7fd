#include "gfx/sprites.h"

SpriteRecord SpriteTable[MaxSprites];
uint16_t SpriteCount = 0;
SheetCursor IndexSheetCursor = {0, SheetTop, 0};
SheetCursor HiSheetCursor = {0, SheetTop, 0};

void ResetSpriteRegistry()
{
    SpriteCount = 0;
    IndexSheetCursor = {0, SheetTop, 0};
    HiSheetCursor = {0, SheetTop, 0};
}
