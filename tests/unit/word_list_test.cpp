// How list file bytes become entries, and how entries are read back by position.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/runtime_error.h"
#include "platform/core/word_list.h"

namespace xl {
namespace {

using namespace std::string_literals;

std::vector<std::string> Entries(const Bytes& bytes) {
    const WordList list = SplitText(BytesToText(bytes), "\r\n");
    std::vector<std::string> entries;
    for (std::int64_t i = 1; i <= list.Count(); ++i) entries.emplace_back(list.Entry(i));
    return entries;
}

struct ReadCase {
    const char* what;
    Bytes bytes;
    std::vector<std::string> entries;
};

TEST(WordListFile, BytesBecomeEntries) {
    const ReadCase cases[] = {
        {"no bytes", "", {}},
        {"one entry", "砍柴", {"砍柴"}},
        {"a final CR LF adds no entry", "a\r\nb\r\n", {"a", "b"}},
        {"only CR LF is one empty entry", "\r\n", {""}},
        {"a blank line in the middle counts", "a\r\n\r\nb", {"a", "", "b"}},
        {"empty entries at both ends", "\r\na\r\n\r\n", {"", "a", ""}},
        {"LF alone is no line break", "a\nb\n", {"a\nb\n"}},
        {"CR alone is no line break", "a\rb\r", {"a\rb\r"}},
        {"a lone CR at the end stays", "a\r\nb\r", {"a", "b\r"}},
        {"a lead byte takes the CR of CR LF", "a\xB0\r\nb\r\nc", {"a\xB0\r\nb", "c"}},
        {"a trail byte of 0x0D is no CR", "\xD5\x0D\x0A\r\nx", {"\xD5\x0D\x0A", "x"}},
        {"two lead bytes pair up before CR LF", "\xB0\xB0\r\nb", {"\xB0\xB0", "b"}},
        {"a lead byte as the last byte", "a\r\n\xB0", {"a", "\xB0"}},
        {"a zero byte ends the text", "a\r\nb\0c\r\nd"s, {"a", "b"}},
        {"a zero byte first is an empty file", "\0a\r\nb"s, {}},
        {"a UTF-8 byte order mark stays", "\xEF\xBB\xBF\x61\r\nb", {"\xEF\xBB\xBF\x61", "b"}},
        {"spaces around entries stay", " a \r\n\tb ", {" a ", "\tb "}},
        {"GBK entries", "头顶西瓜\r\n教室里", {"头顶西瓜", "教室里"}},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(Entries(c.bytes), c.entries) << c.what;
    }
}

TEST(WordListFile, OtherSeparatorsFollowTheSameRules) {
    // The split is general; the lists use CR LF, other callers may cut at anything.
    const WordList list = SplitText("a,\xB0,b,,", ",");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Entry(1), "a");
    EXPECT_EQ(list.Entry(2), "\xB0,b");
    EXPECT_EQ(list.Entry(3), "");
    EXPECT_EQ(SplitText("abc", "").Count(), 1);
}

TEST(TextBytes, CutAtTheFirstZero) {
    EXPECT_EQ(BytesToText("ab\0cd"s), "ab");
    EXPECT_EQ(BytesToText(""), "");
    EXPECT_EQ(TextToBytes("ab\0cd"s), "ab");
    EXPECT_EQ(TextToBytes("创意"), "创意");
}

TEST(WordListAccess, PositionsAreCheckedLowerBoundFirst) {
    const WordList empty;
    const WordList two = SplitText("a\r\nb", "\r\n");
    const Text error4 = RuntimeErrorText(4, "数组成员引用下标必须大于等于1");
    const Text error1 = RuntimeErrorText(1, "数组成员引用下标超出定义范围");
    EXPECT_EXIT(empty.Entry(0), testing::ExitedWithCode(255), testing::HasSubstr(error4));
    EXPECT_EXIT(empty.Entry(1), testing::ExitedWithCode(255), testing::HasSubstr(error1));
    EXPECT_EXIT(two.Entry(-7), testing::ExitedWithCode(255), testing::HasSubstr(error4));
    EXPECT_EXIT(two.Entry(3), testing::ExitedWithCode(255), testing::HasSubstr(error1));
    EXPECT_EQ(two.Entry(2), "b");
}

}  // namespace
}  // namespace xl
