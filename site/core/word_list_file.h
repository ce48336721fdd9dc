// Accepted entries as a word list file in the program's own format.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace xl::site {

// GBK bytes for UTF-8 text; nothing when the text is not UTF-8 or has a character GBK lacks.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// Why the entry cannot be a line of a word list (in UTF-8, for the review page), or nothing
// when it can: the program reads GBK and splits its lists at CR LF.
std::optional<std::string_view> WordListProblem(std::string_view entry);

// The file: each entry in GBK, CR LF between entries and none after the last, so that it can
// follow a list's own last entry after one CR LF. Entries with a WordListProblem and repeats of
// an earlier entry are left out.
std::string GbkWordList(std::span<const std::string> entries);

}  // namespace xl::site
