// The one way every program of the tool set stops on a fatal error.
//
// Two kinds of stop exist:
//  - a run-time error: "Runtime error N at 0xADDRESS" on standard output and exit status N
//    (the OS error code for a failed open or create, 100 short read, 101 short write,
//    203 out of memory), followed by a line on standard error that a person can act on;
//  - a worded stop: a line the program defines (for example "Can't open PAK file: ...")
//    on standard output, or a reason on standard error, with its own exit status.
// Before anything is printed the registered cleanup runs (the engine shuts video down there,
// so that the message is not hidden behind the video mode).
#pragma once

#include <string>

#include "util/result.h"

// The name used on the human-readable lines ("koba", "tintpour", ...).
void SetProgramName(const std::string& name);
const std::string& ProgramName();

// Called once before a fatal message is printed; nullptr for none.
void SetFatalCleanup(void (*cleanup)());

// For fuzz harnesses only: called with the exit status instead of ending the process, before
// anything is printed. The hook must not return (it throws to the harness); if it does, the
// program ends as usual.
void SetFatalExitHook(void (*hook)(int status));

// Run-time error: the classic line on stdout, then "<program>: <file>: <reason>" on stderr,
// exit status code. An empty file leaves out that part of the second line.
[[noreturn]] void RunError(int code, const std::string& file, const std::string& reason);

// Run-time error for a failed OS call: code and reason are taken from errnoValue.
[[noreturn]] void RunErrorFromErrno(int errnoValue, const std::string& file, const std::string& action);

// A line worded by the program, exactly as given, on standard output; then exit with status.
[[noreturn]] void FatalLine(const std::string& line, int status);

// A rejected input: "<program>: <file>: <reason>" on standard error, exit status 1.
[[noreturn]] void FatalReject(const std::string& file, const std::string& reason);

// Out of memory for a named purpose: run-time error 203.
[[noreturn]] void FatalOutOfMemory(const std::string& what);

// The stop every front end makes on a failed Result: returns when it is ok; a rejection stops as
// FatalReject, any other code as RunError, both naming file.
void StopOnFailure(const Result& result, const std::string& file);

// The same for a front end that words its rejections itself: a rejection prints the reason line
// on standard error when file is given, then line on standard output, exit status 1. Any other
// failure stops as StopOnFailure does.
void StopOnFailure(const Result& result, const std::string& file, const std::string& line);

// What StopOnFailure prints, without stopping, for a front end that goes on with other work;
// gives the exit status the failure stands for (0 when result is ok).
int ReportFailure(const Result& result, const std::string& file);
