// Taking the entry and the QQ text back out of the query the program built without escaping.
#include <gtest/gtest.h>

#include <string>

#include "site/core/query.h"

namespace xl::site {
namespace {

using namespace std::string_literals;

TEST(ReadProposalQuery, EntryRunsFromCtToTheLastQq) {
    struct Case {
        std::string query;
        bool has_entry;
        std::string entry;
        bool has_qq;
        std::string qq;
    };
    const Case cases[] = {
        // empty values, as a press of 提交 in a fresh window sends them
        {"ct=&qq=", true, "", true, ""},
        {"ct=ab&qq=123", true, "ab", true, "123"},
        {"ct=ab&qq=", true, "ab", true, ""},
        // "&" and "=" typed into the entry
        {"ct=a&b&qq=12345", true, "a&b", true, "12345"},
        {"ct=a=b&qq=1", true, "a=b", true, "1"},
        {"ct=x&y=1&qq=1", true, "x&y=1", true, "1"},
        {"ct=a&ct=b&qq=1", true, "a&ct=b", true, "1"},
        {"ct=x&qq=1&qq=2", true, "x&qq=1", true, "2"},
        {"ct=&qq=&qq=", true, "&qq=", true, ""},
        {"ct=a&qq=1%262", true, "a", true, "1&2"},
        // percent signs that start no escape stay as they are
        {"ct=100%&qq=1", true, "100%", true, "1"},
        {"ct=%&qq=", true, "%", true, ""},
        {"ct=%zz%4&qq=", true, "%zz%4", true, ""},
        {"ct=%4g%%41&qq=", true, "%4g%A", true, ""},
        {"ct=50%25&qq=", true, "50%", true, ""},
        {"ct=%2541&qq=", true, "%41", true, ""},  // decoded once, not twice
        // what the browser encodes: UTF-8 and spaces; "+" is a typed plus
        {"ct=%E4%BD%A0%E5%A5%BD&qq=10001", true, "你好", true, "10001"},
        {"ct=%e4%bd%a0&qq=", true, "你", true, ""},
        {"ct=a+b%20c&qq=", true, "a+b c", true, ""},
        // bytes that are not UTF-8, raw or encoded, arrive as sent
        {"ct=\xB0\xA1&qq=", true, "\xB0\xA1", true, ""},
        {"ct=%B0%A1&qq=", true, "\xB0\xA1", true, ""},
        {"ct=a%00b&qq=", true, "a\0b"s, true, ""},
        // missing keys
        {"", false, "", false, ""},
        {"qq=123", false, "", true, "123"},
        {"x=1&qq=123", false, "", true, "123"},
        {"ct=abc", true, "abc", false, ""},
        {"qq=1&ct=a", true, "a", false, ""},
        {"act=1&qq=2", false, "", true, "2"},
        {"x=1&ct=a&qq=2", true, "a", true, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const ReceivedProposal p = ReadProposalQuery(c.query);
        EXPECT_EQ(p.has_entry, c.has_entry);
        EXPECT_EQ(p.entry, c.entry);
        EXPECT_EQ(p.has_qq, c.has_qq);
        EXPECT_EQ(p.qq, c.qq);
    }
}

}  // namespace
}  // namespace xl::site
