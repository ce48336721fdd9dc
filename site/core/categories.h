// The four word lists that proposals are made for, as the program's submission paths name them.
#pragma once

#include <span>
#include <string_view>

namespace xl::site {

struct Category {
    std::string_view key;        // the path's stem: /softwere/post/<key>.asp
    std::string_view name;       // as the program's category list shows it
    std::string_view list_file;  // the word list file beside the program
};

// In the order of the program's category list.
std::span<const Category> Categories();

// nullptr for a key that names no category.
const Category* FindCategory(std::string_view key);

}  // namespace xl::site
