#include "editor/input.h"

#include <SDL.h>
#include <csignal>
#include <cstring>

#include "editor/wakeup.h"

uint8_t keyDown[KeyTableSize];

static bool tapLatching = false;
static uint8_t keySeen[KeyTableSize];
static uint8_t releasePending[KeyTableSize];
static uint32_t pressCount[KeyTableSize];
static bool unseenPress = false;

static volatile std::sig_atomic_t quitSignal = 0;
static bool quitRequested = false;
static bool exposed = false;

bool PollInput()
{
    SDL_PumpEvents();
    SDL_Event event;
    if (!SDL_PollEvent(&event))
        return false;
    int symbol = event.key.keysym.sym;
    switch (event.type) {
    case SDL_KEYDOWN:
        if (symbol >= 0 && symbol < KeyTableSize) {
            keyDown[symbol] = 1;
            ++pressCount[symbol];
            keySeen[symbol] = 0;
            releasePending[symbol] = 0;
            unseenPress = tapLatching;
        }
        break;
    case SDL_KEYUP:
        if (symbol >= 0 && symbol < KeyTableSize) {
            if (tapLatching && keyDown[symbol] && (!keySeen[symbol] || unseenPress))
                releasePending[symbol] = 1;
            else
                keyDown[symbol] = 0;
        }
        break;
    case SDL_QUIT:
        quitRequested = true;
        break;
    case SDL_VIDEOEXPOSE:
        exposed = true;
        break;
    default:
        break;
    }
    return true;
}

uint32_t KeyPresses(int symbol)
{
    return pressCount[symbol];
}

void DropKey(int symbol)
{
    keyDown[symbol] = 0;
    releasePending[symbol] = 0;
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

// Takes one event; when the queue was empty, sleeps until input (or a tick) comes instead of
// spinning.
static void PollOrSleep()
{
    if (!PollInput())
        SleepUntilWoken(true);
}

uint16_t WaitForKey()
{
    while (!AnyKeyDown() && !QuitRequested())
        PollOrSleep();
    uint16_t symbol = LastKeyDown();
    while (AnyKeyDown() && !QuitRequested())
        PollOrSleep();
    return symbol;
}

void WaitForRelease(int symbol)
{
    for (;;) {
        // A release held back for a quick tap counts as the release.
        if (releasePending[symbol]) {
            releasePending[symbol] = 0;
            keyDown[symbol] = 0;
            return;
        }
        if (!keyDown[symbol] || QuitRequested())
            return;
        PollOrSleep();
    }
}

bool TakeExposure()
{
    bool was = exposed;
    exposed = false;
    return was;
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
    WakeMainLoop();
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

void EnableTapLatching()
{
    tapLatching = true;
}

bool UnseenKeyPress()
{
    return unseenPress;
}

void MarkKeysSeen(int lateKey)
{
    unseenPress = false;
    for (int i = 0; i < KeyTableSize; ++i)
        if (i != lateKey)
            keySeen[i] = 1;
}

void ReleaseTappedKeys(int lateKey)
{
    for (int i = 0; i < KeyTableSize; ++i)
        if (releasePending[i] && i != lateKey) {
            releasePending[i] = 0;
            keyDown[i] = 0;
        }
}

void ResetInput()
{
    tapLatching = false;
    unseenPress = false;
    std::memset(keySeen, 0, sizeof keySeen);
    std::memset(releasePending, 0, sizeof releasePending);
    std::memset(pressCount, 0, sizeof pressCount);
    std::memset(keyDown, 0, sizeof keyDown);
    quitRequested = false;
    quitSignal = 0;
    exposed = false;
}
