// Functions of dynamic libraries, for the backends of POSIX systems.
//   needs: dlopen, dlsym, dlclose and the GNU extensions dladdr1 and dlinfo (glibc); the stack
//     guard of the processor (stack_guard_*.S)
//   implemented: loading by path or by the system's library search with every symbol resolved at
//     load (so a library that lacks something it needs does not load, as on Windows), look-up
//     among the library's own exports only, the libraries kept until ReleaseLibraries, the
//     guarded call with two texts
//   missing: nothing
#include "dynamic_library.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <utility>
#include <vector>

#include "encoding.h"
#include "platform/core/platform.h"
#include "stack_guard.h"

namespace xl::posix {
namespace {

class LoadedLibrary {
public:
    explicit LoadedLibrary(void* handle) : handle_(handle) {}
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    LoadedLibrary(LoadedLibrary&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    LoadedLibrary& operator=(LoadedLibrary&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~LoadedLibrary() {
        if (handle_) ::dlclose(handle_);
    }
    void* get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    void* handle_;
};

std::vector<LoadedLibrary> g_libraries;  // oldest first

// dlsym also searches the libraries that this one needs; like GetProcAddress, only the
// library's own export counts.
void* OwnExport(void* handle, const std::string& name) {
    void* address = ::dlsym(handle, name.c_str());
    if (!address) return nullptr;
    link_map* self = nullptr;
    link_map* owner = nullptr;
    Dl_info info{};
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &self) != 0 ||
        !::dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) ||
        owner != self) {
        return nullptr;
    }
    return address;
}

}  // namespace

void ReleaseLibraries() {
    while (!g_libraries.empty()) g_libraries.pop_back();
}

}  // namespace xl::posix

namespace xl::platform {

LibraryFunction BindLibraryFunction(std::span<const Text> files, std::string_view function) {
    for (const Text& file : files) {
        // dlopen("") would hand back the program itself.
        if (file.empty()) continue;
        posix::LoadedLibrary library(
            ::dlopen(posix::GbkToUtf8(file).c_str(), RTLD_NOW | RTLD_LOCAL));
        if (!library) continue;
        void* address = posix::OwnExport(library.get(), std::string(function));
        if (!address) return {};
        posix::g_libraries.push_back(std::move(library));
        return {address};
    }
    return {};
}

GuardedCall CallGuarded(LibraryFunction function, const Text& first, const Text& second) {
    long delta = 0;
    const int result = xl_guarded_call2(function.address, first.c_str(), second.c_str(), &delta);
    return {result, delta == 0};
}

}  // namespace xl::platform
