// The crossing between the program's GBK texts and UTF-8, in both directions, on any bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/posix/encoding.h"

namespace {

using xl::posix::GbkToUtf8;
using xl::posix::Utf8ToGbk;

bool IsPrivateUse(char32_t c) { return c >= 0xE000 && c <= 0xF8FF; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // As GBK: the result is always UTF-8, at most three bytes for each byte read (a two-byte
    // character becomes at most three, a bad byte the three of U+FFFD).
    const std::string utf8 = GbkToUtf8(input);
    FUZZ_CHECK(xl::fuzz::IsUtf8(utf8));
    FUZZ_CHECK(utf8.size() <= 3 * input.size());
    // What came out goes back and forth unchanged, replacements included.
    FUZZ_CHECK(GbkToUtf8(Utf8ToGbk(utf8)) == utf8);
    // Every GBK code is its own character, so GBK input comes back byte for byte. (Four-byte
    // GB18030 codes are left out: the C library's table reads a few of them as characters that
    // also have a two-byte code.)
    if (xl::fuzz::IsGbk(input)) FUZZ_CHECK(Utf8ToGbk(utf8) == input);

    // As UTF-8: the result is made of GB18030 codes, at most two bytes for each byte read.
    const std::string gbk = Utf8ToGbk(input);
    FUZZ_CHECK(xl::fuzz::IsGb18030Shaped(gbk));
    FUZZ_CHECK(gbk.size() <= 2 * input.size());
    // Valid UTF-8 comes back unchanged, except for private-use characters: the C library's
    // GB18030 table leaves out a few of those.
    bool private_use = false;
    if (xl::fuzz::DecodeUtf8(input, [&](char32_t c) { private_use |= IsPrivateUse(c); }) &&
        !private_use) {
        FUZZ_CHECK(GbkToUtf8(gbk) == input);
    }
    return 0;
}
