// The editor's run: start-up, one pass of the frame loop, shutdown.
#pragma once

#include <string>

struct EditorOptions {
    std::string documentPath;  // empty: a fresh document that is not saved
    bool hasDocument = false;
    std::string packPath;  // the resource pack to load; empty loads none
};

// Start-up in order: SDL (timer and video), document, cursor, video, timer, caption, pack, font.
void StartEditor(const EditorOptions& options);

// One pass of the frame loop. Returns false once Esc is held (or a quit was requested), after
// the pass's frame has been presented.
bool RunEditorFrame();

// Shutdown in order: font, video, document saved when one was named, SDL_Quit.
// Returns the exit status.
int StopEditor();
