// UTF-8 checks for bytes that came over the network and may be anything.
#pragma once

#include <cstddef>
#include <string_view>

namespace xl::site {

// The length of the well-formed UTF-8 sequence that starts at `pos`, or 0 when the bytes there
// are not one (overlong forms, surrogates and code points above U+10FFFF are not).
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t pos);

bool IsValidUtf8(std::string_view bytes);

// Characters as a reader counts them: one per well-formed sequence, one per stray byte.
std::size_t CharacterCount(std::string_view bytes);

}  // namespace xl::site
