#pragma once

#include <cstdint>
#include <string_view>

namespace xl {

// Six lines separated by CR LF, none after the last.
extern const std::string_view kCreditsText;

// The line that the last tick showed, counted from 1; 0 before the first tick.
extern std::int32_t g_credit_counter;

void ResetCreditCounter();

}  // namespace xl
