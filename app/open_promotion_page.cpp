// The red promotion link: a press opens the product site's page in the default browser.
#include "handlers.h"
#include "platform/core/platform.h"
#include "platform/core/site.h"

namespace xl {

void OpenPromotionPage() { platform::OpenInDefaultBrowser(SiteBase() + "/?post=4"); }

}  // namespace xl
