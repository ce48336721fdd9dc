// The SQLite store, on a file in a fresh temporary directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "site/server/proposal_store.h"

namespace xl::site {
namespace {

using namespace std::string_literals;

class ProposalStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string dir = (std::filesystem::temp_directory_path() / "site-store-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        dir_ = dir;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string DbPath() const { return (dir_ / "site.db").string(); }

    static StoredProposal Proposal(std::string category, std::string entry, std::int64_t ms) {
        StoredProposal p;
        p.category = std::move(category);
        p.entry = std::move(entry);
        p.qq = "12345";
        p.raw_query = "ct=" + p.entry + "&qq=12345";
        p.received_ms = ms;
        p.remote_address = "127.0.0.1";
        return p;
    }

    std::filesystem::path dir_;
};

TEST_F(ProposalStoreTest, KeepsTheBytesAsReceived) {
    const std::string entry = "a\0b\xB0\xA1&<x>"s;
    std::int64_t id;
    {
        ProposalStore store(DbPath());
        id = store.Add(Proposal("sj", entry, 1000));
    }
    // Read back through a new connection: what is on disk, not what a cache holds.
    ProposalStore store(DbPath());
    const auto p = store.Find(id);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->entry, entry);
    EXPECT_EQ(p->raw_query, "ct=" + entry + "&qq=12345");
    EXPECT_EQ(p->category, "sj");
    EXPECT_EQ(p->received_ms, 1000);
    EXPECT_EQ(p->status, Status::kPending);
    EXPECT_FALSE(store.Find(id + 1));
}

TEST_F(ProposalStoreTest, AcceptedEntriesOfOneCategoryOldestFirst) {
    ProposalStore store(DbPath());
    const auto late = store.Add(Proposal("sj", "晚", 3000));
    const auto early = store.Add(Proposal("sj", "早", 1000));
    const auto rejected = store.Add(Proposal("sj", "不要", 2000));
    const auto other = store.Add(Proposal("rm", "李白", 1500));
    store.Add(Proposal("sj", "还没审", 500));
    for (auto id : {late, early, other}) EXPECT_TRUE(store.Decide(id, Status::kAccepted, 9000));
    EXPECT_TRUE(store.Decide(rejected, Status::kRejected, 9000));
    EXPECT_FALSE(store.Decide(9999, Status::kAccepted, 9000));

    EXPECT_EQ(store.AcceptedEntries("sj"), (std::vector<std::string>{"早", "晚"}));
    EXPECT_EQ(store.AcceptedEntries("rm"), (std::vector<std::string>{"李白"}));
    EXPECT_TRUE(store.AcceptedEntries("dm").empty());
}

TEST_F(ProposalStoreTest, NewestFirstFilteredAndLimited) {
    ProposalStore store(DbPath());
    for (int i = 0; i < 5; ++i) store.Add(Proposal("xrc", "词" + std::to_string(i), 100 * i));
    store.Decide(1, Status::kAccepted, 1);

    std::vector<std::string> entries;
    for (const auto& p : store.Newest("xrc", Status::kPending, 3)) entries.push_back(p.entry);
    EXPECT_EQ(entries, (std::vector<std::string>{"词4", "词3", "词2"}));
    EXPECT_EQ(store.Newest("xrc", std::nullopt, 10).size(), 5u);
    EXPECT_EQ(store.Newest("xrc", Status::kAccepted, 10).at(0).entry, "词0");
    EXPECT_TRUE(store.Newest("rm", std::nullopt, 10).empty());

    std::int64_t pending = 0, accepted = 0;
    for (const ProposalCount& c : store.Counts()) {
        EXPECT_EQ(c.category, "xrc");
        (c.status == Status::kPending ? pending : accepted) += c.count;
    }
    EXPECT_EQ(pending, 4);
    EXPECT_EQ(accepted, 1);
}

}  // namespace
}  // namespace xl::site
