// Shared by the harnesses: fatal stops become exceptions that the harness catches, so that a
// refused input ends one run instead of the fuzzing process.
#pragma once

struct FatalStop {
    int status;
};

// Installs the hook that turns every fatal stop into a thrown FatalStop.
void CatchFatalStops();
