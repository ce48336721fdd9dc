#include "site.h"

#include "site_config.h"

namespace xl {

const Text& SiteBase() {
    static const Text base = "http://" XL_SITE_HOST;
    return base;
}

const Text& SiteHost() {
    static const Text host = XL_SITE_HOST;
    return host;
}

const Text& ContactQq() {
    static const Text qq = XL_CONTACT_QQ;
    return qq;
}

}  // namespace xl
