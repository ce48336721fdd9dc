// Whatever stands at a list file's path, a press of 生成 neither hangs nor crashes nor loses it:
// a file keeps its bytes unless it had no words and gets its default; what is not a regular file
// is never replaced, and its list, left empty, ends in the run-time error stop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

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

const char8_t* const kFiles[] = {u8"形容词.txt", u8"人名.txt", u8"地点.txt", u8"事件.txt"};
const std::string_view kDefaults[] = {kDefaultAdjectiveText, kDefaultNameText, kDefaultPlaceText,
                                      kDefaultEventText};
// The one entry of each of the other lists.
const char* const kOthers[] = {"A", "B", "C", "D"};

// Presses 生成 on a thread of its own; a press that has not ended after a minute has hung, and
// nothing can stop it, so the whole test program ends.
void PressWithinAMinute() {
    std::packaged_task<void()> press(GenerateSentence);
    std::future<void> done = press.get_future();
    std::thread thread(std::move(press));
    if (done.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
        std::fputs("the press hung\n", stderr);
        std::_Exit(3);
    }
    thread.join();
}

// 100 MiB of one GBK line of 98 bytes and CR LF, a million times.
std::string HundredMegabytes() {
    std::string line;
    while (line.size() < 96) line += "西瓜";
    line += "ab\r\n";
    std::string text;
    text.reserve(line.size() << 20);
    for (int i = 0; i < (1 << 20); ++i) text += line;
    return text;
}

void MakeFifo(const fs::path& path) {
    ASSERT_EQ(std::system(("mkfifo '" + path.string() + "'").c_str()), 0);
}

enum class Outcome {
    kKept,              // the file is as it was, and the sentence shows its entry
    kDefault,           // the file (or what a link points to) now holds the default list
    kDefaultUnwritten,  // the sentence takes the default list; the file is as it was
    kStops,             // the press ends in the run-time error stop; what is at the path stays
};

struct Case {
    const char* what;
    int list;  // which of the four files
    // Puts the thing at the list's path; returns the bytes a kept file must still hold.
    std::function<std::string(const RunDirectory&, const fs::path&)> make;
    Outcome outcome;
    const char* entry = "";  // the entry a kept file gives the sentence
};

std::string Write(const RunDirectory& dir, const fs::path& path, const std::string& bytes) {
    dir.Write(path, bytes);
    return bytes;
}

const Case kCases[] = {
    {"0 bytes", 0, [](auto& d, auto& p) { return Write(d, p, ""); }, Outcome::kDefault},
    {"1 byte", 1, [](auto& d, auto& p) { return Write(d, p, "x"); }, Outcome::kKept, "x"},
    {"only CR LF", 2, [](auto& d, auto& p) { return Write(d, p, "\r\n"); }, Outcome::kKept, ""},
    {"only a lead byte", 3, [](auto& d, auto& p) { return Write(d, p, "\xB0"); }, Outcome::kKept,
     "\xB0"},
    {"100 MB", 0, [](auto& d, auto& p) { return Write(d, p, HundredMegabytes()); }, Outcome::kKept,
     "西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜"
     "西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜西瓜ab"},
    {"invalid GBK", 1, [](auto& d, auto& p) { return Write(d, p, "\xFF\xFE\x80"); }, Outcome::kKept,
     "\xFF\xFE\x80"},
    // The text ends at the first zero byte, so such a file has no words, but it has bytes.
    {"a zero byte first", 2,
     [](auto& d, auto& p) { return Write(d, p, std::string("\0words", 6)); },
     Outcome::kDefaultUnwritten},
    {"a directory", 3,
     [](auto& d, auto& p) {
         fs::create_directory(p);
         d.Write(p / "keep", "user words");
         return std::string();
     },
     Outcome::kStops},
    {"a dangling symbolic link", 0,
     [](auto& d, auto& p) {
         fs::create_symlink(d.File("elsewhere.txt"), p);
         return std::string();
     },
     Outcome::kDefault},
    {"a link to a path under a regular file", 1,
     [](auto& d, auto& p) {
         d.Write("plain", "plain bytes");
         fs::create_symlink(d.File("plain") / "x.txt", p);
         return std::string();
     },
     Outcome::kStops},
    {"a FIFO", 2,
     [](auto&, auto& p) {
         MakeFifo(p);
         return std::string();
     },
     Outcome::kStops},
    {"a link to a directory", 3,
     [](auto& d, auto& p) {
         fs::create_directory(d.File("folder"));
         fs::create_symlink(d.File("folder"), p);
         return std::string();
     },
     Outcome::kStops},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.what; }

class ListFileRobustness : public ::testing::TestWithParam<Case> {
protected:
    ListFileRobustness() { headless::Open(layout::kMainWindow); }
    ~ListFileRobustness() override { headless::CloseAll(); }

    RunDirectory dir;
};

TEST_P(ListFileRobustness, APressNeitherHangsNorCrashesNorLosesTheFile) {
    const Case& c = GetParam();
    const fs::path path = dir.File(kFiles[c.list]);
    for (int i = 0; i < 4; ++i) {
        if (i != c.list) dir.Write(kFiles[i], kOthers[i]);
    }
    const std::string bytes = c.make(dir, path);

    if (c.outcome == Outcome::kStops) {
        // Forked, not run afresh, so that the child presses in this very directory.
        GTEST_FLAG_SET(death_test_style, "fast");
        EXPECT_EXIT(PressWithinAMinute(), ::testing::ExitedWithCode(255),
                    ::testing::AnyOf(::testing::HasSubstr("错误代码：4"),
                                     ::testing::HasSubstr("错误代码：1")));
    } else {
        PressWithinAMinute();
        std::string parts[4] = {kOthers[0], kOthers[1], kOthers[2], kOthers[3]};
        if (c.outcome == Outcome::kKept) {
            parts[c.list] = c.entry;
            EXPECT_EQ(platform::GetText(layout::kMainWindow, layout::kSentenceBox),
                      ComposeSentence(parts[0], parts[1], parts[2], parts[3]));
        } else {
            EXPECT_NE(platform::GetText(layout::kMainWindow, layout::kSentenceBox), "");
        }
    }

    // What the other lists hold is untouched either way.
    for (int i = 0; i < 4; ++i) {
        if (i != c.list) {
            EXPECT_EQ(dir.Read(kFiles[i]), kOthers[i]) << i;
        }
    }
    const fs::file_status status = fs::symlink_status(path);
    switch (c.outcome) {
    case Outcome::kKept:
    case Outcome::kDefaultUnwritten: EXPECT_EQ(dir.Read(path), bytes); break;
    case Outcome::kDefault:
        // Through a link the default goes where it points; the link stays.
        EXPECT_EQ(dir.Read(path), kDefaults[c.list]);
        EXPECT_EQ(fs::is_symlink(status), std::string(c.what).find("link") != std::string::npos);
        break;
    case Outcome::kStops:
        EXPECT_TRUE(fs::exists(fs::symlink_status(path)));
        EXPECT_FALSE(fs::is_regular_file(status));
        if (fs::is_directory(status)) {
            EXPECT_EQ(dir.Read(path / "keep"), "user words");
        }
        if (fs::exists(dir.File("plain"))) {
            EXPECT_EQ(dir.Read("plain"), "plain bytes");
        }
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(WhatIsAtThePath, ListFileRobustness, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; ++p) {
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             }
                             return name;
                         });

}  // namespace
}  // namespace xl
