// The program's icon: a 32 x 32 PNG with a palette of at most 256 colours.
#pragma once

#include <span>

namespace xl {

extern const std::span<const unsigned char> kProgramIconPng;

}  // namespace xl
