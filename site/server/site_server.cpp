#include "site_server.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

#include "site/core/access.h"
#include "site/core/categories.h"
#include "site/core/checks.h"
#include "site/core/pages.h"
#include "site/core/query.h"
#include "site/core/word_list_file.h"

namespace xl::site {
namespace {

using httplib::Request;
using httplib::Response;

constexpr std::size_t kWorkers = 32;

void SendPage(Response& res, int status, std::string page) {
    res.status = status;
    // Every answer is made for this one request; a submission must never be answered from a
    // cache without reaching the site.
    res.set_header("Cache-Control", "no-store");
    res.set_content(std::move(page), "text/html; charset=utf-8");
}

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// The query exactly as sent: httplib decodes req.params, which would lose the "&" that an entry
// may hold, so the request target is read instead (the browser never sends the fragment).
std::string_view RawQuery(const Request& req) {
    const std::string_view target = req.target;
    const std::size_t mark = target.find('?');
    return mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
}

std::string PercentEncode(std::string_view bytes) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
            b == '.' || b == '-' || b == '_') {
            out += c;
        } else {
            out += '%';
            out += kDigits[b >> 4];
            out += kDigits[b & 0xF];
        }
    }
    return out;
}

std::optional<Status> ShownStatus(const Request& req) {
    const std::string show = req.get_param_value("show");
    if (show == "all") return std::nullopt;
    return ParseStatus(show).value_or(Status::kPending);
}

std::string ReviewAddress(std::optional<Status> show, std::string_view category) {
    std::string address = "/review?show=";
    address += show ? StatusKey(*show) : "all";
    address += "#";
    address += category;
    return address;
}

}  // namespace

Site::Site(ProposalStore& store, int per_minute, std::string review_token)
    : store_(store),
      per_minute_(per_minute),
      limiter_(per_minute),
      review_token_(std::move(review_token)) {}

void Site::Mount(httplib::Server& server) {
    auto route = [this](void (Site::*handler)(const Request&, Response&)) {
        return [this, handler](const Request& req, Response& res) { (this->*handler)(req, res); };
    };
    server.Get("/", route(&Site::Home));
    server.Get(R"(/softwere/post/(xrc|rm|dm|sj)\.asp)", route(&Site::Submit));
    server.Get("/review", route(&Site::Review));
    server.Post("/review/decide", route(&Site::Decide));
    server.Get(R"(/review/export/(xrc|rm|dm|sj))", route(&Site::Export));

    server.set_error_handler(
        httplib::Server::HandlerWithResponse([](const Request&, Response& res) {
            // Pages of our own keep their body; only httplib's bare answers get one.
            if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
            if (res.status == 404) {
                SendPage(res, 404, NotFoundPage());
                return httplib::Server::HandlerResponse::Handled;
            }
            return httplib::Server::HandlerResponse::Unhandled;
        }));
    server.set_exception_handler([](const Request& req, Response& res, std::exception_ptr ep) {
        try {
            std::rethrow_exception(ep);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "xiaoliao-site: %s %s: %s\n", req.method.c_str(), req.path.c_str(),
                         e.what());
        }
        SendPage(res, 500, ServerErrorPage());
    });
    // httplib writes a response's head and body separately; with Nagle's algorithm the body
    // would wait for the client's delayed ACK, some 40 ms on every kept-alive request.
    server.set_tcp_nodelay(true);
    // Each open connection holds one worker for as long as it is kept alive, and httplib's
    // default pool has 8; a browser keeps its connection for the keep-alive timeout. httplib
    // takes the pool and deletes it when it stops.
    server.new_task_queue = [] {
        return std::make_unique<httplib::ThreadPool>(kWorkers).release();
    };
    server.set_keep_alive_max_count(100);
    // The site takes no uploads; form posts are a few dozen bytes.
    server.set_payload_max_length(64 * 1024);
}

void Site::Home(const Request& req, Response& res) {
    if (req.get_param_value("post") == "4") {
        SendPage(res, 200, PromotionPage());
    } else {
        SendPage(res, 200, HomePage());
    }
}

void Site::Submit(const Request& req, Response& res) {
    const Category& category = *FindCategory(req.matches[1].str());
    if (!limiter_.Allow(req.remote_addr, RateLimiter::Clock::now())) {
        res.set_header("Retry-After", "60");
        SendPage(res, 429, TooManyPage(per_minute_));
        return;
    }
    const std::string_view query = RawQuery(req);
    const ReceivedProposal proposal = ReadProposalQuery(query);
    if (const std::optional<Refusal> refusal = CheckProposal(proposal)) {
        SendPage(res, 400, RefusedPage(category, proposal, *refusal));
        return;
    }
    StoredProposal stored;
    stored.category = category.key;
    stored.entry = proposal.entry;
    stored.qq = proposal.qq;
    stored.raw_query = query;
    stored.received_ms = NowMs();
    stored.remote_address = req.remote_addr;
    const std::int64_t id = store_.Add(stored);
    SendPage(res, 200, ReceivedPage(category, proposal, id));
}

bool Site::CheckReviewer(const Request& req, Response& res) {
    if (MayReview(req.remote_addr, req.get_header_value("Host"))) return true;
    SendPage(res, 403, ReviewForbiddenPage());
    return false;
}

void Site::Review(const Request& req, Response& res) {
    if (!CheckReviewer(req, res)) return;
    ShowReview(req, res, 200, "");
}

void Site::ShowReview(const Request& req, Response& res, int status, std::string notice) {
    ReviewView view;
    view.show = ShownStatus(req);
    view.token = review_token_;
    view.notice = std::move(notice);
    const std::vector<ProposalCount> counts = store_.Counts();
    for (const ProposalCount& c : counts) view.counts[static_cast<int>(c.status)] += c.count;
    for (const Category& category : Categories()) {
        ReviewSection section;
        section.category = &category;
        for (const ProposalCount& c : counts) {
            if (c.category != category.key) continue;
            if (!view.show || c.status == *view.show) section.shown_total += c.count;
            if (c.status == Status::kAccepted) section.accepted += c.count;
        }
        section.proposals = store_.Newest(category.key, view.show, kReviewRows);
        view.sections.push_back(std::move(section));
    }
    SendPage(res, status, ReviewPage(view));
}

void Site::Decide(const Request& req, Response& res) {
    if (!CheckReviewer(req, res)) return;
    if (req.get_param_value("token") != review_token_) {
        ShowReview(req, res, 403, "这个表单已经过期（网站重启过），请在刷新后的页面上再操作一次。");
        return;
    }
    const std::string id_text = req.get_param_value("id");
    std::int64_t id = 0;
    const auto [end, ec] = std::from_chars(id_text.data(), id_text.data() + id_text.size(), id);
    const std::string action = req.get_param_value("action");
    const std::optional<StoredProposal> proposal =
        ec == std::errc() && end == id_text.data() + id_text.size() ? store_.Find(id)
                                                                    : std::nullopt;
    if (!proposal || (action != "accept" && action != "reject")) {
        ShowReview(req, res, 404, "没有这一条提交，或者操作不对。");
        return;
    }
    if (action == "accept") {
        if (const auto problem = WordListProblem(proposal->entry)) {
            ShowReview(req, res, 409,
                       "编号 " + id_text + " 不能采纳：" + std::string(*problem) + "可以拒绝它。");
            return;
        }
    }
    store_.Decide(id, action == "accept" ? Status::kAccepted : Status::kRejected, NowMs());
    // After a post, a redirect, so that reloading the page does not post again.
    res.set_redirect(ReviewAddress(ShownStatus(req), proposal->category), 303);
}

void Site::Export(const Request& req, Response& res) {
    if (!CheckReviewer(req, res)) return;
    const Category& category = *FindCategory(req.matches[1].str());
    const std::vector<std::string> entries = store_.AcceptedEntries(category.key);
    res.set_header("Cache-Control", "no-store");
    res.set_header("Content-Disposition", "attachment; filename=\"" + std::string(category.key) +
                                              ".txt\"; filename*=UTF-8''" +
                                              PercentEncode(category.list_file));
    res.set_content(GbkWordList(entries), "text/plain; charset=GBK");
}

}  // namespace xl::site
