#include "proposal_store.h"

namespace xl::site {
namespace {

Database OpenWithSchema(const std::string& path) {
    Database db(path);
    // One busy wait in case someone reads the file with the sqlite3 tool meanwhile.
    sqlite3_busy_timeout(db.handle(), 5000);
    // WAL lets readers look while the site writes; NORMAL syncs at checkpoints, not per row.
    db.Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    // Entries and queries are blobs: they hold the bytes as sent, UTF-8 or not.
    db.Execute(R"sql(
        CREATE TABLE IF NOT EXISTS proposals (
            id INTEGER PRIMARY KEY,
            category TEXT NOT NULL,
            entry BLOB NOT NULL,
            qq TEXT NOT NULL,
            raw_query BLOB NOT NULL,
            received_ms INTEGER NOT NULL,
            remote_address TEXT NOT NULL,
            status TEXT NOT NULL DEFAULT 'pending',
            decided_ms INTEGER
        );
        CREATE INDEX IF NOT EXISTS proposals_by_category
            ON proposals (category, received_ms);
    )sql");
    return db;
}

constexpr const char* kColumns =
    "id, category, entry, qq, raw_query, received_ms, remote_address, status";

StoredProposal ReadRow(const Statement::Use& row) {
    StoredProposal p;
    p.id = row.Int(0);
    p.category = row.Bytes(1);
    p.entry = row.Bytes(2);
    p.qq = row.Bytes(3);
    p.raw_query = row.Bytes(4);
    p.received_ms = row.Int(5);
    p.remote_address = row.Bytes(6);
    p.status = ParseStatus(row.Bytes(7)).value_or(Status::kPending);
    return p;
}

std::string Select(const char* rest) { return std::string("SELECT ") + kColumns + rest; }

}  // namespace

ProposalStore::ProposalStore(const std::string& path)
    : db_(OpenWithSchema(path)),
      insert_(db_,
              "INSERT INTO proposals "
              "(category, entry, qq, raw_query, received_ms, remote_address) "
              "VALUES (?, ?, ?, ?, ?, ?)"),
      find_(db_, Select(" FROM proposals WHERE id = ?").c_str()),
      decide_(db_, "UPDATE proposals SET status = ?, decided_ms = ? WHERE id = ?"),
      newest_(db_, Select(" FROM proposals WHERE category = ?1 AND (?2 = '' OR status = ?2) "
                          "ORDER BY received_ms DESC, id DESC LIMIT ?3")
                       .c_str()),
      counts_(db_, "SELECT category, status, COUNT(*) FROM proposals GROUP BY category, status"),
      accepted_(db_,
                "SELECT entry FROM proposals WHERE category = ? AND status = 'accepted' "
                "ORDER BY received_ms, id") {}

std::int64_t ProposalStore::Add(const StoredProposal& p) {
    const std::lock_guard lock(mutex_);
    Statement::Use use(insert_);
    use.BindText(p.category)
        .BindBlob(p.entry)
        .BindText(p.qq)
        .BindBlob(p.raw_query)
        .Bind(p.received_ms)
        .BindText(p.remote_address)
        .Run();
    return db_.LastInsertId();
}

std::optional<StoredProposal> ProposalStore::Find(std::int64_t id) {
    const std::lock_guard lock(mutex_);
    Statement::Use use(find_);
    use.Bind(id);
    if (!use.Next()) return std::nullopt;
    return ReadRow(use);
}

bool ProposalStore::Decide(std::int64_t id, Status status, std::int64_t now_ms) {
    const std::lock_guard lock(mutex_);
    Statement::Use use(decide_);
    use.BindText(StatusKey(status)).Bind(now_ms).Bind(id).Run();
    return db_.Changes() > 0;
}

std::vector<StoredProposal> ProposalStore::Newest(std::string_view category,
                                                  std::optional<Status> status, int limit) {
    const std::lock_guard lock(mutex_);
    Statement::Use use(newest_);
    use.BindText(category).BindText(status ? StatusKey(*status) : "").Bind(limit);
    std::vector<StoredProposal> rows;
    while (use.Next()) rows.push_back(ReadRow(use));
    return rows;
}

std::vector<ProposalCount> ProposalStore::Counts() {
    const std::lock_guard lock(mutex_);
    Statement::Use use(counts_);
    std::vector<ProposalCount> counts;
    while (use.Next()) {
        if (auto status = ParseStatus(use.Bytes(1))) {
            counts.push_back({use.Bytes(0), *status, use.Int(2)});
        }
    }
    return counts;
}

std::vector<std::string> ProposalStore::AcceptedEntries(std::string_view category) {
    const std::lock_guard lock(mutex_);
    Statement::Use use(accepted_);
    use.BindText(category);
    std::vector<std::string> entries;
    while (use.Next()) entries.push_back(use.Bytes(0));
    return entries;
}

}  // namespace xl::site
