#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "tests/resources/engine_death.h"
#include "util/fatal.h"


TEST(FatalDeathTest, RunErrorPrintsClassicLineAndExitsWithTheCode)
{
    SetProgramName("tintpour");
    EXPECT_EXIT(
        {
            StdoutToStderr();
            RunError(RunErrorShortWrite, "ship.vas", "short write");
        },
        testing::ExitedWithCode(101),
        "Runtime error 101 at 0x[0-9A-F]{8}\ntintpour: ship.vas: short write\n");
}

TEST(FatalDeathTest, ErrnoFailuresExitWithTheOsCode)
{
    SetProgramName("hueslab");
    EXPECT_EXIT(
        {
            StdoutToStderr();
            RunErrorFromErrno(ENOENT, "missing.sgi", "cannot open");
        },
        testing::ExitedWithCode(2), "Runtime error 2 at 0x.*hueslab: missing.sgi: cannot open: No such file");
    // errno 0 must never turn a failure into success.
    EXPECT_EXIT(RunErrorFromErrno(0, "x", "y"), testing::ExitedWithCode(1), "");
}

static bool cleanupRan = false;
static void NoteCleanup()
{
    std::fprintf(stderr, "cleanup first\n");
    cleanupRan = true;
}

TEST(FatalDeathTest, WordedLinesRunTheCleanupFirstAndExitWithTheirStatus)
{
    EXPECT_EXIT(
        {
            StdoutToStderr();
            SetFatalCleanup(NoteCleanup);
            FatalLine("Can't initialize SDL video, sorry.", 1);
        },
        testing::ExitedWithCode(1), "^cleanup first\nCan't initialize SDL video, sorry.\n$");
    EXPECT_FALSE(cleanupRan);
}

TEST(FatalDeathTest, RejectionsNameProgramFileAndReasonWithStatusOne)
{
    SetProgramName("tintpour");
    EXPECT_EXIT(FatalReject("ship.sgi", "3 channels; an RGBA image with 4 is needed"), testing::ExitedWithCode(1),
                "^tintpour: ship.sgi: 3 channels; an RGBA image with 4 is needed\n$");
    EXPECT_EXIT(
        {
            StdoutToStderr();
            FatalOutOfMemory("the pixel buffer");
        },
        testing::ExitedWithCode(203), "Runtime error 203 at 0x");
}
