#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/skin_setup.h"
#include "platform/posix/posix_files.h"
#include "resources/embedded_skin.h"
#include "scratch.h"

namespace xl {
namespace {

namespace fs = std::filesystem;
using testing::ExitedWithCode;
using testing::HasSubstr;

constexpr char kMissingFunctionBox[] =
    "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_Attach_"
    "Ex”\r\n";
constexpr char kStackBox[] =
    "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n";

std::string EmbeddedSkin() {
    return {reinterpret_cast<const char*>(kEmbeddedSkin.data()), kEmbeddedSkin.size()};
}

// What the recording test library says when it is called.
std::string Called(const fs::path& skin, const fs::path& library) {
    return "SkinH_Attach_Ex(\"" + skin.string() + "\", \"\") in " + library.string() + "\n";
}

// Each case runs SetUpSkin in a child that runs this test program afresh: the binding holds for
// the rest of a process, and the loader reads the library search path when a process starts.
class SkinSetUpTest : public testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        dir_ = test::FreshScratchDirectory();
        run_ = dir_ / "run";
        search_ = dir_ / "search";
        const char* old = std::getenv("LD_LIBRARY_PATH");
        if (old) old_search_path_ = old;
        had_search_path_ = old != nullptr;
        ::setenv("LD_LIBRARY_PATH", search_.c_str(), 1);
    }
    void TearDown() override {
        if (had_search_path_) {
            ::setenv("LD_LIBRARY_PATH", old_search_path_.c_str(), 1);
        } else {
            ::unsetenv("LD_LIBRARY_PATH");
        }
    }

    // Empties both directories again, so that a child sees what its parent saw.
    void Reset() {
        fs::remove_all(run_);
        fs::remove_all(search_);
        fs::create_directories(run_);
        fs::create_directories(search_);
    }

    fs::path dir_, run_, search_;
    std::string old_search_path_;
    bool had_search_path_ = false;
};

// Runs in the child: the run directory, then the skin, then a plain exit.
[[noreturn]] void SetUpSkinIn(const fs::path& run_directory) {
    posix::UseRunDirectory(run_directory.string() + "/");
    SetUpSkin();
    std::fflush(nullptr);
    std::_Exit(0);
}

TEST_F(SkinSetUpTest, WritesTheBuiltInSkinOnlyWhenNothingOfItsNameIsThere) {
    enum class Before { Absent, OtherSkin, Empty, Directory };
    struct Case {
        const char* what;
        Before before;
    } const cases[] = {
        {"no skin file", Before::Absent},
        {"a skin file of the user's", Before::OtherSkin},
        {"an empty skin file", Before::Empty},
        {"a directory of the skin file's name", Before::Directory},
    };
    const std::string other = ".SHE|1\n[window]\nbackground = #102030\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        fs::copy_file(XL_RECORDING_SKIN, run_ / "SkinH_EL.dll");
        const fs::path skin = run_ / "Skin.she";
        if (c.before == Before::OtherSkin) test::WriteFile(skin, other);
        if (c.before == Before::Empty) test::WriteFile(skin, "");
        if (c.before == Before::Directory) fs::create_directory(skin);

        // Whatever is there, the library gets the full path, and an empty second text.
        EXPECT_EXIT(SetUpSkinIn(run_), ExitedWithCode(0),
                    HasSubstr(Called(skin, run_ / "SkinH_EL.dll")));

        switch (c.before) {
        case Before::Absent: EXPECT_EQ(test::ReadFile(skin), EmbeddedSkin()); break;
        case Before::OtherSkin: EXPECT_EQ(test::ReadFile(skin), other); break;
        case Before::Empty: EXPECT_EQ(fs::file_size(skin), 0u); break;
        case Before::Directory:
            EXPECT_TRUE(fs::is_directory(skin));
            EXPECT_TRUE(fs::is_empty(skin));
            break;
        }
    }
}

TEST_F(SkinSetUpTest, LoadsTheLibraryBesideTheProgramFirstThenBySearch) {
    enum class Library { None, Recording, NoExport, Unbalanced, NotALibrary, NeedsMissing };
    enum class Outcome { RunCopyCalled, SearchCopyCalled, MissingFunctionStop, StackStop };
    struct Case {
        const char* what;
        Library beside;
        Library on_search_path;
        Outcome outcome;
    } const cases[] = {
        {"beside the program", Library::Recording, Library::None, Outcome::RunCopyCalled},
        {"on the search path only", Library::None, Library::Recording, Outcome::SearchCopyCalled},
        {"in both places", Library::Recording, Library::Recording, Outcome::RunCopyCalled},
        {"beside, without the function", Library::NoExport, Library::Recording,
         Outcome::MissingFunctionStop},
        {"nowhere", Library::None, Library::None, Outcome::MissingFunctionStop},
        {"beside, but not a library", Library::NotALibrary, Library::Recording,
         Outcome::SearchCopyCalled},
        {"beside, but needing a missing library", Library::NeedsMissing, Library::Recording,
         Outcome::SearchCopyCalled},
        {"beside, unbalancing the stack", Library::Unbalanced, Library::None, Outcome::StackStop},
    };
    const auto place = [](Library library, const fs::path& file) {
        switch (library) {
        case Library::None: break;
        case Library::Recording: fs::copy_file(XL_RECORDING_SKIN, file); break;
        case Library::NoExport: fs::copy_file(XL_NO_EXPORT_SKIN, file); break;
        case Library::Unbalanced: fs::copy_file(XL_UNBALANCED_SKIN, file); break;
        case Library::NotALibrary: test::WriteFile(file, "MZ not a library"); break;
        case Library::NeedsMissing: fs::copy_file(XL_NEEDS_DEPENDENCY_SKIN, file); break;
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        place(c.beside, run_ / "SkinH_EL.dll");
        place(c.on_search_path, search_ / "SkinH_EL.dll");
        const fs::path skin = run_ / "Skin.she";

        switch (c.outcome) {
        case Outcome::RunCopyCalled:
            EXPECT_EXIT(SetUpSkinIn(run_), ExitedWithCode(0),
                        HasSubstr(Called(skin, run_ / "SkinH_EL.dll")));
            break;
        case Outcome::SearchCopyCalled:
            EXPECT_EXIT(SetUpSkinIn(run_), ExitedWithCode(0),
                        HasSubstr(Called(skin, search_ / "SkinH_EL.dll")));
            break;
        case Outcome::MissingFunctionStop:
            // Exit code -1; the box text goes to standard error when there is no screen.
            EXPECT_EXIT(SetUpSkinIn(run_), ExitedWithCode(255), HasSubstr(kMissingFunctionBox));
            break;
        case Outcome::StackStop:
            EXPECT_EXIT(SetUpSkinIn(run_), ExitedWithCode(255), HasSubstr(kStackBox));
            break;
        }
        // The skin file is written before the library is looked for.
        EXPECT_EQ(test::ReadFile(skin), EmbeddedSkin());
    }
}

TEST_F(SkinSetUpTest, GoesOnWithThePathWhenTheRunDirectoryCannotBeWritten) {
    Reset();
    // Below a regular file nothing can be created, whoever runs the test.
    test::WriteFile(dir_ / "file", "");
    const fs::path run = dir_ / "file" / "run";
    fs::copy_file(XL_RECORDING_SKIN, search_ / "SkinH_EL.dll");

    EXPECT_EXIT(SetUpSkinIn(run), ExitedWithCode(0),
                HasSubstr(Called(run / "Skin.she", search_ / "SkinH_EL.dll")));
}

}  // namespace
}  // namespace xl
