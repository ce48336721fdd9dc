#include "rate_limiter.h"

namespace xl::site {

bool RateLimiter::Allow(std::string_view address, Clock::time_point now) {
    if (limit_ <= 0) return true;
    const std::lock_guard lock(mutex_);
    ForgetQuietAddresses(now);
    std::deque<Clock::time_point>& times = recent_[std::string(address)];
    while (!times.empty() && times.front() <= now - kWindow) times.pop_front();
    if (times.size() >= static_cast<std::size_t>(limit_)) return false;
    times.push_back(now);
    return true;
}

std::size_t RateLimiter::TrackedAddresses() {
    const std::lock_guard lock(mutex_);
    return recent_.size();
}

void RateLimiter::ForgetQuietAddresses(Clock::time_point now) {
    // Once a window, so that the map holds only addresses heard from lately.
    if (now - last_sweep_ < kWindow) return;
    last_sweep_ = now;
    std::erase_if(recent_, [&](const auto& item) {
        return item.second.empty() || item.second.back() <= now - kWindow;
    });
}

}  // namespace xl::site
