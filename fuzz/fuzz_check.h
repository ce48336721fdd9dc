// What the fuzz targets share: a check that stops the run with a message, so that libFuzzer
// keeps the input that broke it, and validators of the encodings written from their definitions.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace xl::fuzz {

inline unsigned Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

// Decodes strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF), calling
// `each` with every code point. False at the first byte that does not fit.
template <class Each>
bool DecodeUtf8(std::string_view s, Each each) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned c = Byte(s, i);
        std::size_t length;
        char32_t point;
        char32_t smallest;
        if (c < 0x80) {
            length = 1, point = c, smallest = 0;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2, point = c & 0x1F, smallest = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, point = c & 0x0F, smallest = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, point = c & 0x07, smallest = 0x10000;
        } else {
            return false;
        }
        if (s.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned b = Byte(s, i + k);
            if ((b & 0xC0) != 0x80) return false;
            point = point << 6 | (b & 0x3F);
        }
        if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return false;
        }
        each(point);
        i += length;
    }
    return true;
}

inline bool IsUtf8(std::string_view s) {
    return DecodeUtf8(s, [](char32_t) {});
}

// GBK proper: ASCII and the double-byte codes, lead 0x81-0xFE, trail 0x40-0x7E or 0x80-0xFE.
// Every one of them has a Unicode character, and a different one from every other.
inline bool IsGbk(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned c = Byte(s, i);
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c == 0x80 || c == 0xFF || i + 1 == s.size()) return false;
        const unsigned t = Byte(s, i + 1);
        if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
        i += 2;
    }
    return true;
}

// The shapes of GB18030 codes: GBK's, and four bytes of lead, digit, lead, digit.
inline bool IsGb18030Shaped(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned c = Byte(s, i);
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c == 0x80 || c == 0xFF || i + 1 == s.size()) return false;
        const unsigned t = Byte(s, i + 1);
        if (t >= 0x30 && t <= 0x39) {
            if (s.size() - i < 4) return false;
            const unsigned l = Byte(s, i + 2), d = Byte(s, i + 3);
            if (l < 0x81 || l == 0xFF || d < 0x30 || d > 0x39) return false;
            i += 4;
        } else {
            if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
            i += 2;
        }
    }
    return true;
}

}  // namespace xl::fuzz
