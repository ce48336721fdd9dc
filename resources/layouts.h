// The program's two window designs and the names of the controls that handlers address.
#pragma once

#include "platform/core/window_design.h"

namespace xl::layout {

extern const WindowDesign kMainWindow;
extern const char kSentenceBox[];  // 整蛊文本
extern const char kCreditsLine[];  // 版权文本

extern const WindowDesign kSubmissionWindow;
extern const char kCategoryBox[];  // 类型
extern const char kEntryBox[];     // 词条
extern const char kQqBox[];        // QQ
extern const char kBrowserView[];  // 浏览器

}  // namespace xl::layout
