// The export: the exact bytes the program's word list files hold.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "site/core/word_list_file.h"

namespace xl::site {
namespace {

TEST(GbkWordList, GbkEntriesWithCrLfBetweenAndNoneAtTheEnd) {
    struct Case {
        const char* what;
        std::vector<std::string> entries;
        std::string bytes;
    };
    const Case cases[] = {
        {"nothing accepted", {}, ""},
        {"one entry", {"吃火锅"}, "\xB3\xD4\xBB\xF0\xB9\xF8"},
        {"two entries", {"你好", "a&b"}, "\xC4\xE3\xBA\xC3\r\na&b"},
        {"three entries", {"甲", "乙", "丙"}, "\xBC\xD7\r\n\xD2\xD2\r\n\xB1\xFB"},
        {"a repeat is left out", {"甲", "乙", "甲"}, "\xBC\xD7\r\n\xD2\xD2"},
        {"entries that cannot be list lines are left out",
         {"\xB0\xA1", "好", "a\r\nb", "\xF0\x9F\x98\x80", ""},
         "\xBA\xC3"},
        {"nothing but unusable entries", {"a\tb", "\xFF"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GbkWordList(c.entries), c.bytes);
    }
}

TEST(WordListProblem, OnlyGbkTextWithoutControlCharacters) {
    struct Case {
        std::string entry;
        bool usable;
    };
    const Case cases[] = {
        {"头顶西瓜", true},
        {"a&b <c>", true},
        {"", false},
        {"a\r\nb", false},
        {"a\tb", false},
        {"\xB0\xA1", false},          // GBK already, not UTF-8
        {"\xED\xA0\x80", false},      // an encoded surrogate
        {"\xF0\x9F\x98\x80", false},  // no GBK code
        {"\xE2\x82\xAC", true},       // the euro sign, which GBK (code page 936) has
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(!WordListProblem(c.entry).has_value(), c.usable);
    }
}

}  // namespace
}  // namespace xl::site
