// The status line below the views (the bottom 80 rows of the window): the cursor's cell and its
// material flags, colour, origin, undo and redo steps, the views' scroll, the highlight, the last
// message and a pointer to the key help.
#pragma once

#include <string>

// The last message ("Saved", "Nothing to undo"); it stays until the next one.
void ShowMessage(const std::string& message);
const std::string& StatusMessage();

// The texts of the status line, top to bottom.
enum : int { StatusLineCount = 4 };
std::string StatusText(int line);

// Draws the status line into its band rows (after the views, which overrun into its top rows).
void DrawStatusLine();

// Forgets the message (a fresh run).
void ResetStatus();
