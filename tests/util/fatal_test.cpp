#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <functional>

#include "tests/support/testutil.h"
#include "util/fatal.h"
#include "util/numfmt.h"
#include "util/path.h"

// Every kind of stop: its status and all it says, standard output first (those with a line of their own
// in the registry's and loader's tests, the run-time errors of a file in the programs' runs).
// errno 0 must not mean success; EPERM is run-time error 1.
TEST(FatalDeathTest, EachStopPrintsItsLinesAndExitsWithItsStatus)
{
    const struct { std::function<void()> stop; int status; const char* output; } cases[] = {
        {[] { RunErrorFromErrno(ENOENT, "a.sgi", "cannot open"); }, 2, "a.sgi: cannot open: No such file"},
        {[] { RunErrorFromErrno(0, "x", "y"); }, 1, ""},
        {[] { SetFatalCleanup([] { std::fprintf(stderr, "cleanup first\n"); }); FatalLine("Sorry.", 1); }, 1,
         "^cleanup first\nSorry.\n$"},
        {[] { FatalOutOfMemory("the pixel buffer"); }, 203, "^Runtime error 203 at 0x"},
        {[] { SetProgramName("vpk"); StopOnFailure(Rejected("cut"), "A.VPK"); }, 1, "^vpk: A.VPK: cut\n$"},
        {[] { StopOnFailure(FailedFromErrno(EPERM, "cannot replace"), "x"); }, 1, "^Runtime error 1 at 0x"},
    };
    for (const auto& c : cases)
        EXPECT_EXIT({ StdoutToStderr(); c.stop(); }, testing::ExitedWithCode(c.status), c.output) << c.output;
}

TEST(NumberText, ShortestDecimalAndTwoUpperCaseHexDigitsOfTheLowByte)
{
    EXPECT_EQ(IntToStr(0) + " " + IntToStr(-1000) + " " + IntToStr(INT32_MIN), "0 -1000 -2147483648");
    EXPECT_EQ(HexByte(0x1A5) + HexByte(10), "A50A");
}

TEST(PathParts, SplitAtTheLastSeparatorOfTheirRuleAndTheLastDot)
{
    auto parts = [](const char* path, PathSeparators separators = PathSeparators::Slash) {
        return DirectoryPart(path, separators) + "|" + FileNamePart(path, separators) + " ";
    };
    const PathSeparators both = PathSeparators::SlashOrBackslash;
    EXPECT_EQ(parts("a\\b/c\\d") + parts("a\\b/c\\d", both) + parts("ship") + parts("a/b/"),
              "a\\b/|c\\d a\\b/c\\|d |ship a/b/| ");
    std::string text, stem, extension;
    for (const char* name : {"ship.big.sgi", "ship", ".koba", "ship."}) {
        SplitExtension(name, stem, extension);
        text += stem + "|" + extension + " ";
    }
    EXPECT_EQ(text, "ship.big|.sgi ship| |.koba ship|. ");
}
