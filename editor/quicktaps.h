// Quick taps of one key under X11. SDL's X11 layer takes a key release followed within 2 ms
// (by the X server's clock) by a press of the same key for the key's own autorepeat, drops both
// and reports a repeat, which the SDL 1.2 layer drops too: the second tap is lost. Where the X
// server reports autorepeat without releases (the XKB "detectable autorepeat" that SDL asks
// for), every release is a real one, so such a pair is a real release and press.
#pragma once

// On an X11 display with detectable autorepeat, gives each press that follows a release of its
// key within 2 ms the release's time + 2 ms, before SDL looks at it, so that SDL passes both
// on. Elsewhere (no X11, another driver) does nothing. Call after the video mode is set.
void KeepQuickTapsApart();
