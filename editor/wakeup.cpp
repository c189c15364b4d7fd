#include "editor/wakeup.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// A pipe to ourselves: writing a byte is safe anywhere, and poll() waits for it together with
// the display's socket. Made on first use and kept for the run.
static int wakePipe[2] = {-1, -1};

static bool OpenPipe()
{
    if (wakePipe[0] >= 0)
        return true;
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    for (int fd : fds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    wakePipe[1] = fds[1];
    wakePipe[0] = fds[0];
    return true;
}

// Opened before any thread or handler can wake us: WakeMainLoop must not open it itself.
static const bool pipeOpened = OpenPipe();

void WakeMainLoop()
{
    if (wakePipe[1] < 0)
        return;
    int saved = errno;  // a signal handler must leave errno as it found it
    char byte = 1;
    // A full pipe already holds a wake-up: the byte may be dropped.
    [[maybe_unused]] ssize_t ignored = ::write(wakePipe[1], &byte, 1);
    errno = saved;
}

// The X connection's socket, or -1 when the video driver is not X11.
static int DisplayConnection()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return -1;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return -1;
    return ConnectionNumber(info.info.x11.display);
}

void SleepUntilWoken(bool watchDisplay, int timeoutMs)
{
    if (!pipeOpened) {
        // No pipe, no wake-ups: a short nap is the best that is left.
        SDL_Delay(1);
        return;
    }
    struct pollfd fds[2] = {{wakePipe[0], POLLIN, 0}, {watchDisplay ? DisplayConnection() : -1, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) > 0 && (fds[0].revents & POLLIN)) {
        char drained[64];
        while (::read(wakePipe[0], drained, sizeof drained) > 0) {
        }
    }
}
