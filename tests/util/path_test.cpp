#include <gtest/gtest.h>

#include "util/path.h"

TEST(PathParts, SplitAtTheLastSeparatorOfTheirRuleAndTheLastDot)
{
    const PathSeparators slash = PathSeparators::Slash, both = PathSeparators::SlashOrBackslash;
    const struct { const char *path; PathSeparators separators; const char *directory, *fileName; } paths[] = {
        {"art/ship.rgba", slash, "art/", "ship.rgba"}, {"ship", slash, "", "ship"}, {"a/b/", slash, "a/b/", ""},
        {"a\\b/c\\d", slash, "a\\b/", "c\\d"}, {"a\\b/c\\d", both, "a\\b/c\\", "d"}};
    for (const auto& p : paths)
        EXPECT_EQ(DirectoryPart(p.path, p.separators) + "|" + FileNamePart(p.path, p.separators),
                  std::string(p.directory) + "|" + p.fileName);
    const char* const names[][3] = {{"ship.big.sgi", "ship.big", ".sgi"}, {"ship", "ship", ""}, {".koba", "", ".koba"},
                                    {"ship.", "ship", "."}};
    for (const auto& n : names) {
        std::string stem, extension;
        SplitExtension(n[0], stem, extension);
        EXPECT_EQ(stem + "|" + extension, std::string(n[1]) + "|" + n[2]) << n[0];
    }
}
