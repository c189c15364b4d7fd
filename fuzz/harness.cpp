#include "fuzz/harness.h"

#include "util/fatal.h"

static void ThrowStop(int status)
{
    throw FatalStop{status};
}

void CatchFatalStops()
{
    SetFatalExitHook(ThrowStop);
}
