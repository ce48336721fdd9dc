// The submission handlers: the address they build and what they leave in the window.
#include <gtest/gtest.h>

#include "platform/core/site.h"
#include "platform/headless/headless_backend.h"
#include "resources/layouts.h"
#include "submission/open_submission_window.h"
#include "submission/submit_entry.h"

namespace xl {
namespace {

using namespace layout;

TEST(SubmissionAddress, CategoryPathThenTheTextsUnescaped) {
    struct Case {
        int category;
        const char* entry;
        const char* qq;
        const char* address;
    };
    const Case cases[] = {
        {0, "", "", "/softwere/post/xrc.asp?ct=&qq="},
        {1, "李白", "123", "/softwere/post/rm.asp?ct=李白&qq=123"},
        {2, "a b", "", "/softwere/post/dm.asp?ct=a b&qq="},
        {3, "ab", "123", "/softwere/post/sj.asp?ct=ab&qq=123"},
        {3, "x&y=1#%", "-1-", "/softwere/post/sj.asp?ct=x&y=1#%&qq=-1-"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SubmissionAddress(c.category, c.entry, c.qq), SiteBase() + c.address);
    }
}

TEST(SubmitEntry, SendsThenEmptiesTheEntryAndFocusesIt) {
    headless::g_state.dialog_user = [](headless::OpenWindow& window) {
        EXPECT_EQ(window.browser_addresses.size(), 1u);  // the home page on opening
        window.selections[kCategoryBox] = 3;
        window.texts[kEntryBox] = "ab";
        window.texts[kQqBox] = "123";
        SubmitEntry();
        SubmitEntry();  // again without typing: an empty entry, the same QQ
        EXPECT_EQ(window.texts[kEntryBox], "");
        EXPECT_EQ(window.focus, kEntryBox);
        EXPECT_EQ(window.texts[kQqBox], "123");
        EXPECT_EQ(window.selections[kCategoryBox], 3);
        EXPECT_EQ(window.redraws, 2);
        const std::vector<Text> expected = {
            FindControl(kSubmissionWindow, kBrowserView)->text,
            SiteBase() + "/softwere/post/sj.asp?ct=ab&qq=123",
            SiteBase() + "/softwere/post/sj.asp?ct=&qq=123",
        };
        EXPECT_EQ(window.browser_addresses, expected);
    };
    headless::Open(kMainWindow);
    OpenSubmissionWindow();
    EXPECT_EQ(headless::Find(kSubmissionWindow), nullptr);
    headless::g_state.dialog_user = nullptr;
    headless::CloseAll();
}

}  // namespace
}  // namespace xl
