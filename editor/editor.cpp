#include "editor/editor.h"

#include <SDL.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "editor/document.h"
#include "editor/frametimer.h"
#include "editor/history.h"
#include "editor/input.h"
#include "editor/keys.h"
#include "editor/modes.h"
#include "editor/panel.h"
#include "editor/quicktaps.h"
#include "editor/state.h"
#include "editor/status.h"
#include "editor/views.h"
#include "gfx/text.h"
#include "gfx/video.h"
#include "resources/loader.h"
#include "util/fatal.h"

static EditorOptions editorOptions;

// The document's file: what reading found, the state last read or saved, the notice about it.
static DocumentSource documentSource;
static std::vector<uint8_t> savedState;
static std::string documentNotice;

// What the screen shows: the band and the colours of the last present.
static ColourIndex shownBand[PictureHeight][BandWidth];
static Pixel shownColours[256];
static bool firstPresent = true;

static bool PictureChanged()
{
    bool changed = std::memcmp(shownColours, PaletteColours, sizeof shownColours) != 0;
    for (int32_t y = 0; y < PictureHeight && !changed; ++y)
        changed = std::memcmp(shownBand[y], IndexCanvas + (BandTop + y) * CanvasWidth, BandWidth) != 0;
    return changed;
}

// Handing an unchanged screen to SDL costs a whole-window update (SDL converts and uploads all
// of it): skipping those keeps an idle editor's processor use low. A window that was uncovered
// has lost its picture and is told so by an expose event.
static void PresentBand()
{
    bool exposed = TakeExposure();
    if (!firstPresent && !exposed && !PictureChanged())
        return;
    firstPresent = false;
    std::memcpy(shownColours, PaletteColours, sizeof shownColours);
    for (int32_t y = 0; y < PictureHeight; ++y)
        std::memcpy(shownBand[y], IndexCanvas + (BandTop + y) * CanvasWidth, BandWidth);
    PresentZoomed(0, BandTop, 0, 0, BandWidth, PictureHeight);
}

static void Notify(const std::string& line)
{
    std::fprintf(stderr, "%s: %s: %s\n", ProgramName().c_str(), editorOptions.documentPath.c_str(), line.c_str());
}

static void UpdateDocumentNotice()
{
    documentNotice.clear();
    if (!documentSource.withExtraBytes.empty())
        documentNotice = "Bytes after the cells: the first save keeps a .orig copy";
    if (editorOptions.hasDocument && documentSource.readOnly)
        documentNotice += std::string(documentNotice.empty() ? "" : "; ") + "Read-only: saving goes to a recovery file";
}

// The document's file at start-up: read (or refused before the window opens), the state to
// compare edits with, and what the user must know about saving it.
static void OpenDocument()
{
    documentSource = DocumentSource();
    if (editorOptions.hasDocument) {
        StopOnFailure(ReadDocument(editorOptions.documentPath, Document, &documentSource), editorOptions.documentPath);
        if (!documentSource.withExtraBytes.empty())
            Notify(std::to_string(documentSource.withExtraBytes.size() - EncodeDocument(Document).size()) +
                   " bytes after the sprite's cells are not part of it; the first save keeps the whole file as " +
                   editorOptions.documentPath + ".orig");
        if (documentSource.readOnly)
            Notify("the file or its folder is read-only; saving will go to a recovery file");
    }
    savedState = EncodeNormalised(Document);
    UpdateDocumentNotice();
}

const EditorOptions& CurrentEditorOptions()
{
    return editorOptions;
}

void StartEditor(const EditorOptions& options)
{
    editorOptions = options;
    WindowedVideo = true;
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO);
    // Before the handlers: a signal that comes right after them must not be forgotten.
    ResetInput();
    // After SDL_Init, so that ours replace whatever handlers SDL installed.
    InstallQuitSignals();
    EnableTapLatching();
    ResetPaletteCycle();
    ResetEditorState();
    ResetHistory();
    ResetStatus();
    ResetModes();
    ResetKeyPresses();
    HighlightFlag = 0;
    // Before the window opens: a document that cannot be read stops the editor here.
    OpenDocument();
    CentreCursor();
    CentreViews();
    StartVideo();
    KeepQuickTapsApart();
    firstPresent = true;
    StartFrameTimer();
    SDL_WM_SetCaption("Gravlin sprite editor", "kOBA");
    if (!options.packPath.empty())
        LoadResourcePack(options.packPath);
    EditorFont = LoadFont("KOBA");
}

bool RunEditorFrame()
{
    DrawSpriteViews();
    DrawPalettePanel();
    DrawStatusLine();
    DrawKeyHelp();
    PollInput();
    MarkKeysSeen(KeyEscape);
    NoteKeysBeforeBindings();
    ApplyBindings();
    CloseKeyHelpOnEscape();
    ReleaseTappedKeys(KeyEscape);
    NoteKeysAfterBindings();
    NormaliseDocument();
    // A size change that wraps the origin is one step with it; a stroke lasts while Space is held.
    EndFrameChanges(keyDown[KeySpace]);
    CyclePalette();
    WaitForTick();
    PresentBand();
    return !keyDown[KeyEscape] && !QuitRequested();
}

bool DocumentHasUnsavedChanges()
{
    return EncodeNormalised(Document) != savedState;
}

Result SaveDocumentNow()
{
    const std::string& path = editorOptions.documentPath;
    if (!editorOptions.hasDocument)
        return Failed(ENOENT, "no file was named on the command line");
    if (!documentSource.withExtraBytes.empty()) {
        // Those bytes are someone's work too (a hi-colour picture, say); the save drops them.
        Result kept = WriteFileAtomic(path + ".orig", documentSource.withExtraBytes);
        if (!kept.ok()) {
            kept.reason = "cannot keep the original as " + path + ".orig: " + kept.reason;
            return kept;
        }
        Notify("the original file, with its bytes after the cells, is kept as " + path + ".orig");
        documentSource.withExtraBytes.clear();
    }
    std::vector<uint8_t> image = EncodeNormalised(Document);
    Result status = WriteDocumentImage(path, image);
    if (!status.ok())
        return status;
    savedState = std::move(image);
    documentSource.existed = true;
    UpdateDocumentNotice();
    return status;
}

const std::string& DocumentNotice()
{
    return documentNotice;
}

int StopEditor()
{
    FreeFont(EditorFont);
    EditorFont = nullptr;
    StopVideo();
    // Closing the window and SIGINT/SIGTERM end the loop like Esc, so they save too; an
    // unchanged document is left alone, byte for byte, whatever its file holds.
    // Ctrl+Q leaves everything as it is on the disk, even a document that does not exist yet.
    if (editorOptions.hasDocument && !QuittingWithoutSaving() &&
        (!documentSource.existed || DocumentHasUnsavedChanges())) {
        Result status = SaveDocumentNow();
        if (!status.ok()) {
            std::string recovery = WriteRecoveryFile(editorOptions.documentPath, Document);
            status.reason += recovery.empty() ? "; the edits could not be kept anywhere"
                                              : "; the file is unchanged and the edits are in " + recovery;
            StopOnFailure(status, editorOptions.documentPath);
        }
    }
    SDL_Quit();
    return 0;
}
