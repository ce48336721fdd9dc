// Who may open the review pages: requests from this machine that name this machine.
#include <gtest/gtest.h>

#include "site/core/access.h"

namespace xl::site {
namespace {

TEST(IsLoopbackAddress, OnlyLoopbackAddresses) {
    struct Case {
        const char* address;
        bool loopback;
    };
    const Case cases[] = {
        {"127.0.0.1", true},
        {"127.255.3.4", true},
        {"::1", true},
        {"0:0:0:0:0:0:0:1", true},
        {"::ffff:127.0.0.1", true},
        {"128.0.0.1", false},
        {"10.0.0.1", false},
        {"192.168.1.127", false},
        {"0.0.0.0", false},
        {"::", false},
        {"::ffff:10.0.0.1", false},
        {"fe80::1", false},
        {"", false},
        {"localhost", false},
        {"127.0.0.1 ", false},
        {"127.1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(IsLoopbackAddress(c.address), c.loopback);
    }
}

TEST(IsLocalHostHeader, NamesOfThisMachineOnly) {
    struct Case {
        const char* host;
        bool local;
    };
    const Case cases[] = {
        {"localhost:8731", true},
        {"localhost", true},
        {"LocalHost:8731", true},
        {"127.0.0.1:8731", true},
        {"[::1]:8731", true},
        {"[::1]", true},
        {"", false},
        {"evil.example", false},
        {"localhost.evil.example:8731", false},
        {"127.0.0.1.nip.io", false},
        {"[::2]:8731", false},
        {"[127.0.0.1]:8731", false},
        {"[::1]8731", false},
        {"10.0.0.1:8731", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        EXPECT_EQ(IsLocalHostHeader(c.host), c.local);
    }
}

TEST(MayReview, NeedsBothALoopbackPeerAndALocalHost) {
    EXPECT_TRUE(MayReview("127.0.0.1", "localhost:8731"));
    EXPECT_TRUE(MayReview("::1", "[::1]:8731"));
    EXPECT_FALSE(MayReview("192.168.1.20", "localhost:8731"));
    EXPECT_FALSE(MayReview("127.0.0.1", "attacker.example:8731"));
}

}  // namespace
}  // namespace xl::site
