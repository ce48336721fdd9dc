// The credits line's ticks.
#include <gtest/gtest.h>

#include "app/credits_ticker.h"
#include "app/handlers.h"
#include "platform/core/word_list.h"
#include "platform/headless/headless_backend.h"
#include "resources/layouts.h"

namespace xl {
namespace {

TEST(CreditsTicker, StepsThroughSixLinesShowingTheFirstTwiceAtFirst) {
    EXPECT_EQ(kCreditsText.size(), 104u);
    const WordList lines = SplitText(Text(kCreditsText), "\r\n");
    ASSERT_EQ(lines.Count(), 6);
    EXPECT_EQ(lines.Entry(1), "创意源于生活！~");
    EXPECT_EQ(lines.Entry(5), "地点收录：K.松果");

    headless::Open(layout::kMainWindow);
    g_credit_counter = 4;
    ResetCreditCounter();
    const int expected[] = {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 1, 2};
    for (int line : expected) {
        TickCredits();
        EXPECT_EQ(g_credit_counter, line);
        EXPECT_EQ(platform::GetText(layout::kMainWindow, layout::kCreditsLine), lines.Entry(line));
    }
    headless::CloseAll();
}

}  // namespace
}  // namespace xl
