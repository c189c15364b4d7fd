#include "editor/frametimer.h"

#include <SDL.h>

#include "editor/input.h"
#include "editor/wakeup.h"

std::atomic<uint8_t> tickFlag{0};

static SDL_TimerID timerId = nullptr;
static bool pacedByClock = false;
static uint32_t nextTick = 0;
static uint32_t (*frameClock)() = nullptr;

uint32_t FrameTimerCallback(uint32_t interval, void*)
{
    tickFlag.store(1, std::memory_order_release);
    WakeMainLoop();
    return interval;
}

void StartFrameTimer()
{
    timerId = SDL_AddTimer(FrameInterval, FrameTimerCallback, nullptr);
    pacedByClock = timerId == nullptr;
    nextTick = SDL_GetTicks() + FrameInterval;
}

// Without the timer, the clock stands in for it: a tick is due once the interval has passed.
// Returns the milliseconds left until it is due, 0 once it has come.
static int ClockTickWait()
{
    uint32_t now = SDL_GetTicks();
    if (int32_t(now - nextTick) < 0)
        return int(nextTick - now);
    nextTick = now + FrameInterval;
    return 0;
}

void WaitForTick()
{
    for (;;) {
        // A key press the bindings have not seen yet waits for them: what follows it stays
        // queued (SDL still pumps, so the window keeps answering).
        bool polled = false;
        bool holding = UnseenKeyPress();
        if (holding)
            SDL_PumpEvents();
        else
            polled = PollInput();
        int left = pacedByClock ? ClockTickWait() : tickFlag.load(std::memory_order_acquire) != 0 ? 0 : -1;
        if (left == 0 || QuitRequested())
            break;
        // An empty queue: sleep until the tick, or until input comes that the queue may take.
        if (!polled)
            SleepUntilWoken(!holding, left);
    }
    tickFlag.store(0, std::memory_order_release);
}

uint32_t FrameClock()
{
    return frameClock ? frameClock() : SDL_GetTicks();
}

void SetFrameClock(uint32_t (*clock)())
{
    frameClock = clock;
}
