// An ordered list of texts, positions 1 to its count, made by cutting one text at a separator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "text.h"

namespace xl {

class WordList {
public:
    WordList() = default;

    std::int64_t Count() const { return static_cast<std::int64_t>(ends_.size()); }

    // Checked 1-based access: below 1 stops with run-time error 4, above the count with error 1.
    // The lower bound is checked first, so position 0 of an empty list is error 4.
    std::string_view Entry(std::int64_t position) const;

private:
    friend WordList SplitText(Text text, std::string_view separator);

    // One buffer and where each entry ends, instead of one string per entry: a list of a million
    // entries is then two allocations, not a million. An entry starts after the separator that
    // ends the one before it.
    Text storage_;
    std::vector<std::size_t> ends_;
    std::size_t separator_size_ = 0;
};

// Cuts a text at every separator that starts on a character boundary. A byte of 0x80 or above is
// scanned together with the byte after it (a GBK double-byte character), so a separator's first
// byte inside such a character does not count. Empty entries between separators count; an empty
// remainder after the last separator is no entry; the empty text gives no entries. An empty
// separator cuts nothing: the whole text is one entry.
WordList SplitText(Text text, std::string_view separator);

}  // namespace xl
