#include "query.h"

#include <optional>

namespace xl::site {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr auto npos = std::string_view::npos;

// Where the entry's value begins.
std::optional<std::size_t> EntryStart(std::string_view query) {
    if (query.starts_with("ct=")) return 3;
    if (const std::size_t at = query.find("&ct="); at != npos) return at + 4;
    return std::nullopt;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

ReceivedProposal ReadProposalQuery(std::string_view query) {
    const std::optional<std::size_t> start = EntryStart(query);
    std::size_t entry_end = npos;
    std::size_t qq_start = npos;
    // Only the last "&qq=" ends the entry: the ones before it were typed into the entry.
    if (const std::size_t at = query.rfind("&qq="); at != npos && (!start || at >= *start)) {
        entry_end = at;
        qq_start = at + 4;
    } else if (!start && query.starts_with("qq=")) {
        qq_start = 3;
    }

    ReceivedProposal p;
    if (start) {
        p.has_entry = true;
        p.entry =
            PercentDecode(query.substr(*start, entry_end == npos ? npos : entry_end - *start));
    }
    if (qq_start != npos) {
        p.has_qq = true;
        p.qq = PercentDecode(query.substr(qq_start));
    }
    return p;
}

}  // namespace xl::site
