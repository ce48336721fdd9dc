// The product site, whose host is fixed when the program is built.
#pragma once

#include "text.h"

namespace xl {

// "http://" and the site's host, with no trailing slash.
const Text& SiteBase();

// The host alone, as the status bar shows it.
const Text& SiteHost();

// The QQ number that the status bar gives as the contact.
const Text& ContactQq();

}  // namespace xl
