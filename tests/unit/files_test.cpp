// Whole-file reads and writes beside the program, on every kind of thing a path can name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <future>

#include "platform/core/platform.h"
#include "run_directory.h"

namespace xl {
namespace {

using testing::RunDirectory;
namespace fs = std::filesystem;

TEST(Files, ReadWholeFileByKindOfPath) {
    RunDirectory dir;
    dir.Write("full", "ab\r\ncd");
    dir.Write("empty", "");
    fs::create_directory(dir.File("dir"));
    fs::create_symlink(dir.File("nowhere"), dir.File("dangling"));
    fs::create_symlink(dir.File("full"), dir.File("link"));
    ASSERT_EQ(std::system(("mkfifo " + dir.File("fifo").string()).c_str()), 0);

    struct Case {
        const char* name;
        Bytes bytes;
        bool unreadable;
    };
    const Case cases[] = {
        {"full", "ab\r\ncd", false}, {"link", "ab\r\ncd", false}, {"empty", "", false},
        {"missing", "", false},      {"dangling", "", false},     {"dir", "", true},
        {"fifo", "", true},
    };
    for (const Case& c : cases) {
        // A FIFO without a writer must not block: read on another thread and give up waiting.
        auto read = std::async(std::launch::async, [&] {
            return platform::ReadWholeFile(platform::PathBesideProgram(c.name));
        });
        ASSERT_EQ(read.wait_for(std::chrono::seconds(10)), std::future_status::ready) << c.name;
        const platform::FileContents got = read.get();
        EXPECT_EQ(got.bytes, c.bytes) << c.name;
        EXPECT_EQ(got.unreadable, c.unreadable) << c.name;
    }
    EXPECT_TRUE(platform::ReadWholeFile("").bytes.empty());
    // A path through a regular file names nothing, as a missing file does.
    EXPECT_FALSE(platform::ReadWholeFile(platform::PathBesideProgram("full/x")).unreadable);
}

TEST(Files, WriteWholeFileReplacesRegularFilesOnly) {
    RunDirectory dir;
    dir.Write("old", "a much longer old content");
    fs::create_directory(dir.File("dir"));
    ASSERT_EQ(std::system(("mkfifo " + dir.File("fifo").string()).c_str()), 0);

    EXPECT_TRUE(platform::WriteWholeFile(platform::PathBesideProgram("old"), "new"));
    EXPECT_EQ(dir.Read("old"), "new");
    EXPECT_TRUE(platform::WriteWholeFile(platform::PathBesideProgram("fresh"), ""));
    EXPECT_TRUE(fs::exists(dir.File("fresh")));
    EXPECT_EQ(fs::file_size(dir.File("fresh")), 0u);

    EXPECT_FALSE(platform::WriteWholeFile("", "x"));
    EXPECT_FALSE(platform::WriteWholeFile(platform::PathBesideProgram("dir"), "x"));
    EXPECT_FALSE(platform::WriteWholeFile(platform::PathBesideProgram("fifo"), "x"));
    EXPECT_FALSE(platform::WriteWholeFile(platform::PathBesideProgram("old/x"), "x"));
    EXPECT_TRUE(fs::is_directory(dir.File("dir")));
}

TEST(Files, ChineseNamesAreUtf8OnDisk) {
    RunDirectory dir;
    EXPECT_TRUE(platform::WriteWholeFile(platform::PathBesideProgram("形容词.txt"), "x"));
    EXPECT_TRUE(fs::exists(dir.File(u8"形容词.txt")));
    EXPECT_TRUE(platform::FileExists(platform::PathBesideProgram("形容词.txt")));
}

TEST(Files, ExistenceWithoutOpening) {
    RunDirectory dir;
    dir.Write("file", "x");
    fs::create_directory(dir.File("dir"));
    fs::create_symlink(dir.File("nowhere"), dir.File("dangling"));
    EXPECT_TRUE(platform::FileExists(platform::PathBesideProgram("file")));
    EXPECT_TRUE(platform::FileExists(platform::PathBesideProgram("dir")));
    EXPECT_FALSE(platform::FileExists(platform::PathBesideProgram("dangling")));
    EXPECT_FALSE(platform::FileExists(platform::PathBesideProgram("missing")));
    EXPECT_FALSE(platform::FileExists(""));
}

TEST(Files, RunDirectoryHasNoTrailingSeparator) {
    RunDirectory dir;
    EXPECT_EQ(platform::RunDirectory(), dir.path().string());
    EXPECT_EQ(platform::PathBesideProgram("a.txt"), dir.path().string() + "/a.txt");
}

}  // namespace
}  // namespace xl
