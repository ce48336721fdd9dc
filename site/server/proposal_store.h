// The proposals in an SQLite file. Safe to use from the server's worker threads.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database.h"
#include "site/core/proposal.h"

namespace xl::site {

struct ProposalCount {
    std::string category;
    Status status;
    std::int64_t count;
};

class ProposalStore {
public:
    explicit ProposalStore(const std::string& path);

    // Stores a new pending proposal (its id and status are ignored) and returns its id.
    std::int64_t Add(const StoredProposal& proposal);

    std::optional<StoredProposal> Find(std::int64_t id);

    // False when there is no such proposal.
    bool Decide(std::int64_t id, Status status, std::int64_t now_ms);

    // Newest first; every status when `status` is empty.
    std::vector<StoredProposal> Newest(std::string_view category, std::optional<Status> status,
                                       int limit);

    std::vector<ProposalCount> Counts();

    // The accepted entries of a category in the order they were proposed.
    std::vector<std::string> AcceptedEntries(std::string_view category);

private:
    std::mutex mutex_;
    Database db_;
    Statement insert_;
    Statement find_;
    Statement decide_;
    Statement newest_;
    Statement counts_;
    Statement accepted_;
};

}  // namespace xl::site
