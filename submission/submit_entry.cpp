#include "submit_entry.h"

#include "platform/core/platform.h"
#include "platform/core/site.h"
#include "resources/layouts.h"

namespace xl {
namespace {

// By position in the category list.
constexpr const char* kCategoryPaths[] = {
    "/softwere/post/xrc.asp?ct=",  // 形容词
    "/softwere/post/rm.asp?ct=",   // 人名
    "/softwere/post/dm.asp?ct=",   // 地名
    "/softwere/post/sj.asp?ct=",   // 事件
};

}  // namespace

Text SubmissionAddress(int category, const Text& entry, const Text& qq) {
    // The list offers only its four items, so any other value is a fault of the window; the
    // first category is the one the window opens with.
    if (category < 0 || category > 3) category = 0;
    return SiteBase() + kCategoryPaths[category] + entry + "&qq=" + qq;
}

void SubmitEntry() {
    using namespace layout;
    const int category = platform::ComboSelection(kSubmissionWindow, kCategoryBox);
    const Text entry = platform::GetText(kSubmissionWindow, kEntryBox);
    const Text qq = platform::GetText(kSubmissionWindow, kQqBox);
    platform::SetBrowserAddress(kSubmissionWindow, kBrowserView,
                                SubmissionAddress(category, entry, qq));
    platform::RedrawNow(kSubmissionWindow, kBrowserView);
    platform::SetText(kSubmissionWindow, kEntryBox, "");
    platform::SetFocus(kSubmissionWindow, kEntryBox);
}

}  // namespace xl
