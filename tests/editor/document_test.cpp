// The sprite document file, and where the editor finds its resource pack.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "editor/document.h"
#include "editor/packpath.h"
#include "tests/support/testutil.h"
#include "util/fatal.h"

static std::vector<uint8_t> SpriteBytes(uint8_t w, uint8_t h, uint8_t ox, uint8_t oy, uint8_t key)
{
    std::vector<uint8_t> bytes = {w, h, ox, oy, key};
    for (int i = 0; i < w * h; ++i)
        bytes.push_back(uint8_t(i * 3 + 1));
    return bytes;
}

TEST(DocumentTest, ReadsTheCellsItsHeaderAsksForAndRefusesAShortFileWithoutChangingAnything)
{
    SpriteDocument document;
    ResetDocument(document);
    const std::vector<uint8_t> sprite = SpriteBytes(3, 2, 200, 129, 7), fresh = EncodeDocument(document);
    std::vector<uint8_t> longer = sprite, oneShort = SpriteBytes(4, 4, 1, 1, 2);
    longer.insert(longer.end(), {0xEE, 0xEE});
    oneShort.pop_back();
    struct Case {
        std::vector<uint8_t> file;
        bool read;
        std::vector<uint8_t> saved;  // what the next save writes
    } cases[] = {
        {sprite, true, sprite},
        {longer, true, sprite},  // extra bytes are dropped
        {{0, 9, 0, 0, 0}, true, {0, 9, 0, 0, 0}},
        // Refused: the document stays as it was.
        {oneShort, false, fresh},
        {{1, 1, 0, 0}, false, fresh},
        {{}, false, fresh},
        {{255, 255, 0, 0, 0}, false, fresh},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file));
        ResetDocument(document);
        EXPECT_EQ(DecodeDocument(c.file.data(), c.file.size(), document).ok(), c.read);
        EXPECT_EQ(EncodeDocument(document), c.saved);
    }
    // Row by row, origins unsigned, the cells beyond the sprite untouched.
    ResetDocument(document);
    ASSERT_TRUE(DecodeDocument(sprite.data(), sprite.size(), document).ok());
    EXPECT_EQ(document.originX, 200);
    EXPECT_EQ(document.cells[0][2], 7);
    EXPECT_EQ(document.cells[1][0], 10);
    EXPECT_EQ(document.cells[2][0], 0);
}

// Saves go through a relative link, and through one whose target does not exist yet: the
// targets get the sprite and the links stay links.
TEST(DocumentTest, SavesGoThroughLinksAndTheLongestNameStillGetsARecoveryFile)
{
    ScratchDir dir;
    const std::vector<uint8_t> bytes = SpriteBytes(255, 17, 254, 16, 99);
    SpriteDocument document;
    ResetDocument(document);
    ASSERT_TRUE(DecodeDocument(bytes.data(), bytes.size(), document).ok());
    std::filesystem::create_directory(dir / "real");
    std::filesystem::create_symlink("real/round.vsf", dir / "link.vsf");
    std::filesystem::create_symlink("new.vsf", dir / "real/dangling.vsf");
    WriteBytes(dir / "real/round.vsf", {1, 1, 0, 0, 0, 5});
    for (const char* link : {"link.vsf", "real/dangling.vsf"})
        ASSERT_TRUE(WriteDocument(dir / link, document).ok()) << link;
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.vsf"));
    EXPECT_EQ(ReadBytes(dir / "real/round.vsf"), bytes);
    EXPECT_EQ(ReadBytes(dir / "real/new.vsf"), bytes);

    // The recovery file's name adds to the document's: the longest name still gets one.
    std::string recovery = WriteRecoveryFile(dir / std::string(255, 'w'), document);
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ReadBytes(recovery), EncodeDocument(document));
}

// A folder and a short file are refused by the program itself in editor_test.cpp.
TEST(DocumentDeathTest, AnUnreadableDocumentStopsWithTheOsCode)
{
    ScratchDir dir;
    SpriteDocument document;
    ResetDocument(document);
    std::string path = dir / "secret.vsf";
    WriteBytes(path, {1, 1, 0, 0, 0, 5});
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    EXPECT_EXIT(
        {
            // The superuser reads anything: become nobody to meet a real permission refusal.
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::_Exit(99);
            StopOnFailure(ReadDocument(path, document), path);
            std::_Exit(0);
        },
        testing::ExitedWithCode(EACCES), "secret.vsf: cannot open: Permission denied");
}

TEST(ResourcePackPath, IsTheUpperCaseNameBesideTheProgramThenInTheInstalledLayout)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir / "bin");
    // Neither exists: the first place is named.
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/KOBA.VPK");
    std::filesystem::create_directories(dir / "share/koba");
    WriteBytes(dir / "share/koba/KOBA.VPK", {0});
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/../share/koba/KOBA.VPK");
    WriteBytes(dir / "bin/KOBA.VPK", {0});
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/KOBA.VPK");
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba.exe"), dir / "bin/KOBA.VPK");
    EXPECT_EQ(ResourcePackPathFor(dir / "my.koba.exe"), dir / "MY.KOBA.VPK");  // the last extension only
}
