// The load client of bench/site_load.sh: keeps a number of connections busy with proposals for
// a number of seconds, one request at a time on each, and reports what came back.
//
//   xiaoliao-site-load PORT SECONDS CONNECTIONS OK_FILE
//
// Each proposal has an entry of its own, in Chinese and holding "&", sent the way the browser
// sends the program's address (UTF-8 percent-encoded, the "&" as typed). OK_FILE gets one line
// per proposal answered 200, "category<TAB>entry", so the script can find each row once.

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kCategories[] = {"xrc", "rm", "dm", "sj"};

struct Tally {
    std::vector<double> latencies_ms;
    std::vector<std::string> ok_lines;
    long other_status = 0;
    long failed = 0;
};

void Run(int port, Clock::time_point deadline, int connection, Tally& tally) {
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    // The path is already encoded as a browser would send it.
    client.set_url_encode(false);
    for (long n = 0; Clock::now() < deadline; ++n) {
        const char* category = kCategories[n % 4];
        const std::string tag = std::to_string(connection) + "-" + std::to_string(n);
        // 压测 is "load test".
        const std::string path = std::string("/softwere/post/") + category +
                                 ".asp?ct=%E5%8E%8B%E6%B5%8B&" + tag + "&qq=12345";
        const Clock::time_point start = Clock::now();
        const httplib::Result result = client.Get(path);
        const Clock::time_point end = Clock::now();
        if (!result) {
            ++tally.failed;
            continue;
        }
        tally.latencies_ms.push_back(
            std::chrono::duration<double, std::milli>(end - start).count());
        if (result->status == 200) {
            tally.ok_lines.push_back(std::string(category) + "\t压测&" + tag);
        } else {
            ++tally.other_status;
        }
    }
}

double Percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    const auto at = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(at, sorted.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: xiaoliao-site-load PORT SECONDS CONNECTIONS OK_FILE\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const int seconds = std::atoi(argv[2]);
    const int connections = std::atoi(argv[3]);
    if (port <= 0 || seconds <= 0 || seconds > 60 || connections <= 0 || connections > 256) {
        std::fprintf(stderr, "xiaoliao-site-load: 1 to 60 seconds, 1 to 256 connections\n");
        return 2;
    }

    std::vector<Tally> tallies(static_cast<std::size_t>(connections));
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + std::chrono::seconds(seconds);
    {
        std::vector<std::jthread> threads;
        for (int i = 0; i < connections; ++i) {
            threads.emplace_back(Run, port, deadline, i, std::ref(tallies[i]));
        }
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    std::vector<double> latencies;
    long ok = 0, other = 0, failed = 0;
    std::ofstream ok_file(argv[4], std::ios::binary);
    for (const Tally& t : tallies) {
        latencies.insert(latencies.end(), t.latencies_ms.begin(), t.latencies_ms.end());
        for (const std::string& line : t.ok_lines) ok_file << line << '\n';
        ok += static_cast<long>(t.ok_lines.size());
        other += t.other_status;
        failed += t.failed;
    }
    std::sort(latencies.begin(), latencies.end());
    // key=value lines for the script.
    std::printf("seconds=%.2f\n", elapsed);
    std::printf("answered=%zu\nok=%ld\nother_status=%ld\nfailed=%ld\n", latencies.size(), ok, other,
                failed);
    std::printf("requests_per_second=%.0f\n", static_cast<double>(latencies.size()) / elapsed);
    const auto slow =
        std::count_if(latencies.begin(), latencies.end(), [](double ms) { return ms > 100; });
    std::printf("over_100_ms=%ld\n", static_cast<long>(slow));
    std::printf("p50_ms=%.3f\np99_ms=%.3f\nmax_ms=%.3f\n", Percentile(latencies, 0.50),
                Percentile(latencies, 0.99), latencies.empty() ? 0.0 : latencies.back());
    return ok_file ? 0 : 1;
}
