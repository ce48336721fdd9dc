#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/platform.h"
#include "platform/posix/dynamic_library.h"
#include "scratch.h"

namespace xl {
namespace {

namespace fs = std::filesystem;

class LibraryBindingTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = test::FreshScratchDirectory();
        fs::copy_file(XL_RECORDING_SKIN, dir_ / "good.so");
        fs::copy_file(XL_RECORDING_SKIN, dir_ / "other_good.so");
        fs::copy_file(XL_NO_EXPORT_SKIN, dir_ / "no_export.so");
        fs::copy_file(XL_FORWARDING_SKIN, dir_ / "forwarding.so");
        fs::copy_file(XL_NEEDS_DEPENDENCY_SKIN, dir_ / "needs_missing.so");
        fs::copy_file(XL_UNRESOLVED_SKIN, dir_ / "unresolved.so");
        test::WriteFile(dir_ / "text.so", "not a library\n");
        fs::create_directory(dir_ / "directory.so");
    }
    void TearDown() override { posix::ReleaseLibraries(); }

    Text File(const std::string& name) const { return name.empty() ? "" : (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(LibraryBindingTest, TakesTheFunctionFromTheFirstLibraryThatLoads) {
    struct Case {
        std::vector<std::string> files;
        const char* bound_from;  // nullptr: nothing bound
    } const cases[] = {
        {{"good.so"}, "good.so"},
        {{"missing.so", "good.so"}, "good.so"},
        {{"text.so", "good.so"}, "good.so"},
        {{"directory.so", "good.so"}, "good.so"},
        // A library that needs one the loader cannot find does not load.
        {{"needs_missing.so", "good.so"}, "good.so"},
        // Every symbol is resolved at load: a library that lacks one does not load either.
        {{"unresolved.so", "good.so"}, "good.so"},
        {{"good.so", "other_good.so"}, "good.so"},
        // The first library that loads is the only one asked for the function.
        {{"no_export.so", "good.so"}, nullptr},
        // A function of a library that this one needs is not this library's export.
        {{"forwarding.so", "good.so"}, nullptr},
        // An empty name is no file, not the program itself.
        {{"", "good.so"}, "good.so"},
        {{"missing.so"}, nullptr},
        {{}, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<Text> files;
        std::string names;
        for (const std::string& name : c.files) {
            files.push_back(File(name));
            names += "[" + name + "] ";
        }
        SCOPED_TRACE(names);

        const platform::LibraryFunction f = platform::BindLibraryFunction(files, "SkinH_Attach_Ex");
        if (c.bound_from) {
            ASSERT_TRUE(f);
            EXPECT_EQ(test::MappedFileAt(f.address), dir_ / c.bound_from);
            EXPECT_EQ(platform::CallGuarded(f, "x", "").result, 1);
        } else {
            EXPECT_FALSE(f);
        }
        // What was tried and not taken is released at once.
        for (const std::string& name : c.files) {
            if (!c.bound_from || name != c.bound_from) {
                EXPECT_FALSE(test::IsMapped(dir_ / name));
            }
        }
        posix::ReleaseLibraries();
        if (c.bound_from) {
            EXPECT_FALSE(test::IsMapped(dir_ / c.bound_from));
        }
    }
}

TEST_F(LibraryBindingTest, KeepsTheLibraryLoadedUntilTheLibrariesAreReleased) {
    platform::LibraryFunction f;
    {
        const Text files[] = {File("good.so")};
        f = platform::BindLibraryFunction(files, "SkinH_Attach_Ex");
    }
    ASSERT_TRUE(f);
    EXPECT_TRUE(test::IsMapped(dir_ / "good.so"));
    EXPECT_EQ(platform::CallGuarded(f, "x", "").result, 1);

    posix::ReleaseLibraries();
    EXPECT_FALSE(test::IsMapped(dir_ / "good.so"));
}

}  // namespace
}  // namespace xl
