#include "layouts.h"
#include "site_config.h"

namespace xl::layout {

const char kSentenceBox[] = "整蛊文本";
const char kCreditsLine[] = "版权文本";

namespace {

using enum ControlKind;

// clang-format off
constexpr ControlDesign kControls[] = {
    // kind      name           x    y    w    h  text                         handler
    {EditBox,   kSentenceBox,   8,   8, 376,  56, "",                          nullptr,
     {.multiline = true}},
    {Button,    "生成",         7,  64,  80,  24, "生成",                      "GenerateSentence"},
    {Button,    "提交",       155,  64,  80,  24, "创意提交",                  "OpenSubmissionWindow"},
    {Button,    "分享",       304,  64,  80,  24, "分享",                      "ShareSentence"},
    {Label,     "透明标签1",  115,  94, 176,  16, "推荐：系统加速神器-极光哨", "OpenPromotionPage",
     {.colour = {255, 0, 0}}},
    {Label,     kCreditsLine,  63, 120, 280,  16, "创意源于生活！~",           nullptr,
     {.colour = {255, 168, 255}, .align = Align::Centre, .wrap = true}},
    {Timer,     "版权展示",     0,   0,   0,   0, "",                          "TickCredits",
     {.period_ms = 3000}},
    // The status bar is docked at the bottom across the client width; its row gives only its
    // panes.
    {StatusBar, "状态条1",      0,   0,   0,   0,
     "作者：Vexlo QQ" XL_CONTACT_QQ " 网址:" XL_SITE_HOST "\r\nVar1.0",    nullptr,
     {.pane_edges = {300, 391}}},
};
// clang-format on

constexpr const char* kFocusOrder[] = {kSentenceBox, "生成", "分享", "提交"};

}  // namespace

const WindowDesign kMainWindow = {
    .name = "启动窗口",
    .title = "笑料工坊 V1.0",
    .width = 397,
    .height = 188,
    .minimise_button = true,
    .taskbar_button = true,
    .program_icon = true,
    .created_handler = "MainWindowCreated",
    .controls = kControls,
    .focus_order = kFocusOrder,
};

}  // namespace xl::layout
