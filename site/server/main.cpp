// xiaoliao-site: the product site that the program's submission window talks to.
//
//   xiaoliao-site [--listen HOST:PORT]... --db FILE [--rate-limit N]
//
// Prints "listening on http://HOST:PORT" once it takes connections, and stops cleanly on
// SIGINT or SIGTERM.

#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "proposal_store.h"
#include "site/core/listen_address.h"
#include "site_server.h"

namespace {

using namespace xl::site;

// The program's own site host, set when building: the site answers where the program looks.
constexpr std::string_view kDefaultListen = XL_SITE_DEFAULT_LISTEN;
constexpr int kDefaultRateLimit = 30;

struct Options {
    std::vector<std::string> listen;
    std::string db;
    int rate_limit = kDefaultRateLimit;
};

void Usage(std::FILE* to) {
    std::fprintf(to,
                 "usage: xiaoliao-site [--listen HOST:PORT]... --db FILE [--rate-limit N]\n"
                 "  --listen      where to take connections (default %.*s); port 0 picks a\n"
                 "                free port; localhost means 127.0.0.1 and ::1\n"
                 "  --db          the SQLite file of the proposals, created when missing\n"
                 "  --rate-limit  proposals a minute from one address (default %d; 0: no limit)\n",
                 static_cast<int>(kDefaultListen.size()), kDefaultListen.data(), kDefaultRateLimit);
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) return false;
        const std::string_view value = argv[++i];
        if (arg == "--listen") {
            options.listen.emplace_back(value);
        } else if (arg == "--db") {
            options.db = value;
        } else if (arg == "--rate-limit") {
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), options.rate_limit);
            if (ec != std::errc() || end != value.data() + value.size() || options.rate_limit < 0) {
                return false;
            }
        } else {
            return false;
        }
    }
    if (options.listen.empty()) options.listen.emplace_back(kDefaultListen);
    return !options.db.empty();
}

// A fresh secret each run for the review forms, so that a page of another site cannot post a
// decision through the maintainer's browser.
std::string NewToken() {
    std::random_device device;
    std::string token;
    constexpr char kDigits[] = "0123456789abcdef";
    for (int i = 0; i < 32; ++i) token += kDigits[device() & 0xF];
    return token;
}

// One server on one address. Not movable: the socket hook points into it.
struct Listener {
    httplib::Server server;
    std::string url;
    int socket = -1;  // the listening socket, as the socket hook saw it
    std::jthread thread;

    Listener() {
        server.set_socket_options([this](socket_t sock) {
            // httplib's own options add SO_REUSEPORT, which would let a second site (one left
            // running, say) share the port and take part of the proposals into its own
            // database. SO_REUSEADDR alone allows a restart while old connections linger.
            int yes = 1;
            setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
            socket = sock;
        });
    }

    bool Bind(const std::string& host, int& port) {
        if (port == 0) {
            port = server.bind_to_any_port(host);
            if (port <= 0) port = 0;
        } else if (!server.bind_to_port(host, port)) {
            return false;
        }
        // httplib 0.11 listens with a backlog of 5: a burst of new connections beyond that has
        // its SYNs dropped and waits a second for the retry. Listening again only raises it.
        if (port != 0 && socket >= 0) listen(socket, SOMAXCONN);
        return port != 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        Usage(stderr);
        return 2;
    }

    // Stop signals are taken by sigwait below, not by whichever thread they hit; the worker
    // threads inherit the mask.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    try {
        ProposalStore store(options.db);
        Site site(store, options.rate_limit, NewToken());

        std::vector<std::unique_ptr<Listener>> listeners;
        for (const std::string& text : options.listen) {
            const std::optional<ListenAddress> address = ParseListenAddress(text);
            if (!address) {
                std::fprintf(stderr, "xiaoliao-site: not an address to listen on: %s\n",
                             text.c_str());
                return 2;
            }
            int port = address->port;
            for (const ListenHost& host : address->hosts) {
                auto listener = std::make_unique<Listener>();
                site.Mount(listener->server);
                if (!listener->Bind(host.address, port)) {
                    std::fprintf(stderr, "xiaoliao-site: cannot listen on %s port %d%s\n",
                                 host.address.c_str(), port, host.required ? "" : "; going on");
                    if (host.required) return 1;
                    continue;
                }
                listener->url = SiteUrl(host.address, port);
                listeners.push_back(std::move(listener));
            }
        }

        for (auto& l : listeners) {
            l->thread = std::jthread([&server = l->server] { server.listen_after_bind(); });
        }
        // Ready once every server accepts; stop() before that would not reach it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (auto& l : listeners) {
            while (!l->server.is_running() && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        std::printf("listening on %s\n", listeners.front()->url.c_str());
        std::fflush(stdout);
        for (std::size_t i = 1; i < listeners.size(); ++i) {
            std::fprintf(stderr, "xiaoliao-site: also listening on %s\n",
                         listeners[i]->url.c_str());
        }

        int signal_number = 0;
        sigwait(&stop_signals, &signal_number);
        for (auto& l : listeners) l->server.stop();
        for (auto& l : listeners) l->thread.join();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "xiaoliao-site: %s\n", e.what());
        return 1;
    }
    return 0;
}
