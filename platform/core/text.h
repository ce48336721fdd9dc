// Texts are GBK bytes everywhere in the program: list files, window texts and the clipboard carry
// the same bytes. Only a backend converts, at its edge, when a toolkit wants another encoding.
#pragma once

#include <string>
#include <string_view>

namespace xl {

// A text ends at its first zero byte; the empty text is valid everywhere.
using Text = std::string;

// Raw bytes of a file, which may hold zero bytes.
using Bytes = std::string;

// The bytes up to the first zero byte. Takes the bytes by value so that a caller can move a large
// file's contents in without a copy.
Text BytesToText(Bytes bytes);

// The text's bytes without a terminating zero.
Bytes TextToBytes(std::string_view text);

}  // namespace xl
