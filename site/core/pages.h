// The site's pages, whole HTML documents in UTF-8. Every received text goes through Html().
// They are meant to read well in the program's 432 × 224 browser view as well as in a browser.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "categories.h"
#include "checks.h"
#include "proposal.h"
#include "query.h"

namespace xl::site {

// The start page of the program's submission window.
std::string HomePage();

// "/?post=4", which the program's red link opens in the user's browser.
std::string PromotionPage();

// The answer to a proposal that was stored under `id`.
std::string ReceivedPage(const Category& category, const ReceivedProposal& proposal,
                         std::int64_t id);

// The answer to a proposal that was not stored, with the reason.
std::string RefusedPage(const Category& category, const ReceivedProposal& proposal,
                        Refusal refusal);

// The answer when one address sent more than `per_minute` proposals in a minute.
std::string TooManyPage(int per_minute);

std::string NotFoundPage();
std::string ReviewForbiddenPage();
std::string ServerErrorPage();

struct ReviewSection {
    const Category* category = nullptr;
    std::vector<StoredProposal> proposals;  // newest first, at most kReviewRows
    std::int64_t shown_total = 0;           // how many match the page's filter
    std::int64_t accepted = 0;              // how many the export would hold, at most
};

inline constexpr int kReviewRows = 200;

struct ReviewView {
    std::optional<Status> show;   // the filter; nothing for every status
    std::int64_t counts[3] = {};  // by Status, over all categories
    std::vector<ReviewSection> sections;
    std::string token;   // must come back with each decision
    std::string notice;  // UTF-8 text about the last decision, or empty
};

std::string ReviewPage(const ReviewView& view);

}  // namespace xl::site
