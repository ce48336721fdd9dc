#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "gtk_css.h"
#include "resources/embedded_skin.h"
#include "skin_file.h"

namespace xlskin {
namespace {

struct Rule {
    std::string selectors;
    std::vector<std::pair<std::string, std::string>> declarations;  // property, value
};

std::string Trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Enough of CSS for what SkinCss writes: rules of "property: value;" declarations.
std::vector<Rule> Rules(const std::string& css) {
    std::vector<Rule> rules;
    std::size_t at = 0;
    while (true) {
        const std::size_t open = css.find('{', at);
        if (open == std::string::npos) break;
        const std::size_t close = css.find('}', open);
        Rule rule;
        rule.selectors = Trimmed(css.substr(at, open - at));
        const std::string body = css.substr(open + 1, close - open - 1);
        std::size_t d = 0;
        while (d < body.size()) {
            const std::size_t end = body.find(';', d);
            const std::string declaration = body.substr(d, end - d);
            const std::size_t colon = declaration.find(':');
            if (colon != std::string::npos) {
                rule.declarations.emplace_back(Trimmed(declaration.substr(0, colon)),
                                               Trimmed(declaration.substr(colon + 1)));
            }
            if (end == std::string::npos) break;
            d = end + 1;
        }
        rules.push_back(rule);
        at = close + 1;
    }
    return rules;
}

std::string BuiltInSkin() {
    return {reinterpret_cast<const char*>(xl::kEmbeddedSkin.data()), xl::kEmbeddedSkin.size()};
}

// Every part with every key it takes, borders and corners at their widest.
const char kEveryKey[] =
    ".SHE|1\n"
    "[window]\nbackground = image(paper.png, tile)\n"
    "[label]\ntext = #101010\n"
    "[button]\nbackground = gradient(vertical, #ffffff, #dddddd)\ntext = #000000\n"
    "border = 1 #111111 #222222 #333333 #444444\nradius = 8\n"
    "[button:hover]\nbackground = image(hover.png)\ntext = #000001\nborder = 1 #555555\n"
    "radius = 8\n"
    "[button:pressed]\nbackground = #cccccc\ntext = #000002\nborder = 1 #666666\nradius = 8\n"
    "[button:disabled]\nbackground = #eeeeee\ntext = #999999\nborder = none\nradius = 0\n"
    "[edit]\nbackground = #ffffff\ntext = #000000\nborder = 1 #777777\nradius = 8\n"
    "selection = #3030ff\nselection-text = #ffffff\n"
    "[edit:focus]\nbackground = #fffff0\ntext = #000000\nborder = 1 #3030ff\nradius = 8\n"
    "selection = #3030ff\nselection-text = #ffffff\n"
    "[edit:disabled]\nbackground = #f0f0f0\ntext = #808080\nborder = 1 #c0c0c0\nradius = 8\n"
    "[combo]\nbackground = #ffffff\ntext = #000000\nborder = 1 #777777\nradius = 8\n"
    "[combo:hover]\nbackground = #f0f0ff\ntext = #000000\nborder = 1 #3030ff\nradius = 8\n"
    "[combo:pressed]\nbackground = #e0e0ff\ntext = #000000\nborder = 1 #3030ff\nradius = 8\n"
    "[combo:disabled]\nbackground = #eeeeee\ntext = #999999\nborder = 1 #cccccc\nradius = 8\n"
    "[menu]\nbackground = #ffffff\ntext = #000000\nborder = 1 #777777\nselection = #3030ff\n"
    "selection-text = #ffffff\n"
    "[statusbar]\nbackground = gradient(horizontal, #eeeeee, #dddddd, #cccccc, #bbbbbb)\n"
    "text = #202020\npane-border = 1 #808080 #ffffff #ffffff #808080\n";

std::string Css(const std::string& skin_file) {
    const auto skin = ParseSkin(skin_file);
    EXPECT_TRUE(skin);
    if (!skin) return {};
    const auto css = SkinCss(*skin, [](const std::string& name) -> std::optional<std::string> {
        return "file:///skins/" + name;
    });
    EXPECT_TRUE(css);
    return css.value_or("");
}

TEST(SkinCssTest, GivesNoSizePaddingOrFont) {
    // The windows' controls keep their designed sizes only if a skin changes none of these.
    const std::set<std::string> allowed = {
        "background-color",  "background-image", "background-position",
        "background-repeat", "background-size",  "color",
        "border-style",      "border-width",     "border-color",
        "border-radius",     "box-shadow",       "text-shadow",
        "-gtk-icon-shadow",
    };
    for (const std::string& skin : {BuiltInSkin(), std::string(kEveryKey)}) {
        const std::vector<Rule> rules = Rules(Css(skin));
        EXPECT_FALSE(rules.empty());
        for (const Rule& rule : rules) {
            for (const auto& [property, value] : rule.declarations) {
                SCOPED_TRACE(rule.selectors + " { " + property + ": " + value + " }");
                EXPECT_TRUE(allowed.contains(property));
                if (property == "border-width") {
                    EXPECT_TRUE(value == "0" || value == "1px");
                }
            }
        }
    }
}

TEST(SkinCssTest, LeavesTheProgramsLabelColoursAlone) {
    // A label the program colours keeps its colour only if no rule of the skin matches it.
    for (const std::string& skin : {BuiltInSkin(), std::string(kEveryKey)}) {
        for (const Rule& rule : Rules(Css(skin))) {
            SCOPED_TRACE(rule.selectors);
            EXPECT_EQ(rule.selectors.find("label"), std::string::npos);
        }
    }
}

TEST(SkinCssTest, LaterStatesWinOverEarlierOnes) {
    // Equal weight: the later rule wins, so pressed must come after hover, disabled last.
    const std::string css = Css(kEveryKey);
    const char* const orders[][3] = {
        {"button:not(.combo):hover {", "button:not(.combo):active,",
         "button:not(.combo):disabled {"},
        {"combobox button.combo:hover {", "combobox button.combo:active,",
         "combobox button.combo:disabled {"},
    };
    for (const auto& order : orders) {
        const std::size_t hover = css.find(order[0]);
        const std::size_t pressed = css.find(order[1]);
        const std::size_t disabled = css.find(order[2]);
        ASSERT_NE(hover, std::string::npos) << order[0];
        ASSERT_NE(pressed, std::string::npos) << order[1];
        ASSERT_NE(disabled, std::string::npos) << order[2];
        EXPECT_LT(hover, pressed);
        EXPECT_LT(pressed, disabled);
    }
}

TEST(SkinCssTest, UsesAnImageOnlyWhenItsAddressIsUsable) {
    const auto skin = ParseSkin(".SHE|1\n[window]\nbackground = image(paper.png)\n");
    ASSERT_TRUE(skin);
    struct Case {
        const char* what;
        std::optional<std::string> address;
        bool used;
    } const cases[] = {
        {"a readable image", "file:///skins/paper.png", true},
        {"an image that cannot be read", std::nullopt, false},
        {"an address that would end the quotes", "file:///skins/\"); color: red; (\"", false},
        {"an address across lines", "file:///skins/\npaper.png", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string asked;
        const auto css = SkinCss(*skin, [&](const std::string& name) {
            asked = name;
            return c.address;
        });
        EXPECT_EQ(asked, "paper.png");
        ASSERT_EQ(css.has_value(), c.used);
        if (c.used) {
            EXPECT_NE(css->find("url(\"" + *c.address + "\")"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace xlskin
