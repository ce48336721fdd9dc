// The per-address limit on proposals, on a clock the test moves by hand.
#include <gtest/gtest.h>

#include <chrono>

#include "site/core/rate_limiter.h"

namespace xl::site {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
constexpr RateLimiter::Clock::time_point kStart{std::chrono::hours(1)};

TEST(RateLimiter, AtMostTheLimitInAnyMinute) {
    RateLimiter limiter(3);
    struct Step {
        RateLimiter::Clock::duration at;
        const char* address;
        bool allowed;
    };
    const Step steps[] = {
        {seconds(0), "127.0.0.1", true},
        {seconds(10), "127.0.0.1", true},
        {seconds(20), "127.0.0.1", true},
        {seconds(21), "127.0.0.1", false},
        {seconds(21), "::1", true},  // each address has its own count
        {seconds(59) + milliseconds(999), "127.0.0.1", false},
        {seconds(60), "127.0.0.1", true},  // the first one has left the minute
        {seconds(61), "127.0.0.1", false},
        {seconds(70), "127.0.0.1", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::chrono::duration<double>(s.at).count());
        EXPECT_EQ(limiter.Allow(s.address, kStart + s.at), s.allowed);
    }
}

TEST(RateLimiter, RefusedRequestsDoNotCount) {
    RateLimiter limiter(1);
    EXPECT_TRUE(limiter.Allow("127.0.0.1", kStart));
    EXPECT_FALSE(limiter.Allow("127.0.0.1", kStart + seconds(30)));
    EXPECT_TRUE(limiter.Allow("127.0.0.1", kStart + seconds(60)));
}

TEST(RateLimiter, ZeroMeansNoLimit) {
    RateLimiter limiter(0);
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(limiter.Allow("127.0.0.1", kStart));
}

TEST(RateLimiter, ForgetsAddressesThatWentQuiet) {
    RateLimiter limiter(5);
    for (int i = 0; i < 100; ++i) limiter.Allow("10.0.0." + std::to_string(i), kStart);
    EXPECT_EQ(limiter.TrackedAddresses(), 100u);
    limiter.Allow("127.0.0.1", kStart + seconds(61));
    EXPECT_EQ(limiter.TrackedAddresses(), 1u);
}

}  // namespace
}  // namespace xl::site
