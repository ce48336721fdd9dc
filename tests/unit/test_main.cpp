#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Death tests re-run the test binary, which is safe whatever threads the test started.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
