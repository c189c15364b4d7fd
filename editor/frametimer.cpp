#include "editor/frametimer.h"

#include <SDL.h>

#include "editor/input.h"

std::atomic<uint8_t> tickFlag{0};

static SDL_TimerID timerId = nullptr;
static bool pacedByClock = false;
static uint32_t nextTick = 0;

uint32_t FrameTimerCallback(uint32_t interval, void*)
{
    tickFlag.store(1, std::memory_order_release);
    return interval;
}

void StartFrameTimer()
{
    timerId = SDL_AddTimer(FrameInterval, FrameTimerCallback, nullptr);
    pacedByClock = timerId == nullptr;
    nextTick = SDL_GetTicks() + FrameInterval;
}

// Without the timer, the clock stands in for it: a tick is due once the interval has passed.
static bool ClockTickDue()
{
    uint32_t now = SDL_GetTicks();
    if (int32_t(now - nextTick) < 0)
        return false;
    nextTick = now + FrameInterval;
    return true;
}

void WaitForTick()
{
    for (;;) {
        // A key press the bindings have not seen yet waits for them: what follows it stays
        // queued (SDL still pumps, so the window keeps answering).
        bool polled = false;
        if (UnseenKeyPress())
            SDL_PumpEvents();
        else
            polled = PollInput();
        if (pacedByClock ? ClockTickDue() : tickFlag.load(std::memory_order_acquire) != 0)
            break;
        if (QuitRequested())
            break;
        if (!polled)
            SDL_Delay(1);
    }
    tickFlag.store(0, std::memory_order_release);
}
