// The --listen argument: where the site takes connections.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xl::site {

struct ListenHost {
    std::string address;
    bool required = true;  // false: the site may run without it (::1 on a host without IPv6)
};

struct ListenAddress {
    std::vector<ListenHost> hosts;  // each bound on its own, all on the same port
    int port = 0;                   // 0: any free port
};

// "host:port", "[v6 address]:port" or "host" for port 80. "localhost" stands for 127.0.0.1 and,
// where the machine has it, ::1: browsers may try either for that name.
std::optional<ListenAddress> ParseListenAddress(std::string_view text);

// How a client reaches a bound host: "http://127.0.0.1:8731", "http://[::1]:8731".
std::string SiteUrl(std::string_view host, int port);

}  // namespace xl::site
