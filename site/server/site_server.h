// The site's routes on cpp-httplib: the pages, the four submission paths, the review pages.
#pragma once

#include <httplib.h>

#include <string>

#include "proposal_store.h"
#include "site/core/rate_limiter.h"

namespace xl::site {

class Site {
public:
    // `per_minute` proposals a minute from one address; 0 for no limit. `review_token` must
    // come back with each review decision.
    Site(ProposalStore& store, int per_minute, std::string review_token);

    // Routes the server's requests here; several servers (one per address) may share a Site.
    void Mount(httplib::Server& server);

private:
    void Home(const httplib::Request& req, httplib::Response& res);
    void Submit(const httplib::Request& req, httplib::Response& res);
    void Review(const httplib::Request& req, httplib::Response& res);
    void Decide(const httplib::Request& req, httplib::Response& res);
    void Export(const httplib::Request& req, httplib::Response& res);

    // Answers 403 and returns false unless the request comes from this machine.
    bool CheckReviewer(const httplib::Request& req, httplib::Response& res);
    void ShowReview(const httplib::Request& req, httplib::Response& res, int status,
                    std::string notice);

    ProposalStore& store_;
    const int per_minute_;
    RateLimiter limiter_;
    const std::string review_token_;
};

}  // namespace xl::site
