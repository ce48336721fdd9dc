// The Generate button: list files beside the program, their defaults and the sentence.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "generator/generate_sentence.h"
#include "generator/word_lists.h"
#include "platform/core/runtime_error.h"
#include "platform/headless/headless_backend.h"
#include "resources/default_lists.h"
#include "resources/layouts.h"
#include "run_directory.h"

namespace xl {
namespace {

namespace fs = std::filesystem;
using testing::RunDirectory;

// The file names as they are spelled on disk.
const char8_t* const kFiles[] = {u8"形容词.txt", u8"人名.txt", u8"地点.txt", u8"事件.txt"};

class GenerateSentenceTest : public ::testing::Test {
protected:
    GenerateSentenceTest() { headless::Open(layout::kMainWindow); }
    ~GenerateSentenceTest() override { headless::CloseAll(); }

    Text Sentence() { return platform::GetText(layout::kMainWindow, layout::kSentenceBox); }
    void WriteLists(const std::string& a, const std::string& b, const std::string& c,
                    const std::string& d) {
        dir.Write(kFiles[0], a);
        dir.Write(kFiles[1], b);
        dir.Write(kFiles[2], c);
        dir.Write(kFiles[3], d);
    }

    RunDirectory dir;
};

TEST(DefaultLists, HaveTheirEntriesAndRepeats) {
    struct Case {
        std::string_view text;
        std::int64_t count;
        std::size_t shortest, longest;
        std::set<std::pair<int, int>> repeats;
    };
    const Case cases[] = {
        {kDefaultAdjectiveText, 63, 4, 16, {{6, 62}}},
        {kDefaultNameText, 68, 4, 8, {{5, 52}, {16, 55}, {38, 41}}},
        {kDefaultPlaceText, 52, 4, 18, {}},
        {kDefaultEventText, 55, 4, 25, {{7, 23}}},
    };
    for (const Case& c : cases) {
        const WordList list = SplitText(Text(c.text), "\r\n");
        ASSERT_EQ(list.Count(), c.count);
        EXPECT_NE(c.text.substr(c.text.size() - 2), "\r\n");
        std::set<std::pair<int, int>> repeats;
        for (int i = 1; i <= list.Count(); ++i) {
            EXPECT_GE(list.Entry(i).size(), c.shortest) << i;
            EXPECT_LE(list.Entry(i).size(), c.longest) << i;
            for (int j = i + 1; j <= list.Count(); ++j) {
                if (list.Entry(i) == list.Entry(j)) repeats.insert({i, j});
            }
        }
        EXPECT_EQ(repeats, c.repeats) << c.count;
    }
}

TEST_F(GenerateSentenceTest, AFreshDirectoryGetsTheDefaultsAndASentence) {
    GenerateSentence();
    const std::string_view defaults[] = {kDefaultAdjectiveText, kDefaultNameText, kDefaultPlaceText,
                                         kDefaultEventText};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dir.Read(kFiles[i]), defaults[i]) << i;

    const Text sentence = Sentence();
    bool made_of_entries = false;
    for (std::int64_t a = 1; a <= g_lists.adjective.Count() && !made_of_entries; ++a) {
        const std::string_view adjective = g_lists.adjective.Entry(a);
        if (sentence.rfind(Text(adjective) + "的", 0) != 0) continue;
        for (std::int64_t n = 1; n <= g_lists.name.Count() && !made_of_entries; ++n) {
            for (std::int64_t p = 1; p <= g_lists.place.Count() && !made_of_entries; ++p) {
                for (std::int64_t e = 1; e <= g_lists.event.Count(); ++e) {
                    if (sentence == ComposeSentence(adjective, g_lists.name.Entry(n),
                                                    g_lists.place.Entry(p),
                                                    g_lists.event.Entry(e))) {
                        made_of_entries = true;
                        break;
                    }
                }
            }
        }
    }
    EXPECT_TRUE(made_of_entries) << sentence;
}

TEST_F(GenerateSentenceTest, FilesWithEntriesAreOnlyRead) {
    WriteLists("头顶西瓜", "某人", "教室里", "砍柴");
    const auto before = fs::last_write_time(dir.File(kFiles[0]));
    for (int i = 0; i < 3; ++i) GenerateSentence();
    EXPECT_EQ(Sentence(), "头顶西瓜的某人在教室里砍柴");
    EXPECT_EQ(fs::last_write_time(dir.File(kFiles[0])), before);
    EXPECT_EQ(dir.Read(kFiles[1]), "某人");
}

TEST_F(GenerateSentenceTest, EmptyEntriesAddNothing) {
    // A file of only CR LF holds one empty entry and is kept as it is.
    WriteLists("a", "\r\n", "b", "c");
    GenerateSentence();
    EXPECT_EQ(Sentence(), "a的在bc");
    EXPECT_EQ(dir.Read(kFiles[1]), "\r\n");
}

TEST_F(GenerateSentenceTest, OnlyListsWithNoEntriesAreRestored) {
    WriteLists("a", "", "c", "d");
    GenerateSentence();
    EXPECT_EQ(dir.Read(kFiles[0]), "a");
    EXPECT_EQ(dir.Read(kFiles[1]), kDefaultNameText);
    EXPECT_EQ(dir.Read(kFiles[2]), "c");
    EXPECT_EQ(dir.Read(kFiles[3]), "d");
}

TEST_F(GenerateSentenceTest, AFileStartingWithAZeroByteGivesTheDefaultButKeepsItsBytes) {
    // Its text is empty, so the sentence takes a default place; the bytes after the zero are
    // still the user's (a UTF-16 file of Latin letters starts so) and are not written over.
    const std::string user(std::string("\0h\0i\0d\0e", 8));
    WriteLists("a", "b", user, "d");
    const WordList places = SplitText(Text(kDefaultPlaceText), "\r\n");
    for (int press = 0; press < 2; ++press) {
        GenerateSentence();
        const Text sentence = Sentence();
        bool a_default_place = false;
        for (std::int64_t p = 1; p <= places.Count(); ++p) {
            a_default_place |= sentence == ComposeSentence("a", "b", places.Entry(p), "d");
        }
        EXPECT_TRUE(a_default_place) << sentence;
        EXPECT_EQ(dir.Read(kFiles[2]), user);
    }
}

TEST_F(GenerateSentenceTest, AnUnreadableListIsNeverOverwritten) {
    // A directory where a list file should be exists but cannot be read: the press stops with
    // the empty list's error instead of putting a default in its place.
    dir.Write(kFiles[0], "a");
    fs::create_directory(dir.File(kFiles[1]));
    dir.Write(fs::path(kFiles[1]) / "keep", "user words");
    // The child must press in this very directory, which the check below then looks at.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        GenerateSentence(), ::testing::ExitedWithCode(255),
        ::testing::AnyOf(::testing::HasSubstr("错误代码：4"), ::testing::HasSubstr("错误代码：1")));
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EQ(dir.Read(fs::path(kFiles[1]) / "keep"), "user words");
    EXPECT_TRUE(fs::is_directory(dir.File(kFiles[1])));
    // The lists after it were missing and still got their defaults before the draw.
    EXPECT_EQ(dir.Read(kFiles[2]), kDefaultPlaceText);
    EXPECT_EQ(dir.Read(kFiles[0]), "a");
}

TEST_F(GenerateSentenceTest, AnUnwritableDirectoryStopsWithTheEmptyListsError) {
    // Root may write anywhere, so a directory that is gone stands in for one that cannot be
    // written.
    fs::remove(dir.path());
    const Text error4 = RuntimeErrorText(4, "数组成员引用下标必须大于等于1");
    const Text error1 = RuntimeErrorText(1, "数组成员引用下标超出定义范围");
    EXPECT_EXIT(GenerateSentence(), ::testing::ExitedWithCode(255),
                ::testing::AnyOf(::testing::HasSubstr(error4), ::testing::HasSubstr(error1)));
}

}  // namespace
}  // namespace xl
