#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Tests never open a real window; SDL's timer and event threads make the default
    // "fast" death tests unsafe.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
