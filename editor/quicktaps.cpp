#include "editor/quicktaps.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

// Xlib's own conversion of each event as it comes off the wire, which an extension may replace
// (XESetWireToEvent). The wire event is only handed on, so its layout is not needed here.
using WireToEvent = Bool (*)(Display*, XEvent*, void*);
using SetWireToEvent = WireToEvent (*)(Display*, int, WireToEvent);
using GetDetectableAutoRepeat = Bool (*)(Display*, Bool*);

static WireToEvent xlibKeyPress = nullptr;
static WireToEvent xlibKeyRelease = nullptr;
static Time lastRelease[256];
static bool released[256];

static Bool ConvertKeyRelease(Display* display, XEvent* event, void* wire)
{
    Bool keep = xlibKeyRelease(display, event, wire);
    if (keep) {
        unsigned keycode = event->xkey.keycode & 0xFF;
        lastRelease[keycode] = event->xkey.time;
        released[keycode] = true;
    }
    return keep;
}

static Bool ConvertKeyPress(Display* display, XEvent* event, void* wire)
{
    Bool keep = xlibKeyPress(display, event, wire);
    unsigned keycode = event->xkey.keycode & 0xFF;
    if (keep && released[keycode] && event->xkey.time - lastRelease[keycode] < 2)
        event->xkey.time = lastRelease[keycode] + 2;
    released[keycode] = false;
    return keep;
}

void KeepQuickTapsApart()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return;
    Display* display = info.info.x11.display;
    // The Xlib that SDL loaded for itself: no second copy, and nothing to link.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib)
        return;
    auto setWireToEvent = reinterpret_cast<SetWireToEvent>(dlsym(xlib, "XESetWireToEvent"));
    auto detectable = reinterpret_cast<GetDetectableAutoRepeat>(dlsym(xlib, "XkbGetDetectableAutoRepeat"));
    Bool supported = False;
    // Without detectable autorepeat, a release and a press at one time are the autorepeat that
    // SDL rightly folds.
    if (setWireToEvent && detectable && detectable(display, &supported) && supported) {
        WireToEvent press = setWireToEvent(display, KeyPress, ConvertKeyPress);
        WireToEvent release = setWireToEvent(display, KeyRelease, ConvertKeyRelease);
        // A display already seen keeps the conversions found the first time.
        if (press != ConvertKeyPress)
            xlibKeyPress = press;
        if (release != ConvertKeyRelease)
            xlibKeyRelease = release;
        for (bool& r : released)
            r = false;
    }
    dlclose(xlib);
}
