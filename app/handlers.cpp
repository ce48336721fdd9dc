#include "handlers.h"

#include "generator/generate_sentence.h"
#include "generator/share_sentence.h"
#include "submission/open_submission_window.h"
#include "submission/submit_entry.h"

namespace xl {
namespace {

// clang-format off
constexpr HandlerBinding kBindings[] = {
    // name                  routine
    {"MainWindowCreated",    MainWindowCreated},
    {"TickCredits",          TickCredits},
    {"OpenPromotionPage",    OpenPromotionPage},
    {"GenerateSentence",     GenerateSentence},
    {"ShareSentence",        ShareSentence},
    {"OpenSubmissionWindow", OpenSubmissionWindow},
    {"SubmitEntry",          SubmitEntry},
};
// clang-format on

}  // namespace

const std::span<const HandlerBinding> kHandlers{kBindings};

}  // namespace xl
