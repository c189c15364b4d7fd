#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "editor/document.h"
#include "tests/support/testutil.h"

static std::vector<uint8_t> SpriteBytes(uint8_t w, uint8_t h, uint8_t ox, uint8_t oy, uint8_t key)
{
    std::vector<uint8_t> bytes = {w, h, ox, oy, key};
    for (int i = 0; i < w * h; ++i)
        bytes.push_back(uint8_t(i * 3 + 1));
    return bytes;
}

class DocumentTest : public testing::Test {
protected:
    SpriteDocument document;
    void SetUp() override { ResetDocument(document); }
};

TEST_F(DocumentTest, AnExactFileReadsFullyAndExtraBytesAreDroppedAtTheNextSave)
{
    std::vector<uint8_t> bytes = SpriteBytes(3, 2, 200, 129, 7);
    ASSERT_EQ(DecodeDocument(bytes.data(), bytes.size(), document), nullptr);
    EXPECT_EQ(document.width, 3);
    EXPECT_EQ(document.height, 2);
    EXPECT_EQ(document.originX, 200);  // read unsigned
    EXPECT_EQ(document.originY, 129);
    EXPECT_EQ(document.keyColour, 7);
    EXPECT_EQ(document.cells[0][2], 7);
    EXPECT_EQ(document.cells[1][0], 10);
    EXPECT_EQ(document.cells[1][2], 16);
    EXPECT_EQ(document.cells[2][0], 0);  // beyond the sprite: untouched

    std::vector<uint8_t> longer = bytes;
    longer.push_back(0xEE);
    longer.push_back(0xEE);
    SpriteDocument again;
    ResetDocument(again);
    ASSERT_EQ(DecodeDocument(longer.data(), longer.size(), again), nullptr);
    EXPECT_EQ(EncodeDocument(again), bytes);
}

TEST_F(DocumentTest, AFileOneByteShortOrWithinItsHeaderIsRefusedAndChangesNothing)
{
    std::vector<uint8_t> bytes = SpriteBytes(4, 4, 1, 1, 2);
    bytes.pop_back();
    EXPECT_NE(DecodeDocument(bytes.data(), bytes.size(), document), nullptr);
    EXPECT_NE(DecodeDocument(bytes.data(), 4, document), nullptr);
    EXPECT_NE(DecodeDocument(bytes.data(), 0, document), nullptr);
    EXPECT_EQ(document.width, 16);
    EXPECT_EQ(document.keyColour, 0);
}

TEST_F(DocumentTest, ASizeOf0ReadsNoCells)
{
    std::vector<uint8_t> bytes = {0, 9, 0, 0, 0};
    ASSERT_EQ(DecodeDocument(bytes.data(), bytes.size(), document), nullptr);
    EXPECT_EQ(document.width, 0);
    EXPECT_EQ(document.height, 9);
    bytes = {255, 255, 0, 0, 0};  // a width of 255 but no cells at all
    EXPECT_NE(DecodeDocument(bytes.data(), bytes.size(), document), nullptr);
}

TEST_F(DocumentTest, SaveAndReadBackGiveTheSameDocument)
{
    ScratchDir dir;
    document.width = 255;
    document.height = 17;
    document.originX = 254;
    document.originY = 16;
    document.keyColour = 99;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            document.cells[y][x] = uint8_t(x ^ y);
    std::string path = dir / "round.vsf";
    ASSERT_TRUE(WriteDocument(path, document).ok());
    EXPECT_EQ(ReadBytes(path).size(), 5u + 255 * 17);
    SpriteDocument back;
    ResetDocument(back);
    ReadDocument(path, back);
    EXPECT_EQ(EncodeDocument(back), EncodeDocument(document));
    EXPECT_EQ(back.originX, 254);
}

TEST_F(DocumentTest, ALongestFileNameStillGetsARecoveryFile)
{
    ScratchDir dir;
    std::string path = dir / std::string(255, 'w');
    std::string recovery = WriteRecoveryFile(path, document);
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ReadBytes(recovery), EncodeDocument(document));
    ::unlink(recovery.c_str());
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
            ReadDocument(path, document);
            std::_Exit(0);
        },
        testing::ExitedWithCode(EACCES), "secret.vsf: cannot open: Permission denied");
}

