// The program's resident set must stop growing: 2,000 presses of 生成 and of 分享, and 20 openings
// of the submission window, in this process with the real windows and handlers. The window loads
// its page from a stand-in site on the loopback address, at the port of the site address the
// program was built with. Prints the figures; fails on steady growth, not on a size.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/handlers.h"
#include "platform/gtk/gtk_backend.h"
#include "platform/gtk/tests/resident_growth.h"
#include "platform/posix/posix_files.h"
#include "resources/layouts.h"
#include "site_config.h"

// GCC says so with __SANITIZE_ADDRESS__, Clang through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define XL_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XL_ADDRESS_SANITIZER 1
#endif
#endif

namespace xl::gtk {
namespace {

namespace fs = std::filesystem;
using xl::testing::GrowthRule;
using xl::testing::KeepsGrowing;

const WindowDesign* const kWindows[] = {&layout::kMainWindow, &layout::kSubmissionWindow};

constexpr int kPressBatches = 10;
constexpr int kPressesPerBatch = 200;
constexpr int kOpenings = 20;

// The first sample is taken before any press, the second after the first batch, which fills the
// toolkit's caches of glyphs and text layout. After that a leak of 10 bytes a press is a page a
// batch.
constexpr GrowthRule kPressRule{.warm_up = 2, .kib_per_batch = 4};
// The first opening loads WebKit, and the second still adds to its caches. After that WebKit
// itself keeps some 5 to 10 KiB an opening in this process (a bare WebKit program that opens and
// closes views does too), and the set goes up and down by a few pages.
constexpr GrowthRule kOpeningRule{.warm_up = 3, .kib_per_batch = 32};

// The page's load handler asks for /loaded once the page is in, so the site can tell that the
// opening has loaded its page.
constexpr std::string_view kPage =
    "<!doctype html><html><head><meta charset='utf-8'><link rel='icon' href='data:,'></head>"
    "<body><p>stand-in site</p><script>addEventListener('load', function () {"
    " new Image().src = '/loaded'; });</script></body></html>";

long ResidentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
    }
    return -1;
}

std::string Figures(const std::vector<long>& samples) {
    std::string text;
    for (long kib : samples) {
        text += ' ';
        text += std::to_string(kib);
    }
    return text;
}

void Drain() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

// Answers one connection at a time in a thread of its own, one request per connection, and
// counts the loads of the page.
class StandInSite {
public:
    StandInSite() : listener_(g_socket_listener_new()), stop_(g_cancellable_new()) {}

    ~StandInSite() {
        g_cancellable_cancel(stop_.get());
        if (thread_.joinable()) thread_.join();
        g_socket_listener_close(listener_.get());
    }

    // Listens on the loopback addresses at that port; false with a message when it cannot.
    bool Listen(guint16 port, std::string& why) {
        int listening = 0;
        for (const char* address : {"127.0.0.1", "::1"}) {
            Ref<GSocketAddress> at(g_inet_socket_address_new_from_string(address, port));
            GError* error = nullptr;
            if (g_socket_listener_add_address(listener_.get(), at.get(), G_SOCKET_TYPE_STREAM,
                                              G_SOCKET_PROTOCOL_TCP, nullptr, nullptr, &error)) {
                ++listening;
                continue;
            }
            // A machine without IPv6 has no ::1; a port that is taken is a failure.
            const bool taken = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_ADDRESS_IN_USE);
            why = std::string(address) + ": " + error->message;
            g_error_free(error);
            if (taken || std::string_view(address) == "127.0.0.1") return false;
        }
        thread_ = std::thread([this] { Serve(); });
        return listening > 0;
    }

    int pages_loaded() const { return loaded_.load(); }

private:
    void Serve() {
        while (!g_cancellable_is_cancelled(stop_.get())) {
            Ref<GSocketConnection> connection(
                g_socket_listener_accept(listener_.get(), nullptr, stop_.get(), nullptr));
            if (connection) Answer(connection.get());
        }
    }

    void Answer(GSocketConnection* connection) {
        GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(connection));
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            const gssize n = g_input_stream_read(in, buffer, sizeof buffer, stop_.get(), nullptr);
            if (n <= 0) return;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        const std::size_t start = request.find(' ') + 1;
        const std::string target = request.substr(start, request.find(' ', start) - start);
        const std::string_view body = target == "/" ? kPage : std::string_view();
        std::string answer = target == "/" ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 204 No Content\r\n";
        answer += "Content-Type: text/html; charset=utf-8\r\n";
        // Every opening loads from the site, and every request comes on a connection of its own.
        answer += "Cache-Control: no-store\r\nConnection: close\r\n";
        answer += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
        answer += body;
        GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
        g_output_stream_write_all(out, answer.data(), answer.size(), nullptr, stop_.get(), nullptr);
        g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
        if (target == "/loaded") ++loaded_;
    }

    Ref<GSocketListener> listener_;
    Ref<GCancellable> stop_;
    std::thread thread_;
    std::atomic<int> loaded_{0};
};

// The port of the site address the program was built with, when the address is on this machine.
int SitePort(std::string_view host) {
    const std::size_t colon = host.rfind(':');
    if (colon == std::string_view::npos) return -1;
    const std::string_view name = host.substr(0, colon);
    if (name != "localhost" && name != "127.0.0.1") return -1;
    const int port = std::stoi(std::string(host.substr(colon + 1)));
    return port > 0 && port < 65536 ? port : -1;
}

TEST(KeepsGrowing, TellsSteadyGrowthFromASingleRiseAndFromNoise) {
    struct Case {
        const char* what;
        GrowthRule rule;
        std::vector<long> samples;
        bool growing;
    };
    const Case cases[] = {
        {"flat after the first batch",
         kPressRule,
         {31480, 33092, 33108, 33108, 33108, 33108, 33108, 33116, 33124, 33124, 33124},
         false},
        {"a page now and then",
         kPressRule,
         {31480, 33092, 33096, 33096, 33100, 33100, 33100, 33104, 33104, 33104, 33108},
         false},
        {"a leak of two pages a batch",
         kPressRule,
         {31480, 33092, 33100, 33108, 33116, 33124, 33132, 33140, 33148, 33156, 33164},
         true},
        {"a leak that skips a batch now and then",
         kPressRule,
         {31480, 33092, 33112, 33112, 33136, 33160, 33160, 33184, 33208, 33208, 33232},
         true},
        {"one jump, then flat",
         kPressRule,
         {31480, 33092, 33100, 33100, 33100, 33100, 33400, 33400, 33400, 33400, 33400},
         false},
        {"growth during the warm-up only",
         kPressRule,
         {31480, 32000, 33000, 33000, 33000, 33000, 33000, 33000, 33000, 33000, 33000},
         false},
        {"a rise that falls back",
         kPressRule,
         {31480, 33000, 33000, 33100, 33200, 33300, 33400, 33500, 33000, 33000, 33000},
         false},
        {"too few samples to tell", kPressRule, {31480, 33000, 33100, 33200}, false},
        {"openings going up and down",
         kOpeningRule,
         {31784,  143000, 144816, 145196, 145208, 145204, 145224, 144836, 145220, 145212, 144840,
          144968, 144972, 145384, 145240, 145640, 145268, 145240, 145620, 145280, 145332},
         false},
        {"openings that keep a view each",
         kOpeningRule,
         {31784,  143000, 144816, 145196, 145608, 146004, 146424, 146836, 147220, 147612, 148040,
          148368, 148772, 149184, 149640, 150040, 150468, 150840, 151220, 151680, 152032},
         true},
        {"openings that keep a view each, with noise",
         kOpeningRule,
         {31784,  143000, 144816, 145196, 146008, 145604, 146824, 146436, 147620, 147212, 148440,
          147968, 149172, 148784, 150040, 149640, 150868, 150440, 151620, 151280, 152432},
         true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeepsGrowing(c.samples, c.rule), c.growing) << c.what;
    }
}

class GrowthTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { platform::SetUp(kWindows, kHandlers); }

    void SetUp() override {
#if defined(XL_ADDRESS_SANITIZER)
        GTEST_SKIP() << "AddressSanitizer holds freed memory back in its quarantine, so the "
                        "resident set grows by design";
#endif
        std::string pattern = (fs::temp_directory_path() / "xl-growth-XXXXXX").string();
        run_dir_ = ::mkdtemp(pattern.data());
        posix::UseRunDirectory(run_dir_ + "/");
        // The program's files beside it: the skin library that the main window binds at its
        // creation and the view module that the submission window loads.
        fs::copy_file(XL_SKIN_LIBRARY, fs::path(run_dir_) / "SkinH_EL.dll");
        fs::copy_file(XL_WEB_VIEW_MODULE_FILE,
                      fs::path(run_dir_) / fs::path(XL_WEB_VIEW_MODULE_FILE).filename());
        platform::LoadStartupWindow(layout::kMainWindow);
        main_ = FindWindow(layout::kMainWindow);
        ASSERT_NE(main_, nullptr);
        Drain();
    }

    void TearDown() override {
        if (FindWindow(layout::kMainWindow)) gtk_widget_destroy(main_->window);
        Drain();
        fs::remove_all(run_dir_);
    }

    GtkButton* Button(std::string_view name) {
        for (auto& control : main_->controls) {
            if (name == control->design->name) return GTK_BUTTON(control->widget);
        }
        ADD_FAILURE() << "no button " << name;
        return nullptr;
    }

    std::string run_dir_;
    LiveWindow* main_ = nullptr;
};

TEST_F(GrowthTest, PressesOfGenerateAndShare) {
    GtkButton* generate = Button("生成");
    GtkButton* share = Button("分享");
    ASSERT_TRUE(generate && share);
    std::vector<long> samples{ResidentKib()};
    for (int batch = 0; batch < kPressBatches; ++batch) {
        for (int i = 0; i < kPressesPerBatch; ++i) {
            gtk_button_clicked(generate);
            // Drawn as the user sees it. The toolkit keeps the glyphs it has drawn in a cache,
            // which fills as sentences bring characters not yet drawn; it is bounded.
            platform::RedrawNow(layout::kMainWindow, layout::kSentenceBox);
            gtk_button_clicked(share);
        }
        // What the presses queued (the clipboard's ownership) is handled before the sample.
        Drain();
        samples.push_back(ResidentKib());
    }
    EXPECT_FALSE(platform::GetText(layout::kMainWindow, layout::kSentenceBox).empty());
    std::printf("resident set (KiB) at the start and after each %d presses of both buttons:%s\n",
                kPressesPerBatch, Figures(samples).c_str());
    RecordProperty("resident_kib", Figures(samples));
    EXPECT_FALSE(KeepsGrowing(samples, kPressRule))
        << "the resident set keeps growing:" << Figures(samples);
}

// Closes the submission window a little after the page of this opening has loaded, as a reader
// would, or after ten seconds. WebKit draws and ends its requests just after the load event; a
// view closed in the middle of that leaves buffers behind that come and go by some 400 KiB from
// one opening to the next, which would hide a leak of ours.
struct Closer {
    static constexpr gint64 kReadingTime = 300 * 1000;  // microseconds

    const StandInSite* site;
    int loads_before;
    gint64 deadline;
    gint64 loaded_at = 0;
    bool closed = false;

    bool loaded() const { return loaded_at != 0; }

    static gboolean Poll(gpointer data) {
        auto* closer = static_cast<Closer*>(data);
        LiveWindow* dialog = FindWindow(layout::kSubmissionWindow);
        if (!dialog) return G_SOURCE_CONTINUE;  // not built yet
        const gint64 now = g_get_monotonic_time();
        if (!closer->loaded() && closer->site->pages_loaded() > closer->loads_before) {
            closer->loaded_at = now;
        }
        const bool read = closer->loaded() && now >= closer->loaded_at + kReadingTime;
        if (!read && now < closer->deadline) return G_SOURCE_CONTINUE;
        // As the close button does it: a delete event, after which the window is destroyed.
        gtk_window_close(GTK_WINDOW(dialog->window));
        closer->closed = true;
        return G_SOURCE_REMOVE;
    }
};

TEST_F(GrowthTest, OpeningsOfTheSubmissionWindow) {
    const int port = SitePort(XL_SITE_HOST);
    ASSERT_GT(port, 0) << "the program was built for the site " XL_SITE_HOST
                          "; this test needs localhost:<port> or 127.0.0.1:<port>";
    StandInSite site;
    std::string why;
    ASSERT_TRUE(site.Listen(static_cast<guint16>(port), why))
        << "cannot listen on the loopback address at port " << port << " (" << why
        << "): the submission window loads its page from " XL_SITE_HOST;
    GtkButton* submit = Button("提交");
    ASSERT_TRUE(submit);

    std::vector<long> samples{ResidentKib()};
    for (int opening = 0; opening < kOpenings; ++opening) {
        Closer closer{&site, site.pages_loaded(), g_get_monotonic_time() + 10 * G_USEC_PER_SEC};
        const guint poll = g_timeout_add(10, Closer::Poll, &closer);
        // Runs the modal window's own loop until the closer has closed it.
        gtk_button_clicked(submit);
        if (!closer.closed) g_source_remove(poll);
        ASSERT_TRUE(closer.closed) << "opening " << opening + 1 << ": the window did not open";
        EXPECT_TRUE(closer.loaded()) << "opening " << opening + 1 << ": the page did not load";
        ASSERT_EQ(FindWindow(layout::kSubmissionWindow), nullptr);
        Drain();
        samples.push_back(ResidentKib());
    }
    std::printf("resident set (KiB) before the first opening and after each:%s\n",
                Figures(samples).c_str());
    RecordProperty("resident_kib", Figures(samples));
    EXPECT_FALSE(KeepsGrowing(samples, kOpeningRule))
        << "the resident set keeps growing:" << Figures(samples);
}

}  // namespace
}  // namespace xl::gtk
