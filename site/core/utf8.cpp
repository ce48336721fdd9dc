#include "utf8.h"

namespace xl::site {

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t pos) {
    const std::size_t left = bytes.size() - pos;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[pos + i]); };
    const unsigned char b0 = at(0);
    if (b0 < 0x80) return 1;

    std::size_t length;
    // The bounds of the second byte exclude overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (left < length) return 0;
    if (at(1) < low || at(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (at(i) < 0x80 || at(i) > 0xBF) return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::size_t CharacterCount(std::string_view bytes) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < bytes.size(); ++count) {
        const std::size_t n = Utf8SequenceLength(bytes, i);
        i += n == 0 ? 1 : n;
    }
    return count;
}

}  // namespace xl::site
