// The word-list split written as plainly as it can be, one character at a time. The real split
// takes shortcuts for speed; tests and fuzzers compare it with this one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xl::testing {

inline std::vector<std::string> ReferenceSplit(std::string_view text, std::string_view separator) {
    std::vector<std::string> entries;
    if (text.empty()) return entries;
    if (separator.empty()) return {std::string(text)};
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i, separator.size()) == separator) {
            entries.emplace_back(text.substr(start, i - start));
            i += separator.size();
            start = i;
        } else {
            // A byte of 0x80 or above and the byte after it are one character.
            i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
        }
    }
    if (start < text.size()) entries.emplace_back(text.substr(start));
    return entries;
}

}  // namespace xl::testing
