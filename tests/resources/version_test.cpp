#include <gtest/gtest.h>

#include "tests/support/testutil.h"

// The project's one version, as CMake sets it, reaches every program.
TEST(Programs, PrintTheProjectVersion)
{
    for (const char* name : {"koba", "tintpour", "hueslab", "vpk", "makepack"}) {
        ProgramResult r = RunProgram({BuiltProgram(name), "--version"});
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(r.out, std::string(name) + " " GRAVLIN_PROJECT_VERSION "\n");
    }
}
