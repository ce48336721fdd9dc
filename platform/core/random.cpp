#include "random.h"

#include <algorithm>
#include <chrono>

namespace xl {
namespace {

RandomGenerator g_random;

}  // namespace

void RandomGenerator::Seed(std::uint32_t tick_ms) {
    const std::uint32_t seed = tick_ms + seed_offset;
    seed_offset += seed % 256 + 100;
    state = seed;
}

std::int32_t RandomGenerator::Draw() {
    state = state * 214013u + 2531011u;
    return static_cast<std::int32_t>((state >> 16) & 0x7FFF);
}

std::int32_t RandomGenerator::Between(std::int32_t low, std::int32_t high) {
    low = std::max(low, 0);
    high = std::max(high, 0);
    if (low > high) std::swap(low, high);
    if (low == high) return low;
    const std::int64_t range = std::min<std::int64_t>(std::int64_t{high} - low, 2147483646);
    return static_cast<std::int32_t>(low + Draw() % (range + 1));
}

void SeedRandomFromClock() { g_random.Seed(TickCount()); }

std::int32_t RandomBetween(std::int32_t low, std::int32_t high) {
    return g_random.Between(low, high);
}

std::uint32_t TickCount() {
    // The monotonic clock counts from boot on Linux, like the tick count it stands for.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace xl
