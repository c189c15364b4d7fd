#include <gtest/gtest.h>

#include <filesystem>

#include "editor/packpath.h"
#include "tests/support/testutil.h"

TEST(ResourcePackPath, IsTheUpperCaseProgramNameBesideTheProgram)
{
    ScratchDir dir;
    WriteBytes(dir / "KOBA.VPK", {0});
    EXPECT_EQ(ResourcePackPathFor(dir / "koba"), dir / "KOBA.VPK");
    EXPECT_EQ(ResourcePackPathFor(dir / "koba.exe"), dir / "KOBA.VPK");
}

TEST(ResourcePackPath, FallsBackToTheInstalledLayoutAndNamesTheFirstPathWhenNeitherExists)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir / "bin");
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/KOBA.VPK");
    std::filesystem::create_directories(dir / "share/koba");
    WriteBytes(dir / "share/koba/KOBA.VPK", {0});
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/../share/koba/KOBA.VPK");
}
