// The program's one random generator: a 32-bit linear congruential generator seeded from the
// millisecond clock, with an offset that makes two seedings in the same millisecond differ.
#pragma once

#include <cstdint>

namespace xl {

struct RandomGenerator {
    std::uint32_t state = 0;
    std::uint32_t seed_offset = 0;

    void Seed(std::uint32_t tick_ms);
    // 0 to 32767: bits 16 to 30 of the next state.
    std::int32_t Draw();
    // A negative bound counts as 0, the bounds may come in either order, equal bounds draw
    // nothing; the range is capped at 2147483646.
    std::int32_t Between(std::int32_t low, std::int32_t high);
};

// The process-wide generator that the sentence generator uses.
void SeedRandomFromClock();
std::int32_t RandomBetween(std::int32_t low, std::int32_t high);

// Milliseconds since an arbitrary start, wrapping at 2^32.
std::uint32_t TickCount();

}  // namespace xl
