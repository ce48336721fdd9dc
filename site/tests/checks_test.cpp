// What the site refuses to keep, and how it counts the characters of an entry.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "site/core/checks.h"
#include "site/core/utf8.h"

namespace xl::site {
namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

TEST(CheckProposal, RefusesMissingEmptyOverlongAndBadQq) {
    struct Case {
        const char* what;
        ReceivedProposal proposal;
        std::optional<Refusal> refusal;
    };
    const Case cases[] = {
        {"plain", {true, true, "ab", "12345"}, std::nullopt},
        {"QQ left out", {true, true, "ab", ""}, std::nullopt},
        {"ten-digit QQ", {true, true, "ab", "1234567890"}, std::nullopt},
        {"no ct", {false, true, "", "12345"}, Refusal::kNoEntry},
        {"no ct and no qq", {false, false, "", ""}, Refusal::kNoEntry},
        {"no qq", {true, false, "ab", ""}, Refusal::kNoQq},
        {"empty entry", {true, true, "", "12345"}, Refusal::kEmptyEntry},
        {"100 Chinese characters", {true, true, Repeat("字", 100), ""}, std::nullopt},
        {"101 Chinese characters", {true, true, Repeat("字", 101), ""}, Refusal::kEntryTooLong},
        {"100 letters", {true, true, Repeat("a", 100), ""}, std::nullopt},
        {"101 letters", {true, true, Repeat("a", 101), ""}, Refusal::kEntryTooLong},
        {"100 stray bytes", {true, true, Repeat("\xB0", 100), ""}, std::nullopt},
        {"101 stray bytes", {true, true, Repeat("\xB0", 101), ""}, Refusal::kEntryTooLong},
        {"four-digit QQ", {true, true, "ab", "1234"}, Refusal::kBadQq},
        {"eleven-digit QQ", {true, true, "ab", "12345678901"}, Refusal::kBadQq},
        {"QQ with a letter", {true, true, "ab", "12a45"}, Refusal::kBadQq},
        {"QQ with a minus", {true, true, "ab", "-12345"}, Refusal::kBadQq},
        {"QQ with a space", {true, true, "ab", " 12345"}, Refusal::kBadQq},
        {"full-width digits", {true, true, "ab", "１２３４５"}, Refusal::kBadQq},
        {"long entry before bad QQ", {true, true, Repeat("a", 101), "x"}, Refusal::kEntryTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CheckProposal(c.proposal), c.refusal);
    }
}

TEST(CharacterCount, OnePerWellFormedSequenceOnePerStrayByte) {
    struct Case {
        const char* bytes;
        std::size_t count;
        bool valid;
    };
    const Case cases[] = {
        {"", 0, true},
        {"abc", 3, true},
        {"你好", 2, true},
        {"\xF0\x9F\x98\x80", 1, true},   // U+1F600
        {"\xB0\xA1", 2, false},          // GBK bytes
        {"\xE4\xBD", 2, false},          // a cut sequence
        {"\xC0\xAF", 2, false},          // overlong "/"
        {"\xED\xA0\x80", 3, false},      // a surrogate
        {"\xF4\x90\x80\x80", 4, false},  // above U+10FFFF
        {"a\xE4\xBD\xA0\xFF", 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(CharacterCount(c.bytes), c.count);
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
    }
}

}  // namespace
}  // namespace xl::site
