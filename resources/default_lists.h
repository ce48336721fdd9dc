// The built-in word lists: GBK entries joined by CR LF, with none after the last.
#pragma once

#include <string_view>

namespace xl {

extern const std::string_view kDefaultAdjectiveText;
extern const std::string_view kDefaultNameText;
extern const std::string_view kDefaultPlaceText;
extern const std::string_view kDefaultEventText;

}  // namespace xl
