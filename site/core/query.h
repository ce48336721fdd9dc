// Taking a proposal back out of the query of a submission address.
//
// The program builds the address as "?ct=" + entry + "&qq=" + QQ text and escapes nothing, so
// the entry may itself hold "&", "=" or "%". The browser percent-encodes only what cannot stand
// in an address (non-ASCII bytes as UTF-8, spaces); the rest arrives as typed.
#pragma once

#include <string>
#include <string_view>

namespace xl::site {

struct ReceivedProposal {
    bool has_entry = false;  // the query holds "ct="
    bool has_qq = false;     // the query holds "&qq=" after the entry
    std::string entry;       // decoded bytes, not necessarily UTF-8
    std::string qq;
};

// Replaces each "%" and two hex digits by that byte; a "%" that starts no such escape stays,
// and so does "+", which the browser sends for a typed plus.
std::string PercentDecode(std::string_view text);

// The entry is everything between the first "ct=" (at the start or after an "&") and the last
// "&qq=" that follows it; the QQ text is everything after that "&qq=". Both are decoded.
ReceivedProposal ReadProposalQuery(std::string_view raw_query);

}  // namespace xl::site
