#include "access.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace xl::site {

bool IsLoopbackAddress(std::string_view address) {
    const std::string text(address);
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.c_str(), &v6) == 1) {
        if (IN6_IS_ADDR_LOOPBACK(&v6)) return true;
        return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
    }
    return false;
}

bool IsLocalHostHeader(std::string_view host) {
    std::string_view name = host;
    if (name.starts_with('[')) {
        const std::size_t close = name.find(']');
        if (close == std::string_view::npos) return false;
        const std::string_view rest = name.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':')) return false;
        name = name.substr(1, close - 1);
        return IsLoopbackAddress(name) && name.find(':') != std::string_view::npos;
    }
    if (const std::size_t colon = name.find(':'); colon != std::string_view::npos) {
        name = name.substr(0, colon);
    }
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "localhost" || lower == "localhost.") return true;
    return IsLoopbackAddress(lower);
}

bool MayReview(std::string_view remote_address, std::string_view host_header) {
    return IsLoopbackAddress(remote_address) && IsLocalHostHeader(host_header);
}

}  // namespace xl::site
