#include "html.h"

#include "utf8.h"

namespace xl::site {
namespace {

void AppendRawByte(std::string& out, unsigned char byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += "<span class=\"raw\">\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
    out += "</span>";
}

}  // namespace

std::string Html(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const std::size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0 || byte < 0x20 || byte == 0x7F) {
            AppendRawByte(out, byte);
            ++i;
            continue;
        }
        switch (bytes[i]) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out.append(bytes.substr(i, n));
        }
        i += n;
    }
    return out;
}

}  // namespace xl::site
