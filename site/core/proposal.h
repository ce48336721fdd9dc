// A proposal as the site keeps it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xl::site {

enum class Status { kPending, kAccepted, kRejected };

// "pending", "accepted", "rejected": as stored and as the review page's links name them.
std::string_view StatusKey(Status status);
std::optional<Status> ParseStatus(std::string_view key);
// 待审, 已采纳, 已拒绝.
std::string_view StatusName(Status status);

struct StoredProposal {
    std::int64_t id = 0;
    std::string category;  // a Category key
    std::string entry;     // bytes as received, decoded
    std::string qq;
    std::string raw_query;
    std::int64_t received_ms = 0;  // Unix time in milliseconds
    std::string remote_address;
    Status status = Status::kPending;
};

// Local time as "2024-05-01 13:45:07".
std::string FormatTime(std::int64_t unix_ms);

}  // namespace xl::site
