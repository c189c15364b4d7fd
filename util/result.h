// The one way an operation says "failed, and why": readers and writers return a Result and never
// stop the program; front ends hand it to StopOnFailure (util/fatal.h).
#pragma once

#include <string>
#include <utility>

// Run-time error numbers of their own; any other failure of an OS call takes the OS error code.
enum : int {
    RunErrorShortRead = 100,
    RunErrorShortWrite = 101,
    RunErrorOutOfMemory = 203,
};

// Outcome of an operation that can fail: code 0 on success; 1 for a rejected input (exit status 1,
// "<program>: <file>: <reason>" on stderr); otherwise the run-time error number to stop with.
struct [[nodiscard]] Result {
    int code = 0;
    std::string reason;
    // Set by Failed: code 1 is then run-time error 1 (an OS call refused with EPERM), which stops
    // with the "Runtime error" line like any other, not as a rejection.
    bool runError = false;
    bool ok() const { return code == 0; }
    bool rejected() const { return code == 1 && !runError; }
};

// An input refused for what it holds: exit status 1.
inline Result Rejected(std::string reason)
{
    return Result{1, std::move(reason)};
}

// A run-time error: code is the number the program stops with.
inline Result Failed(int code, std::string reason)
{
    return Result{code, std::move(reason), true};
}

// A failed OS call: the error code (kept to the 8 bits an exit status has, and never 0, which
// would report the failure as success) and "action: <the system's wording>".
Result FailedFromErrno(int errnoValue, const std::string& action);
