// At most N proposals a minute from one remote address.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace xl::site {

class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kWindow = std::chrono::minutes(1);

    // 0 lets everything through.
    explicit RateLimiter(int per_minute) : limit_(per_minute) {}

    // Counts the request and says whether it may go on: at most `per_minute` are let through
    // in any minute (a sliding window), and the refused ones do not count.
    bool Allow(std::string_view address, Clock::time_point now);

    // Addresses being tracked; quiet ones are forgotten after a window.
    std::size_t TrackedAddresses();

private:
    void ForgetQuietAddresses(Clock::time_point now);

    const int limit_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::deque<Clock::time_point>> recent_;
    Clock::time_point last_sweep_{};
};

}  // namespace xl::site
