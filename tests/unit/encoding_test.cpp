// The crossing between GBK texts and UTF-8.
#include <gtest/gtest.h>

#include "platform/posix/encoding.h"
#include "run_directory.h"

namespace xl::posix {
namespace {

using xl::testing::U8;

TEST(Encoding, RoundTrips) {
    const std::u8string_view utf8[] = {
        u8"",
        u8"plain ascii",
        u8"头顶西瓜的李白在教室里砍柴",
        u8"创意源于生活！~",
        u8"KTV包厢内",
        // Not in GBK, but GB18030 has four-byte forms for them.
        u8"µ€😀",
    };
    for (std::u8string_view s : utf8) {
        EXPECT_EQ(GbkToUtf8(Utf8ToGbk(U8(s))), U8(s)) << U8(s);
    }
}

TEST(Encoding, GbkBytesAreTheProgramsTexts) {
    EXPECT_EQ(Utf8ToGbk(U8(u8"创意源于生活！~")), "创意源于生活！~");
    EXPECT_EQ(Utf8ToGbk(U8(u8"！")), "\xA3\xA1");
}

TEST(Encoding, BadBytesAreReplacedOneByOne) {
    // 0xFF is no GB18030 byte; a lead byte at the end has no partner.
    EXPECT_EQ(GbkToUtf8("a\xFF\x62"), U8(u8"a\uFFFDb"));
    EXPECT_EQ(GbkToUtf8("\xB4\xB4\xB0"), U8(u8"创\uFFFD"));
    EXPECT_EQ(Utf8ToGbk("a\xC3"), "a?");
}

}  // namespace
}  // namespace xl::posix
