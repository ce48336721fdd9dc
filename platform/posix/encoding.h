// The one crossing between the program's GBK texts and the UTF-8 of the system and toolkit.
#pragma once

#include <string>
#include <string_view>

namespace xl::posix {

// GBK (read as GB18030, its superset, so no character is lost) to UTF-8. A byte sequence that is
// not GB18030 becomes U+FFFD, one per byte, and the rest is still converted.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GB18030. Every Unicode character has a GB18030 form, but the C library's table
// leaves out a few private-use ones (U+E78D to U+E796 and others in glibc 2.36); such a
// character, like a byte that is not UTF-8, becomes one "?" per byte.
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace xl::posix
