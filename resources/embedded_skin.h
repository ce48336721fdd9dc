// The built-in skin: the bytes of a complete skin file, written beside the program as Skin.she
// when no file of that name is there. The program never reads or changes them.
#pragma once

#include <span>

namespace xl {

extern const std::span<const unsigned char> kEmbeddedSkin;

}  // namespace xl
