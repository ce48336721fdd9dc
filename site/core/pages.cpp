#include "pages.h"

#include "html.h"
#include "utf8.h"

namespace xl::site {
namespace {

// Sized for the program's 432 × 224 view first: a 13 px font and narrow margins let a short
// page fit without scrolling; wider screens just get a centred column.
constexpr std::string_view kStyle = R"css(
body{margin:0;background:#fffaf0;color:#333;
font:13px/1.5 "WenQuanYi Micro Hei","Microsoft YaHei","PingFang SC",sans-serif}
main{max-width:46em;margin:0 auto;padding:6px 12px 10px}
h1{font-size:17px;margin:2px 0 4px;color:#c0392b}
h1.ok{color:#2e8b57}
h2{font-size:14px;margin:14px 0 4px;border-bottom:1px solid #eadfcc}
p{margin:3px 0}
a{color:#c0392b}
.muted{color:#888}
.entry{font-weight:bold;word-break:break-all}
.raw{font-family:monospace;font-weight:normal;background:#fde2e2;color:#900;padding:0 1px}
table{border-collapse:collapse}
.review{width:100%}
th,td{text-align:left;vertical-align:top;padding:1px 10px 1px 0}
th{font-weight:normal;color:#888;white-space:nowrap}
.review td,.review th{border-bottom:1px solid #f0e6d6;padding:3px 10px 3px 0}
.review form{margin:0;white-space:nowrap}
.notice{background:#fff1c1;padding:3px 6px}
nav a{margin-right:10px}
nav a.on{font-weight:bold;text-decoration:none;color:#333}
ul{margin:3px 0;padding-left:20px}
)css";

std::string Document(std::string_view title, std::string_view body) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
        "<title>";
    page += title;
    page += "</title><style>";
    page += kStyle;
    page += "</style></head><body><main>\n";
    page += body;
    page += "\n</main></body></html>\n";
    return page;
}

std::string QqText(const ReceivedProposal& p) {
    return p.qq.empty() ? "<span class=\"muted\">（没填）</span>" : Html(p.qq);
}

std::string Row(std::string_view label, std::string_view html) {
    std::string row = "<tr><th>";
    row += label;
    row += "</th><td>";
    row += html;
    row += "</td></tr>";
    return row;
}

std::string EntryHtml(std::string_view entry) {
    return "<span class=\"entry\">" + Html(entry) + "</span>";
}

}  // namespace

std::string HomePage() {
    return Document("笑料工坊 · 创意提交", R"html(<h1>笑料工坊 · 创意提交</h1>
<p>笑料工坊把形容词、人名、地名和事件拼成一句笑话，比如“头顶西瓜的李白在教室里砍柴”。</p>
<p>想到了好词？在下面选好类型，写下词条，填上 QQ（也可以不填），按“提交”。</p>
<p class="muted">词条最多 100 个字；每一条都经过审核，才会加进词库。</p>
<p><a href="/?post=4">了解笑料工坊 →</a></p>)html");
}

std::string PromotionPage() {
    return Document("笑料工坊 V1.0", R"html(<h1>笑料工坊 V1.0</h1>
<p><b>创意源于生活！</b>成千上万句搞笑的话，一按就有。</p>
<h2>它做什么</h2>
<p>笑料工坊是一个小小的桌面程序。按一下“生成”，它从四个词库里各挑一个词，拼成一句话：
“什么样的”谁，在哪里，做了什么。</p>
<ul>
<li>头顶西瓜的李白在教室里砍柴</li>
<li>穿着拖鞋的包青天在月球上打麻将</li>
<li>刚睡醒的孙悟空在菜市场里背单词</li>
</ul>
<h2>怎么玩</h2>
<ul>
<li><b>生成</b>：再来一句，笑到停不下来为止。</li>
<li><b>分享</b>：把这句复制下来，贴给朋友。</li>
<li><b>改词库</b>：四个词库就是程序旁边的四个文本文件，改了马上就用上你的词。</li>
<li><b>创意提交</b>：把你的好词发给我们，审核后加进大家的词库。</li>
</ul>
<p><a href="/">去看看创意提交 →</a></p>)html");
}

std::string ReceivedPage(const Category& category, const ReceivedProposal& proposal,
                         std::int64_t id) {
    std::string body = "<h1 class=\"ok\">收到！谢谢你的创意</h1>\n<table>";
    body += Row("类型", std::string(category.name));
    body += Row("词条", EntryHtml(proposal.entry));
    body += Row("QQ", QqText(proposal));
    body += "</table>\n<p class=\"muted\">编号 " + std::to_string(id) + "，审核后会加进“";
    body += category.name;
    body += "”词库。可以接着提交下一条。</p>";
    return Document("收到", body);
}

std::string RefusedPage(const Category& category, const ReceivedProposal& proposal,
                        Refusal refusal) {
    std::string body = "<h1>没有收下这一条</h1>\n<p>";
    body += RefusalReason(refusal);
    if (refusal == Refusal::kEntryTooLong) {
        body += "收到的有 " + std::to_string(CharacterCount(proposal.entry)) + " 个字。";
    }
    body += "</p>\n<table>";
    body += Row("类型", std::string(category.name));
    if (proposal.has_entry) body += Row("词条", EntryHtml(proposal.entry));
    if (proposal.has_qq) body += Row("QQ", QqText(proposal));
    body += "</table>\n<p class=\"muted\">什么也没有保存。改一改再提交吧。</p>";
    return Document("没有收下", body);
}

std::string TooManyPage(int per_minute) {
    return Document("太快了", "<h1>提交得太快了</h1>\n<p>每个地址每分钟最多提交 " +
                                  std::to_string(per_minute) +
                                  " 条。这一条没有保存，请过一会儿再提交。</p>");
}

std::string NotFoundPage() {
    return Document("没有这一页", R"html(<h1>没有这一页</h1>
<p>这个地址上什么也没有。</p><p><a href="/">回到首页</a></p>)html");
}

std::string ReviewForbiddenPage() {
    return Document("不能审核", R"html(<h1>不能在这里审核</h1>
<p>审核页只能在运行网站的这台机器上，用 localhost 或 127.0.0.1 打开。</p>)html");
}

std::string ServerErrorPage() {
    return Document("出错了", R"html(<h1>网站出错了</h1>
<p>这一次没能处理好，什么也没有保存。请稍后再试。</p>)html");
}

namespace {

std::string FilterLink(const ReviewView& view, std::optional<Status> status) {
    std::string href = "/review";
    std::string label = "全部";
    std::int64_t count = view.counts[0] + view.counts[1] + view.counts[2];
    if (status) {
        href += "?show=";
        href += StatusKey(*status);
        label = StatusName(*status);
        count = view.counts[static_cast<int>(*status)];
    } else {
        href += "?show=all";
    }
    std::string link = "<a href=\"" + href + "\"";
    if (view.show == status) link += " class=\"on\"";
    link += ">" + label + "（" + std::to_string(count) + "）</a>";
    return link;
}

std::string DecisionForm(const ReviewView& view, const StoredProposal& p) {
    std::string form = "<form method=\"post\" action=\"/review/decide\">";
    form += "<input type=\"hidden\" name=\"id\" value=\"" + std::to_string(p.id) + "\">";
    form += "<input type=\"hidden\" name=\"token\" value=\"" + Html(view.token) + "\">";
    form += "<input type=\"hidden\" name=\"show\" value=\"";
    form += view.show ? StatusKey(*view.show) : "all";
    form += "\">";
    if (p.status != Status::kAccepted) {
        form += "<button name=\"action\" value=\"accept\">采纳</button> ";
    }
    if (p.status != Status::kRejected) {
        form += "<button name=\"action\" value=\"reject\">拒绝</button>";
    }
    form += "</form>";
    return form;
}

}  // namespace

std::string ReviewPage(const ReviewView& view) {
    std::string body = "<h1>审核提交的词条</h1>\n<nav>";
    body += FilterLink(view, Status::kPending);
    body += FilterLink(view, Status::kAccepted);
    body += FilterLink(view, Status::kRejected);
    body += FilterLink(view, std::nullopt);
    body += "</nav>\n";
    if (!view.notice.empty()) body += "<p class=\"notice\">" + Html(view.notice) + "</p>\n";

    for (const ReviewSection& section : view.sections) {
        body += "<h2 id=\"";
        body += section.category->key;
        body += "\">";
        body += section.category->name;
        body += "</h2>\n<p><a href=\"/review/export/";
        body += section.category->key;
        body += "\">导出已采纳的词条</a> <span class=\"muted\">（";
        body += section.category->list_file;
        body +=
            "，" + std::to_string(section.accepted) + " 条；GBK，条与条之间 CR LF）</span></p>\n";
        if (section.proposals.empty()) {
            body += "<p class=\"muted\">没有。</p>\n";
            continue;
        }
        body +=
            "<table class=\"review\"><tr><th>时间</th><th>词条</th><th>QQ</th><th>来自</th>"
            "<th>状态</th><th></th></tr>\n";
        for (const StoredProposal& p : section.proposals) {
            body += "<tr><td>" + FormatTime(p.received_ms) + "</td><td>" + EntryHtml(p.entry) +
                    "</td><td>" + Html(p.qq) + "</td><td>" + Html(p.remote_address) + "</td><td>";
            body += StatusName(p.status);
            body += "</td><td>" + DecisionForm(view, p) + "</td></tr>\n";
        }
        body += "</table>\n";
        if (section.shown_total > static_cast<std::int64_t>(section.proposals.size())) {
            body += "<p class=\"muted\">只列出了最新的 " +
                    std::to_string(section.proposals.size()) + " 条，共 " +
                    std::to_string(section.shown_total) + " 条。</p>\n";
        }
    }
    return Document("审核 · 笑料工坊", body);
}

}  // namespace xl::site
