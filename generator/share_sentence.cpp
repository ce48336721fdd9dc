#include "share_sentence.h"

#include "platform/core/platform.h"
#include "platform/core/site.h"
#include "resources/layouts.h"

namespace xl {

const Text& ShareSuffix() {
    static const Text suffix = "\r\n本句由您的好友用笑料工坊生成，网址:" + SiteBase();
    return suffix;
}

void ShareSentence() {
    platform::SetClipboardText(platform::GetText(layout::kMainWindow, layout::kSentenceBox) +
                               ShareSuffix());
}

}  // namespace xl
