#include "text.h"

namespace xl {

Text BytesToText(Bytes bytes) {
    if (auto zero = bytes.find('\0'); zero != Bytes::npos) bytes.resize(zero);
    return bytes;
}

Bytes TextToBytes(std::string_view text) { return Bytes(text.substr(0, text.find('\0'))); }

}  // namespace xl
