// GBK <-> UTF-8, the one place where the program's texts change encoding.
//   needs: POSIX iconv with GB18030 (the C library's)
//   implemented: both directions, with a replacement for each byte that does not convert
//   missing: nothing
#include "encoding.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace xl::posix {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (valid()) ::iconv_close(cd_);
    }
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts with a fresh converter; at each byte that does not convert, appends the replacement
// and goes on after that byte.
std::string Convert(std::string_view in, const char* to, const char* from,
                    std::string_view replacement) {
    std::string out;
    if (in.empty()) return out;
    Converter cd(to, from);
    if (!cd.valid()) return std::string(in);
    out.reserve(in.size() * 3 / 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char buffer[4096];
    while (src_left > 0) {
        char* dst = buffer;
        std::size_t dst_left = sizeof buffer;
        const std::size_t done = ::iconv(cd.get(), &src, &src_left, &dst, &dst_left);
        out.append(buffer, dst - buffer);
        if (done != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ, or EINVAL for a sequence cut off at the end: skip one byte.
        out.append(replacement);
        ++src;
        --src_left;
        ::iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

bool IsAscii(std::string_view s) {
    for (unsigned char c : s) {
        if (c >= 0x80) return false;
    }
    return true;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    if (IsAscii(gbk)) return std::string(gbk);
    return Convert(gbk, "UTF-8", "GB18030", "\xEF\xBF\xBD");
}

std::string Utf8ToGbk(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    return Convert(utf8, "GB18030", "UTF-8", "?");
}

}  // namespace xl::posix
