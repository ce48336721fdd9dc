// The credits line under the buttons, which steps through its six lines on every timer tick.
#include "credits_ticker.h"

#include "handlers.h"
#include "platform/core/platform.h"
#include "platform/core/word_list.h"
#include "resources/layouts.h"

namespace xl {

const std::string_view kCreditsText =
    "创意源于生活！~\r\n"
    "程序设计：Vexlo\r\n"
    "形容词收录：Vexlo\r\n"
    "姓名收录：Olvin\r\n"
    "地点收录：K.松果\r\n"
    "事件收录：莫洛克";

std::int32_t g_credit_counter = 0;

void ResetCreditCounter() { g_credit_counter = 0; }

void TickCredits() {
    // Split afresh on every tick; no list outlives the tick. The wrap is the fixed six lines.
    const WordList lines = SplitText(Text(kCreditsText), "\r\n");
    if (g_credit_counter == 0 || g_credit_counter == 6) g_credit_counter = 0;
    ++g_credit_counter;
    platform::SetText(layout::kMainWindow, layout::kCreditsLine,
                      Text(lines.Entry(g_credit_counter)));
}

}  // namespace xl
