// The Share button: what reaches the clipboard.
#include <gtest/gtest.h>

#include "generator/share_sentence.h"
#include "platform/core/site.h"
#include "platform/headless/headless_backend.h"
#include "resources/layouts.h"

namespace xl {
namespace {

TEST(ShareSentence, BoxTextThenTheSuffix) {
    const Text suffix = "\r\n本句由您的好友用笑料工坊生成，网址:" + SiteBase();
    EXPECT_EQ(ShareSuffix(), suffix);
    EXPECT_EQ(SiteBase().rfind("http://", 0), 0u);
    EXPECT_NE(SiteBase().back(), '/');

    headless::Open(layout::kMainWindow);
    const char* boxes[] = {"", "头顶西瓜的某人在教室里砍柴", "typed\r\nby hand "};
    for (const char* box : boxes) {
        platform::SetText(layout::kMainWindow, layout::kSentenceBox, box);
        ShareSentence();
        ShareSentence();  // the clipboard is never read back, so nothing doubles
        EXPECT_EQ(headless::g_state.clipboard, Text(box) + suffix);
    }
    headless::CloseAll();
}

}  // namespace
}  // namespace xl
