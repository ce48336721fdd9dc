// Putting received text into a page.
#pragma once

#include <string>
#include <string_view>

namespace xl::site {

// The bytes as HTML text: the five characters that HTML gives a meaning are escaped, and each
// byte that is not part of well-formed UTF-8, or is a control character, is shown by its value
// in a <span class="raw">, such as \xB0, so that nothing sent is hidden or taken for markup.
std::string Html(std::string_view bytes);

}  // namespace xl::site
