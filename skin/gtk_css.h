// A skin as a GTK 3 style sheet. Only colours, images, border colours and corners: a skin never
// sets a size, a padding or a font, so every control keeps the size its window gives it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "skin_file.h"

namespace xlskin {

// The address (file:// URI) of a usable image of that file name, or nothing when the image
// cannot be used.
using ImageAddress = std::function<std::optional<std::string>(const std::string& file_name)>;

// Nothing when an image of the skin cannot be used: the skin is used whole or not at all.
std::optional<std::string> SkinCss(const Skin& skin, const ImageAddress& image_address);

}  // namespace xlskin
