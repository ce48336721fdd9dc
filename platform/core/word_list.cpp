#include "word_list.h"

#include <cstring>

#include "runtime_error.h"

namespace xl {

std::string_view WordList::Entry(std::int64_t position) const {
    if (position < 1) RuntimeErrorStop(kErrorIndexBelowOne);
    if (position > Count()) RuntimeErrorStop(kErrorIndexAboveCount);
    const Span& span = spans_[static_cast<std::size_t>(position - 1)];
    return std::string_view(storage_).substr(span.begin, span.size);
}

namespace {

constexpr bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

}  // namespace

WordList SplitText(Text text, std::string_view separator) {
    WordList list;
    const std::size_t n = text.size();
    if (n == 0) return list;
    if (separator.empty()) {
        list.spans_.push_back({0, n});
        list.storage_ = std::move(text);
        return list;
    }

    const char* data = text.data();
    const char first = separator.front();
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < n) {
        // Plain bytes that cannot start a separator or a double-byte character are the common
        // case; step over them without further tests.
        const char c = data[i];
        if (c == first && n - i >= separator.size() &&
            std::memcmp(data + i, separator.data(), separator.size()) == 0) {
            list.spans_.push_back({start, i - start});
            i += separator.size();
            start = i;
        } else {
            i += IsLeadByte(c) ? 2 : 1;
        }
    }
    if (start < n) list.spans_.push_back({start, n - start});
    list.storage_ = std::move(text);
    return list;
}

}  // namespace xl
