// Keyboard state for the frame loop: one SDL event taken per poll, key states by SDL key symbol.
#pragma once

#include <cstdint>

enum : int { KeyTableSize = 512 };

// 1 while the key with that SDL 1.2 symbol is held. Changes only in PollInput.
extern uint8_t keyDown[KeyTableSize];

// Pumps SDL and takes at most one event: key-down sets, key-up clears its keyDown entry; a
// window close request asks the editor to quit; every other event is dropped. Returns whether
// an event was taken.
bool PollInput();

bool AnyKeyDown();
// The highest symbol held, 0 when none.
uint16_t LastKeyDown();
// Waits for a key, then for all keys to come up; returns the highest symbol seen first.
uint16_t WaitForKey();
// Polls until the key is up (or a quit is requested), sleeping briefly when the queue is empty.
void WaitForRelease(int symbol);

// Set by the window's close button, SIGINT or SIGTERM: the editor ends as if Esc were held.
bool QuitRequested();
void RequestQuit();
// Installs SIGINT and SIGTERM handlers that request a quit.
void InstallQuitSignals();
// Forgets all key states and any quit request (for a fresh start).
void ResetInput();
