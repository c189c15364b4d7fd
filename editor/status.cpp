#include "editor/status.h"

#include "editor/editor.h"
#include "editor/history.h"
#include "editor/state.h"
#include "editor/views.h"
#include "gfx/material.h"
#include "gfx/primitives.h"
#include "gfx/text.h"

enum : int32_t {
    StatusLeft = 4,
    StatusRight = BandWidth - 4,
    StatusFirstRow = StatusTop + 2,
    StatusLinePitch = 9,
};

static std::string message;

void ShowMessage(const std::string& text)
{
    message = text;
}

const std::string& StatusMessage()
{
    return message;
}

void ResetStatus()
{
    message.clear();
}

static std::string Pair(int32_t a, int32_t b)
{
    std::string text = "(";
    text += std::to_string(a);
    text += ',';
    text += std::to_string(b);
    text += ')';
    return text;
}

static std::string CellText()
{
    // Before the first frame's normalisation the cursor may lie outside a header's size.
    if (cursorX < 0 || cursorY < 0 || cursorX >= Document.width || cursorY >= Document.height)
        return "";
    int v = Document.cells[cursorY][cursorX];
    std::string flags;
    for (const MaterialRow& row : MaterialTable)
        if (row.flags[v]) {
            if (!flags.empty())
                flags += ", ";
            flags += row.label;
        }
    return "Cell " + std::to_string(v) + ": " + (flags.empty() ? "no flags" : flags);
}

std::string StatusText(int line)
{
    switch (line) {
    case 0:
        return CellText();
    case 1:
        return "Colour " + std::to_string(currentColour) + "   Origin " + Pair(Document.originX, Document.originY) +
               "   Undo " + std::to_string(UndoSteps()) + "   Redo " + std::to_string(RedoSteps());
    case 2: {
        std::string text;
        const ViewScroll& v = ViewFirst;
        if (v.zoomX || v.zoomY || v.previewX || v.previewY)
            text = "View from " + Pair(v.zoomX, v.zoomY) + ", preview from " + Pair(v.previewX, v.previewY);
        if (HighlightFlag) {
            if (!text.empty())
                text += "   ";
            text += "Showing only: ";
            text += MaterialTable[HighlightFlag - 1].label;
        }
        return text;
    }
    default: {
        // The file's notice (a save that goes to a recovery file, say) outlasts the messages.
        const std::string& notice = DocumentNotice();
        if (message.empty() || notice.empty())
            return message + notice;
        return message + "; " + notice;
    }
    }
}

// Cut to the line's width: a long path must not run off the picture.
static std::string Fitted(std::string text, int32_t width)
{
    if (TextWidth(text, EditorFont) <= width)
        return text;
    while (!text.empty() && TextWidth(text + "...", EditorFont) > width)
        text.pop_back();
    return text + "...";
}

void DrawStatusLine()
{
    FillBox8(0, StatusTop, BandWidth, StatusHeight, BackgroundColour);
    if (!EditorFont)
        return;
    const std::string help = "F1: keys";
    const int32_t helpLeft = StatusRight - TextWidth(help, EditorFont);
    for (int line = 0; line < StatusLineCount; ++line) {
        bool last = line == StatusLineCount - 1;
        int32_t width = (line == 2 ? helpLeft - 8 : StatusRight) - StatusLeft;
        DrawText(StatusLeft, StatusFirstRow + StatusLinePitch * line, Fitted(StatusText(line), width), EditorFont,
                 last ? FrameColour : ReadoutColour);
    }
    DrawText(helpLeft, StatusFirstRow + StatusLinePitch * 2, help, EditorFont, ReadoutColour);
}
