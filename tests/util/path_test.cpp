#include <gtest/gtest.h>

#include "util/path.h"

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
