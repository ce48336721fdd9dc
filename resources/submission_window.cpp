#include "layouts.h"
#include "site_config.h"

namespace xl::layout {

const char kCategoryBox[] = "类型";
const char kEntryBox[] = "词条";
const char kQqBox[] = "QQ";
const char kBrowserView[] = "浏览器";

namespace {

using enum ControlKind;

// clang-format off
constexpr ControlDesign kControls[] = {
    // kind        name           x    y    w    h  text                              handler
    {BrowserView, kBrowserView,   6,   8, 432, 224, XL_SITE_HOST,                     nullptr},
    {Label,       "透明标签2",   12, 245,  56,  16, "词条类型",                       nullptr},
    {ComboBox,    kCategoryBox,  87, 241, 100,  20, "形容词\r\n人名\r\n地名\r\n事件", nullptr},
    {Label,       "透明标签1",   12, 273,  80,  16, "欲提交的词条",                   nullptr},
    {EditBox,     kEntryBox,     87, 269, 166,  20, "",                               nullptr},
    {Label,       "透明标签3",   12, 296,  64,  16, "您的QQ",                         nullptr},
    {EditBox,     kQqBox,        88, 296, 120,  16, "",                               nullptr,
     {.max_length = 10, .integer_input = true}},
    {Button,      "提交",       320, 254, 105,  48, "提交",                           "SubmitEntry",
     {.default_button = true}},
};
// clang-format on

constexpr const char* kFocusOrder[] = {kCategoryBox, kEntryBox, kQqBox, "提交", kBrowserView};

}  // namespace

const WindowDesign kSubmissionWindow = {
    .name = "创意提交窗口",
    .title = "创意提交",
    .width = 450,
    .height = 355,
    .minimise_button = false,
    .taskbar_button = false,
    .program_icon = false,
    .created_handler = nullptr,
    .controls = kControls,
    .focus_order = kFocusOrder,
};

}  // namespace xl::layout
