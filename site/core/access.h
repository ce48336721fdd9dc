// Who may use the review pages: the maintainer, on the machine the site runs on.
#pragma once

#include <string_view>

namespace xl::site {

// 127.0.0.0/8, ::1, or an IPv4 loopback address mapped into IPv6 (::ffff:127.x.y.z).
bool IsLoopbackAddress(std::string_view address);

// The Host header names this machine ("localhost", a loopback address, with or without a
// port). Checked as well as the remote address, so that a page of another site whose name has
// been pointed at 127.0.0.1 cannot read the review page from the maintainer's own browser.
bool IsLocalHostHeader(std::string_view host);

// Both of the above.
bool MayReview(std::string_view remote_address, std::string_view host_header);

}  // namespace xl::site
