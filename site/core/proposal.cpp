#include "proposal.h"

#include <ctime>

namespace xl::site {

std::string_view StatusKey(Status status) {
    switch (status) {
    case Status::kPending: return "pending";
    case Status::kAccepted: return "accepted";
    case Status::kRejected: return "rejected";
    }
    return "";
}

std::optional<Status> ParseStatus(std::string_view key) {
    for (Status s : {Status::kPending, Status::kAccepted, Status::kRejected}) {
        if (StatusKey(s) == key) return s;
    }
    return std::nullopt;
}

std::string_view StatusName(Status status) {
    switch (status) {
    case Status::kPending: return "待审";
    case Status::kAccepted: return "已采纳";
    case Status::kRejected: return "已拒绝";
    }
    return "";
}

std::string FormatTime(std::int64_t unix_ms) {
    const std::time_t seconds = static_cast<std::time_t>(unix_ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text, n);
}

}  // namespace xl::site
