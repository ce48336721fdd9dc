// A temporary run directory for tests that read and write the files beside the program.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/posix/posix_files.h"

namespace xl::testing {

namespace fs = std::filesystem;

class RunDirectory {
public:
    RunDirectory() {
        std::string pattern = (fs::temp_directory_path() / "xl-run-XXXXXX").string();
        path_ = fs::path(::mkdtemp(pattern.data()));
        posix::UseRunDirectory(path_.string() + "/");
    }
    RunDirectory(const RunDirectory&) = delete;
    RunDirectory& operator=(const RunDirectory&) = delete;
    ~RunDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }

    const fs::path& path() const { return path_; }
    // Names are as the disk spells them (u8"" for Chinese ones).
    fs::path File(const fs::path& name) const { return path_ / name; }

    void Write(const fs::path& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    std::string Read(const fs::path& name) const {
        std::ifstream in(File(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    fs::path path_;
};

// A UTF-8 literal as the char bytes the toolkit side deals in.
inline std::string U8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

}  // namespace xl::testing
