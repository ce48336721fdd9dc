#include "listen_address.h"

#include <charconv>

namespace xl::site {

std::optional<ListenAddress> ParseListenAddress(std::string_view text) {
    std::string_view host = text;
    std::string_view port_text;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (!rest.starts_with(':')) return std::nullopt;
            port_text = rest.substr(1);
            if (port_text.empty()) return std::nullopt;
        }
    } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port_text = text.substr(colon + 1);
        // A bare IPv6 address would lose its last group here: it needs brackets.
        if (host.find(':') != std::string_view::npos || port_text.empty()) return std::nullopt;
    }
    if (host.empty()) return std::nullopt;

    ListenAddress address;
    address.port = 80;
    if (!port_text.empty()) {
        const char* end = port_text.data() + port_text.size();
        const auto [ptr, ec] = std::from_chars(port_text.data(), end, address.port);
        if (ec != std::errc() || ptr != end || address.port < 0 || address.port > 65535) {
            return std::nullopt;
        }
    }
    if (host == "localhost") {
        address.hosts = {{"127.0.0.1", true}, {"::1", false}};
    } else {
        address.hosts = {{std::string(host), true}};
    }
    return address;
}

std::string SiteUrl(std::string_view host, int port) {
    const bool v6 = host.find(':') != std::string_view::npos;
    std::string url = "http://";
    url += v6 ? "[" : "";
    url += host;
    url += v6 ? "]" : "";
    url += ":" + std::to_string(port);
    return url;
}

}  // namespace xl::site
