// The editor's run: start-up, one pass of the frame loop, shutdown.
#pragma once

#include <string>

#include "util/result.h"

struct EditorOptions {
    std::string documentPath;  // empty: a fresh document that is not saved
    bool hasDocument = false;
    std::string packPath;  // the resource pack to load; empty loads none
};

// The options the editor was started with.
const EditorOptions& CurrentEditorOptions();

// Start-up in order: SDL (timer and video), document, cursor, video, timer, caption, pack, font.
void StartEditor(const EditorOptions& options);

// One pass of the frame loop. Returns false once Esc is held (or a quit was requested), after
// the pass's frame has been presented.
bool RunEditorFrame();

// Shutdown in order: font, video, the document saved when one was named and it has unsaved
// changes or did not exist yet (a failed save keeps the edits in a recovery file and stops with
// the failure's code), SDL_Quit. Returns the exit status.
int StopEditor();

// Whether the document differs from the state it was read in or last saved in (a new document:
// from the fresh one). States are compared, as a save would write them: edits that put
// everything back count as none.
bool DocumentHasUnsavedChanges();

// Saves the document to its file now. A file read with bytes after its cells is first kept as
// NAME.orig (once; a failure to keep it fails the save). On success the saved state becomes
// the one DocumentHasUnsavedChanges compares with. A failure leaves the file as it was; the
// caller keeps the edits with WriteRecoveryFile (editor/document.h). Without a document named on
// the command line there is nowhere to save: ENOENT.
Result SaveDocumentNow();

// "" or a short notice about the document's file for the status line (bytes after the cells
// that the first save keeps; saves that will go to a recovery file).
const std::string& DocumentNotice();
