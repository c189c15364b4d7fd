// Keyboard state for the frame loop: one SDL event taken per poll, key states by SDL key symbol.
#pragma once

#include <cstdint>

enum : int { KeyTableSize = 512 };

// 1 while the key with that SDL 1.2 symbol is held. Changes only in PollInput.
extern uint8_t keyDown[KeyTableSize];

// Pumps SDL and takes at most one event: key-down sets, key-up clears its keyDown entry; a
// window close request asks the editor to quit; an uncovered window is noted for a repaint;
// every other event is dropped. Returns whether an event was taken.
bool PollInput();

// Whether the window was uncovered (its picture lost) since the last call.
bool TakeExposure();

// How many times the key went down since the start: a new count is a new press, even when
// the key went up and down again between two looks.
uint32_t KeyPresses(int symbol);
// Takes the key up now, and its held-back release with it: its press is used up.
void DropKey(int symbol);

bool AnyKeyDown();
// The highest symbol held, 0 when none.
uint16_t LastKeyDown();
// Waits for a key, then for all keys to come up; returns the highest symbol seen first.
uint16_t WaitForKey();
// Polls until the key is up (or a quit is requested), sleeping while the queue is empty.
void WaitForRelease(int symbol);

// Taps shorter than a frame. The frame loop spends most of its time waiting for the tick while
// draining events, so keys that go down and up within that wait would never be seen by the
// bindings, and a modifier released a moment before its key would be lost. With latching on:
//  - a key-up is held back while its key, or any key pressed since, has not been looked at by
//    the bindings; the key stays down until the bindings' pass is over (or until a wait for
//    its release), so a quick tap acts exactly once;
//  - the wait for the tick stops taking events once it has taken an unseen key-down, leaving the
//    rest queued for the next frames, so quick sequences of taps act one after the other.
// Keys held across frames behave exactly as without latching.
void EnableTapLatching();
// Whether a key went down that the bindings have not looked at yet (latching only).
bool UnseenKeyPress();
// Called right before the bindings look at keyDown: every key down now counts as seen, except
// lateKey, which the loop looks at only after the present (Esc).
void MarkKeysSeen(int lateKey);
// Called after the bindings: keys whose release was held back go up now, except lateKey.
void ReleaseTappedKeys(int lateKey);

// Set by the window's close button, SIGINT or SIGTERM: the editor ends as if Esc were held.
bool QuitRequested();
void RequestQuit();
// Installs SIGINT and SIGTERM handlers that request a quit.
void InstallQuitSignals();
// Forgets all key states and any quit request, and turns latching off (for a fresh start).
void ResetInput();
