// Sleeping until there is something to do: the frame timer's tick, a quit signal, or input on
// the display's connection. Nothing wakes up on a clock of its own, so an idle editor costs
// next to no processor time.
#pragma once

// Wakes a sleeping SleepUntilWoken (or makes the next one return at once). Safe from any thread
// and from a signal handler.
void WakeMainLoop();

// Blocks until WakeMainLoop has been called since the last return, or, with watchDisplay, until
// the X display connection has input for SDL to pump, or until timeoutMs have passed (-1: no
// limit). The caller must have pumped SDL's events right before: input that Xlib has already
// read shows on no file descriptor. Without an X display (the dummy driver) only the wake-ups
// and the timeout count.
void SleepUntilWoken(bool watchDisplay, int timeoutMs = -1);
