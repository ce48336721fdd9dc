#include "checks.h"

#include <algorithm>

#include "utf8.h"

namespace xl::site {

bool IsAcceptableQq(std::string_view qq) {
    if (qq.empty()) return true;
    return qq.size() >= 5 && qq.size() <= 10 &&
           std::all_of(qq.begin(), qq.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<Refusal> CheckProposal(const ReceivedProposal& proposal) {
    if (!proposal.has_entry) return Refusal::kNoEntry;
    if (!proposal.has_qq) return Refusal::kNoQq;
    if (proposal.entry.empty()) return Refusal::kEmptyEntry;
    if (CharacterCount(proposal.entry) > kMaxEntryCharacters) return Refusal::kEntryTooLong;
    if (!IsAcceptableQq(proposal.qq)) return Refusal::kBadQq;
    return std::nullopt;
}

std::string_view RefusalReason(Refusal refusal) {
    switch (refusal) {
    case Refusal::kNoEntry: return "地址里没有词条（缺少 ct=）。";
    case Refusal::kNoQq: return "地址里没有 QQ 一项（缺少 &qq=）。";
    case Refusal::kEmptyEntry: return "词条是空的，请先写下要提交的词条。";
    case Refusal::kEntryTooLong: return "词条太长了：最多 100 个字。";
    case Refusal::kBadQq: return "QQ 号应为 5 到 10 位数字，也可以不填。";
    }
    return "";
}

}  // namespace xl::site
