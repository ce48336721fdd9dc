#include "word_list_file.h"

#include <iconv.h>

#include <memory>
#include <set>

#include "utf8.h"

namespace xl::site {
namespace {

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Converter = std::unique_ptr<void, IconvCloser>;

bool HasControlCharacter(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    // glibc's converter would take some ill-formed input (such as encoded surrogates) as text.
    if (!IsValidUtf8(utf8)) return std::nullopt;
    const Converter cd(iconv_open("GBK", "UTF-8"));
    if (cd.get() == reinterpret_cast<void*>(iconv_t(-1))) return std::nullopt;

    std::string in(utf8);
    // A GBK character never takes more bytes than its UTF-8 form.
    std::string out(in.size(), '\0');
    char* in_ptr = in.data();
    std::size_t in_left = in.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    if (iconv(static_cast<iconv_t>(cd.get()), &in_ptr, &in_left, &out_ptr, &out_left) ==
        static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - out_left);
    return out;
}

std::optional<std::string_view> WordListProblem(std::string_view entry) {
    if (entry.empty()) return "词条是空的。";
    if (!IsValidUtf8(entry)) return "词条里有不是 UTF-8 文字的字节，换不成 GBK。";
    if (HasControlCharacter(entry)) return "词条里有控制字符（例如换行），会把词库拆乱。";
    if (!Utf8ToGbk(entry)) return "词条里有 GBK 没有的字符，程序显示不了。";
    return std::nullopt;
}

std::string GbkWordList(std::span<const std::string> entries) {
    std::string file;
    std::set<std::string_view> seen;
    for (const std::string& entry : entries) {
        if (WordListProblem(entry) || !seen.insert(entry).second) continue;
        if (seen.size() > 1) file += "\r\n";
        file += *Utf8ToGbk(entry);
    }
    return file;
}

}  // namespace xl::site
