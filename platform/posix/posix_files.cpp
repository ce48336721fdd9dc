// Files beside the program, for the backends of POSIX systems.
//   needs: POSIX (open, fstat, flock, read, write), Linux /proc/self/exe
//   implemented: the run directory from the executable's path (no length limit), whole-file reads
//     that never block and read no more than the size at opening, whole-file writes under an
//     exclusive lock, existence checks. File names are UTF-8 on disk.
//   missing: the share modes of other systems; advisory locks only keep out programs that lock
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "encoding.h"
#include "platform/core/platform.h"
#include "posix_files.h"

namespace xl::posix {

State g_state;

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // The result of close matters after a write: it can report a failed flush.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string ExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

void TakeRunDirectory() { UseRunDirectory(ExecutablePath()); }

void UseRunDirectory(const std::string& executable_or_directory) {
    const std::string& exe = executable_or_directory;
    const std::size_t slash = exe.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".")
                            : slash == 0               ? std::string("/")
                                                       : exe.substr(0, slash);
    if (::chdir(dir.c_str()) != 0) {
        // Every path the program uses is absolute, so a failed change of directory matters to
        // nothing of ours.
    }
    g_state.run_directory = Utf8ToGbk(dir);
}

}  // namespace xl::posix

namespace xl::platform {

using posix::FileDescriptor;
using posix::GbkToUtf8;

const Text& RunDirectory() { return posix::g_state.run_directory; }

Text PathBesideProgram(std::string_view name) {
    Text path = posix::g_state.run_directory;
    if (path != "/") path += '/';
    path += name;
    return path;
}

FileContents ReadWholeFile(const Text& path) {
    FileContents contents;
    if (path.empty()) return contents;
    // O_NONBLOCK: a FIFO or device at the path must not hang the window.
    FileDescriptor fd(
        ::open(GbkToUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        contents.unreadable = errno != ENOENT && errno != ENOTDIR;
        return contents;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        contents.unreadable = true;
        return contents;
    }
    // A writer holds the exclusive lock while it writes; its half-written file is not read.
    if (::flock(fd.get(), LOCK_SH | LOCK_NB) != 0) {
        contents.unreadable = true;
        return contents;
    }
    const std::size_t size = static_cast<std::size_t>(st.st_size);
    contents.bytes.resize(size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd.get(), contents.bytes.data() + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    contents.bytes.resize(got);
    // A file that has a size but gives no bytes failed to read; its words are still on disk.
    if (got == 0 && size > 0) contents.unreadable = true;
    return contents;
}

bool WriteWholeFile(const Text& path, std::string_view bytes) {
    if (path.empty()) return false;
    FileDescriptor fd(::open(GbkToUtf8(path).c_str(),
                             O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666));
    if (!fd.valid()) return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // Truncate only once the lock is ours, so that a reader never sees the file half gone.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
    if (::ftruncate(fd.get(), 0) != 0) return false;
    std::size_t put = 0;
    while (put < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + put, bytes.size() - put);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        put += static_cast<std::size_t>(n);
    }
    return fd.Close();
}

bool FileExists(const Text& path) {
    if (path.empty()) return false;
    // Anything at the path counts, so that nothing is ever written over it.
    struct stat st {};
    return ::stat(GbkToUtf8(path).c_str(), &st) == 0;
}

}  // namespace xl::platform
