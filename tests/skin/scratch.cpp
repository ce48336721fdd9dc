#include "scratch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>

namespace xl::test {
namespace {

struct Mapping {
    std::uintptr_t start = 0, end = 0;
    std::string file;
};

template <class Visit>
void ForEachMapping(Visit visit) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range, perms, offset, device, inode;
        fields >> range >> perms >> offset >> device >> inode;
        Mapping m;
        const std::size_t dash = range.find('-');
        m.start = std::stoull(range.substr(0, dash), nullptr, 16);
        m.end = std::stoull(range.substr(dash + 1), nullptr, 16);
        const std::size_t slash = line.find('/');
        if (slash != std::string::npos) m.file = line.substr(slash);
        if (!visit(m)) return;
    }
}

}  // namespace

std::filesystem::path FreshScratchDirectory() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = std::filesystem::path(XL_TEST_SCRATCH) / test->test_suite_name();
    dir /= test->name();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path MappedFileAt(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::filesystem::path file;
    ForEachMapping([&](const Mapping& m) {
        if (at < m.start || at >= m.end) return true;
        file = m.file;
        return false;
    });
    return file;
}

bool IsMapped(const std::filesystem::path& file) {
    bool mapped = false;
    ForEachMapping([&](const Mapping& m) {
        mapped = m.file == file.string();
        return !mapped;
    });
    return mapped;
}

}  // namespace xl::test
