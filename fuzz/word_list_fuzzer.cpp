// The word-list reading path: file bytes -> text -> entries cut at CR LF.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/core/text.h"
#include "platform/core/word_list.h"
#include "tests/unit/reference_split.h"

namespace {

using xl::Bytes;
using xl::Text;
using xl::WordList;

constexpr std::string_view kLineBreak = "\r\n";

std::vector<std::string> Entries(const WordList& list) {
    std::vector<std::string> entries;
    for (std::int64_t i = 1; i <= list.Count(); ++i) entries.emplace_back(list.Entry(i));
    return entries;
}

// Steps through an entry a character at a time from its start, which is a character boundary.
// Returns where the last step ends (the size, or one past it after a lone lead byte), and fails
// if a line break starts on a boundary.
std::size_t StepThrough(std::string_view entry) {
    std::size_t i = 0;
    while (i < entry.size()) {
        FUZZ_CHECK(entry.substr(i, 2) != kLineBreak);
        i += xl::fuzz::Byte(entry, i) >= 0x80 ? 2 : 1;
    }
    return i;
}

std::size_t Occurrences(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != text.npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes bytes(reinterpret_cast<const char*>(data), size);

    // The text is the bytes up to the first zero.
    const Text text = xl::BytesToText(bytes);
    FUZZ_CHECK(text.find('\0') == Text::npos);
    FUZZ_CHECK(text.size() == bytes.size() || bytes[text.size()] == '\0');
    FUZZ_CHECK(bytes.compare(0, text.size(), text) == 0);

    const WordList list = xl::SplitText(text, kLineBreak);
    const std::vector<std::string> entries = Entries(list);

    // Joined by CR LF, the entries give back the text, but for a final line break.
    std::string joined;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) joined += kLineBreak;
        joined += entries[i];
    }
    FUZZ_CHECK(joined == text || joined + std::string(kLineBreak) == text);

    // No entry holds a line break that starts on a character boundary, and every entry but the
    // last ends on one (a lone lead byte can only be last).
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t end = StepThrough(entries[i]);
        if (i + 1 < entries.size()) FUZZ_CHECK(end == entries[i].size());
    }

    // Only the empty text gives no entries; every entry after the first follows a CR LF.
    FUZZ_CHECK((list.Count() == 0) == text.empty());
    FUZZ_CHECK(static_cast<std::size_t>(list.Count()) <= Occurrences(text, kLineBreak) + 1);
    FUZZ_CHECK(static_cast<std::size_t>(list.Count()) <= text.size() / 2 + 1);

    // The split is general: for other separators too it cuts where the plain loop does.
    for (std::string_view separator :
         {kLineBreak, std::string_view(","), std::string_view("\xB0"), std::string_view("\xB0\xA1"),
          std::string_view("a\r"), std::string_view("\r\n\r\n"), std::string_view()}) {
        FUZZ_CHECK(Entries(xl::SplitText(text, separator)) ==
                   xl::testing::ReferenceSplit(text, separator));
    }
    return 0;
}
