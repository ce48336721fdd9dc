// Received text in a page: shown as text, never taken for markup, no byte hidden.
#include <gtest/gtest.h>

#include <string>

#include "site/core/html.h"

namespace xl::site {
namespace {

using namespace std::string_literals;

TEST(Html, EscapesMarkupAndShowsStrayBytes) {
    struct Case {
        std::string bytes;
        std::string html;
    };
    const Case cases[] = {
        {"", ""},
        {"头顶西瓜", "头顶西瓜"},
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"a&b", "a&amp;b"},
        {"&amp;", "&amp;amp;"},
        {"\"'", "&quot;&#39;"},
        {"\xB0\xA1", R"(<span class="raw">\xB0</span><span class="raw">\xA1</span>)"},
        {"a\xE4\xBD"
         "b",
         R"(a<span class="raw">\xE4</span><span class="raw">\xBD</span>b)"},
        {"a\nb", R"(a<span class="raw">\x0A</span>b)"},
        {"\0"s, R"(<span class="raw">\x00</span>)"},
        {"\x7F", R"(<span class="raw">\x7F</span>)"},
        {"\xF0\x9F\x98\x80<", "\xF0\x9F\x98\x80&lt;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(Html(c.bytes), c.html);
    }
}

}  // namespace
}  // namespace xl::site
