// The random generator: its exact sequence, its range rules and its seeding.
#include <gtest/gtest.h>

#include <map>

#include "generator/word_lists.h"
#include "platform/core/random.h"

namespace xl {
namespace {

TEST(RandomGenerator, KnownSequenceForAKnownSeed) {
    RandomGenerator random;
    random.state = 1;
    const std::int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (std::int32_t value : expected) EXPECT_EQ(random.Draw(), value);
}

TEST(RandomGenerator, SeedAddsAGrowingOffset) {
    RandomGenerator random;
    random.Seed(1000);
    EXPECT_EQ(random.state, 1000u);
    EXPECT_EQ(random.seed_offset, 1000u % 256 + 100);
    // The same millisecond again gives another seed.
    random.Seed(1000);
    EXPECT_EQ(random.state, 1000u + 332u);
    random.Seed(1000);
    EXPECT_NE(random.state, 1332u);
    // The sum wraps at 2^32.
    RandomGenerator wrap;
    wrap.seed_offset = 10;
    wrap.Seed(0xFFFFFFFFu);
    EXPECT_EQ(wrap.state, 9u);
}

TEST(RandomGenerator, BetweenRules) {
    struct Case {
        const char* what;
        std::int32_t low, high;
        std::int32_t expected;  // with the state 1, whose first draw is 41
        bool draws;
    };
    const Case cases[] = {
        {"equal bounds draw nothing", 5, 5, 5, false},
        {"negative bounds count as 0", -3, -9, 0, false},
        {"a negative low counts as 0", -3, 9, 41 % 10, true},
        {"swapped bounds", 9, 1, 1 + 41 % 9, true},
        {"a range of one entry", 1, 1, 1, false},
        {"an empty list's range", 1, 0, 41 % 2, true},
        {"the range is capped", 0, 2147483647, 41 % 2147483647, true},
    };
    for (const Case& c : cases) {
        RandomGenerator random;
        random.state = 1;
        EXPECT_EQ(random.Between(c.low, c.high), c.expected) << c.what;
        EXPECT_EQ(random.state != 1u, c.draws) << c.what;
    }
}

TEST(PickEntry, EveryPositionAndDuplicatesTwiceAsOften) {
    SeedRandomFromClock();
    const WordList list = SplitText("a\r\nb\r\na\r\nc", "\r\n");
    std::map<std::string, int> picks;
    for (int i = 0; i < 40000; ++i) picks[std::string(list.Entry(PickEntry(list)))]++;
    ASSERT_EQ(picks.size(), 3u);
    EXPECT_NEAR(picks["a"], 20000, 800);
    EXPECT_NEAR(picks["b"], 10000, 800);
    EXPECT_NEAR(picks["c"], 10000, 800);

    const WordList empty;
    for (int i = 0; i < 100; ++i) {
        const std::int64_t p = PickEntry(empty);
        EXPECT_TRUE(p == 0 || p == 1);
    }
}

}  // namespace
}  // namespace xl
