#include "categories.h"

namespace xl::site {
namespace {

// The place list's file is 地点.txt although its category is called 地名.
constexpr Category kCategories[] = {
    {"xrc", "形容词", "形容词.txt"},
    {"rm", "人名", "人名.txt"},
    {"dm", "地名", "地点.txt"},
    {"sj", "事件", "事件.txt"},
};

}  // namespace

std::span<const Category> Categories() { return kCategories; }

const Category* FindCategory(std::string_view key) {
    for (const Category& c : kCategories) {
        if (c.key == key) return &c;
    }
    return nullptr;
}

}  // namespace xl::site
