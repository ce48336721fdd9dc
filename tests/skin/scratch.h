// Files for the skin tests: a scratch directory for each test, and what the process has mapped.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace xl::test {

// An empty directory named after the running test, under the build tree. The same test gets the
// same directory, also in the child that a death test starts.
std::filesystem::path FreshScratchDirectory();

void WriteFile(const std::filesystem::path& file, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& file);

// The file mapped at that address in this process; empty when none.
std::filesystem::path MappedFileAt(const void* address);

// Whether any part of the file is mapped into this process.
bool IsMapped(const std::filesystem::path& file);

}  // namespace xl::test
