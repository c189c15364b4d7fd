#include "editor/input.h"

#include <SDL.h>
#include <csignal>
#include <cstring>

uint8_t keyDown[KeyTableSize];

static volatile std::sig_atomic_t quitSignal = 0;
static bool quitRequested = false;

bool PollInput()
{
    SDL_PumpEvents();
    SDL_Event event;
    if (!SDL_PollEvent(&event))
        return false;
    int symbol = event.key.keysym.sym;
    switch (event.type) {
    case SDL_KEYDOWN:
        if (symbol >= 0 && symbol < KeyTableSize)
            keyDown[symbol] = 1;
        break;
    case SDL_KEYUP:
        if (symbol >= 0 && symbol < KeyTableSize)
            keyDown[symbol] = 0;
        break;
    case SDL_QUIT:
        quitRequested = true;
        break;
    default:
        break;
    }
    return true;
}

bool AnyKeyDown()
{
    for (int i = 0; i < KeyTableSize; ++i)
        if (keyDown[i])
            return true;
    return false;
}

uint16_t LastKeyDown()
{
    for (int i = KeyTableSize - 1; i > 0; --i)
        if (keyDown[i])
            return uint16_t(i);
    return 0;
}

// Takes one event; when the queue was empty, yields the processor instead of spinning.
static void PollOrNap()
{
    if (!PollInput())
        SDL_Delay(1);
}

uint16_t WaitForKey()
{
    while (!AnyKeyDown() && !QuitRequested())
        PollOrNap();
    uint16_t symbol = LastKeyDown();
    while (AnyKeyDown() && !QuitRequested())
        PollOrNap();
    return symbol;
}

void WaitForRelease(int symbol)
{
    while (keyDown[symbol] && !QuitRequested())
        PollOrNap();
}

bool QuitRequested()
{
    return quitRequested || quitSignal != 0;
}

void RequestQuit()
{
    quitRequested = true;
}

static void OnQuitSignal(int)
{
    quitSignal = 1;
}

void InstallQuitSignals()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void ResetInput()
{
    std::memset(keyDown, 0, sizeof keyDown);
    quitRequested = false;
    quitSignal = 0;
}
