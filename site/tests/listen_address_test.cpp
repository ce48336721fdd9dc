// The --listen argument.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "site/core/listen_address.h"

namespace xl::site {
namespace {

TEST(ParseListenAddress, HostAndPort) {
    struct Case {
        const char* text;
        std::vector<std::string> hosts;  // empty: refused
        int port;
    };
    const Case cases[] = {
        {"127.0.0.1:8731", {"127.0.0.1"}, 8731},
        {"127.0.0.1:0", {"127.0.0.1"}, 0},
        {"localhost:8731", {"127.0.0.1", "::1"}, 8731},
        {"[::1]:8731", {"::1"}, 8731},
        {"[::1]", {"::1"}, 80},
        {"127.0.0.1", {"127.0.0.1"}, 80},
        {"site.example:65535", {"site.example"}, 65535},
        {"", {}, 0},
        {":8731", {}, 0},
        {"127.0.0.1:", {}, 0},
        {"127.0.0.1:65536", {}, 0},
        {"127.0.0.1:-1", {}, 0},
        {"127.0.0.1:87a", {}, 0},
        {"::1:8731", {}, 0},
        {"[::1", {}, 0},
        {"[::1]8731", {}, 0},
        {"[]:8731", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto address = ParseListenAddress(c.text);
        ASSERT_EQ(address.has_value(), !c.hosts.empty());
        if (!address) continue;
        std::vector<std::string> hosts;
        for (const ListenHost& h : address->hosts) hosts.push_back(h.address);
        EXPECT_EQ(hosts, c.hosts);
        EXPECT_EQ(address->port, c.port);
    }
}

TEST(ParseListenAddress, LocalhostGoesOnWithoutIpv6) {
    const auto address = ParseListenAddress("localhost:8731");
    ASSERT_TRUE(address);
    ASSERT_EQ(address->hosts.size(), 2u);
    EXPECT_TRUE(address->hosts[0].required);
    EXPECT_FALSE(address->hosts[1].required);
}

TEST(SiteUrl, BracketsIpv6) {
    EXPECT_EQ(SiteUrl("127.0.0.1", 8731), "http://127.0.0.1:8731");
    EXPECT_EQ(SiteUrl("::1", 8731), "http://[::1]:8731");
}

}  // namespace
}  // namespace xl::site
