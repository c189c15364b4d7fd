#include "editor/state.h"

SpriteDocument Document;
uint8_t currentColour = 0;
int32_t cursorX = 0;
int32_t cursorY = 0;
Font* EditorFont = nullptr;

void ResetEditorState()
{
    ResetDocument(Document);
    currentColour = 0;
    CentreCursor();
}

void CentreCursor()
{
    cursorX = Document.width / 2;
    cursorY = Document.height / 2;
}
