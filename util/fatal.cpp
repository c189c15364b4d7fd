#include "util/fatal.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static std::string programName = "gravlin";
static void (*fatalCleanup)() = nullptr;
static void (*fatalExitHook)(int) = nullptr;

void SetProgramName(const std::string& name)
{
    programName = name;
}

const std::string& ProgramName()
{
    return programName;
}

void SetFatalCleanup(void (*cleanup)())
{
    fatalCleanup = cleanup;
}

void SetFatalExitHook(void (*hook)(int status))
{
    fatalExitHook = hook;
}

static void RunCleanup()
{
    // Clear first: a cleanup that itself fails must not recurse.
    void (*cleanup)() = fatalCleanup;
    fatalCleanup = nullptr;
    if (cleanup)
        cleanup();
}

[[noreturn]] static void Halt(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(status);
}

static void PrintReason(const std::string& file, const std::string& reason)
{
    if (file.empty())
        std::fprintf(stderr, "%s: %s\n", programName.c_str(), reason.c_str());
    else
        std::fprintf(stderr, "%s: %s: %s\n", programName.c_str(), file.c_str(), reason.c_str());
}

static void OfferToHook(int status)
{
    if (fatalExitHook)
        fatalExitHook(status);
}

// The address is where the failing operation was called from, as the classic report gives it.
static void PrintRunError(int code, const std::string& file, const std::string& reason, uintptr_t address)
{
    std::printf("Runtime error %d at 0x%08" PRIXPTR "\n", code, address & 0xFFFFFFFFu);
    std::fflush(stdout);  // the classic line comes first, whatever the streams are tied to
    PrintReason(file, reason);
}

[[noreturn]] static void ReportRunError(int code, const std::string& file, const std::string& reason,
                                        uintptr_t address)
{
    OfferToHook(code);
    RunCleanup();
    PrintRunError(code, file, reason, address);
    Halt(code);
}

[[noreturn]] __attribute__((noinline)) void RunError(int code, const std::string& file, const std::string& reason)
{
    ReportRunError(code, file, reason, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
}

[[noreturn]] void RunErrorFromErrno(int errnoValue, const std::string& file, const std::string& action)
{
    Result failure = FailedFromErrno(errnoValue, action);
    RunError(failure.code, file, failure.reason);
}

[[noreturn]] void FatalLine(const std::string& line, int status)
{
    OfferToHook(status);
    RunCleanup();
    std::printf("%s\n", line.c_str());
    Halt(status);
}

[[noreturn]] void FatalReject(const std::string& file, const std::string& reason)
{
    OfferToHook(1);
    RunCleanup();
    PrintReason(file, reason);
    Halt(1);
}

[[noreturn]] void FatalOutOfMemory(const std::string& what)
{
    RunError(RunErrorOutOfMemory, "", "out of memory for " + what);
}

__attribute__((noinline)) void StopOnFailure(const Result& result, const std::string& file)
{
    if (result.ok())
        return;
    if (result.rejected())
        FatalReject(file, result.reason);
    ReportRunError(result.code, file, result.reason, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
}

__attribute__((noinline)) void StopOnFailure(const Result& result, const std::string& file, const std::string& line)
{
    if (result.ok())
        return;
    if (!result.rejected())
        ReportRunError(result.code, file, result.reason, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
    OfferToHook(1);
    RunCleanup();
    if (!file.empty())
        PrintReason(file, result.reason);
    std::printf("%s\n", line.c_str());
    Halt(1);
}

__attribute__((noinline)) int ReportFailure(const Result& result, const std::string& file)
{
    if (result.ok())
        return 0;
    if (result.rejected())
        PrintReason(file, result.reason);
    else
        PrintRunError(result.code, file, result.reason, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
    std::fflush(stdout);
    std::fflush(stderr);
    return result.code;
}
