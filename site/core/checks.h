// What a proposal must be for the site to keep it.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "query.h"

namespace xl::site {

inline constexpr std::size_t kMaxEntryCharacters = 100;

enum class Refusal {
    kNoEntry,       // the address has no "ct="
    kNoQq,          // the address has no "&qq=" after the entry
    kEmptyEntry,    // nothing to add to a list
    kEntryTooLong,  // more than kMaxEntryCharacters
    kBadQq,         // neither empty nor 5 to 10 digits
};

// The first reason to refuse the proposal, or nothing when it is kept.
std::optional<Refusal> CheckProposal(const ReceivedProposal& proposal);

// A QQ number has 5 to 10 digits; leaving it out is allowed.
bool IsAcceptableQq(std::string_view qq);

// A sentence for the answer page, in UTF-8.
std::string_view RefusalReason(Refusal refusal);

}  // namespace xl::site
