// Frame pacing: a 24 ms SDL timer raises a flag that the frame loop waits for.
#pragma once

#include <atomic>
#include <cstdint>

enum : uint32_t { FrameInterval = 24 };

// Written 1 by the timer thread, tested and cleared by the main thread.
extern std::atomic<uint8_t> tickFlag;

// Starts the periodic timer. SDL must be initialised with its timer subsystem. When the timer
// cannot be had, frames are paced from SDL_GetTicks instead.
void StartFrameTimer();

// The timer callback: raises tickFlag and keeps the interval.
uint32_t FrameTimerCallback(uint32_t interval, void* parameter);

// Polls input until a tick has come, then clears the flag. Whenever the event queue is empty it
// sleeps until the tick or new input wakes it, so that waiting does not burn a processor core.
void WaitForTick();

// The milliseconds that held keys repeat by: SDL_GetTicks, unless a clock of its own was set
// (tests drive the repeat with one instead of sleeping). nullptr sets SDL_GetTicks back.
uint32_t FrameClock();
void SetFrameClock(uint32_t (*clock)());
