// The sprite document file, and where the editor finds its resource pack.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/document.h"
#include "editor/packpath.h"
#include "tests/support/testutil.h"

TEST(DocumentTest, ReadsTheCellsItsHeaderAsksForRowByRowAndRefusesAShortFileWithoutChangingAnything)
{
    SpriteDocument document;
    ResetDocument(document);
    const std::vector<uint8_t> fresh = EncodeDocument(document);
    const std::pair<std::vector<uint8_t>, bool> cases[] = {
        {{2, 2, 0, 0, 0, 1, 2, 3}, false}, {{1, 1, 0, 0}, false}, {{2, 2, 200, 9, 7, 1, 2, 3, 4}, true}};
    for (const auto& [file, read] : cases) {
        SCOPED_TRACE(testing::PrintToString(file));
        ResetDocument(document);
        EXPECT_EQ(DecodeDocument(file.data(), file.size(), document).ok(), read);
        EXPECT_EQ(EncodeDocument(document), read ? file : fresh);  // what the next save writes
    }
    // Origins unsigned, the cells beyond the sprite untouched.
    EXPECT_TRUE(document.originX == 200 && document.cells[1][0] == 3 && document.cells[2][0] == 0);
}

// A save goes through a link whose target does not exist yet, found from the link's folder: the
// target gets the sprite and the link stays a link. The recovery file's name adds to the
// document's: the longest name still gets one.
TEST(DocumentTest, SavesGoThroughLinksAndTheLongestNameStillGetsARecoveryFile)
{
    ScratchDir dir;
    const std::vector<uint8_t> bytes = {2, 1, 1, 0, 9, 4, 5};
    SpriteDocument document;
    ASSERT_TRUE(DecodeDocument(bytes.data(), bytes.size(), document).ok());
    std::filesystem::create_directory(dir / "real");
    std::filesystem::create_symlink("real/new.vsf", dir / "link.vsf");
    ASSERT_TRUE(WriteDocument(dir / "link.vsf", document).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.vsf"));
    EXPECT_EQ(ReadBytes(dir / "real/new.vsf"), bytes);
    std::string recovery = WriteRecoveryFile(dir / std::string(255, 'w'), document);
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ReadBytes(recovery), bytes);
}

TEST(ResourcePackPath, IsTheUpperCaseNameBesideTheProgramThenInTheInstalledLayout)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir / "bin");
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/KOBA.VPK");  // neither exists: the first
    std::filesystem::create_directories(dir / "share/koba");
    WriteBytes(dir / "share/koba/KOBA.VPK", {0});
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/../share/koba/KOBA.VPK");
    WriteBytes(dir / "bin/KOBA.VPK", {0});
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba.exe"), dir / "bin/KOBA.VPK");
    EXPECT_EQ(ResourcePackPathFor(dir / "my.koba.exe"), dir / "MY.KOBA.VPK");  // the last extension only
}
