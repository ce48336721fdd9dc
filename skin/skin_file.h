// What a skin file says, read from its bytes. Nothing here knows a toolkit: each skin library
// draws the same skin with its own. The format is described in README.md beside this file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xlskin {

// Larger files are not skins; the limit keeps a stray big file from being read whole.
inline constexpr std::size_t kMaxSkinFileSize = 64 * 1024;

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct Fill {
    enum class Kind { Colour, Gradient, Image };
    Kind kind = Kind::Colour;
    std::vector<Rgb> colours;  // one for a colour, two to four evenly spaced for a gradient
    bool vertical = true;      // a gradient runs top to bottom, else left to right
    std::string image;         // an image's file name, beside the skin file
    bool tile = false;         // an image is repeated from the top left, else stretched
    bool operator==(const Fill&) const = default;
};

struct Border {
    int width = 0;  // 0 or 1, no wider than the toolkits' own borders, so no control grows
    std::array<Rgb, 4> colours;  // top, right, bottom, left
    bool operator==(const Border&) const = default;
};

// The parts of a window that a skin can draw, each in its states. A state falls back to its
// part's normal look for whatever it does not give.
enum class Part {
    Window,
    Label,
    Button,
    ButtonHover,
    ButtonPressed,
    ButtonDisabled,
    Edit,
    EditFocus,
    EditDisabled,
    Combo,
    ComboHover,
    ComboPressed,
    ComboDisabled,
    Menu,
    StatusBar,
};
inline constexpr std::size_t kPartCount = static_cast<std::size_t>(Part::StatusBar) + 1;

struct PartStyle {
    bool present = false;  // the file has the part's section
    std::optional<Fill> background;
    std::optional<Rgb> text;
    std::optional<Border> border;
    std::optional<int> radius;
    std::optional<Rgb> selection;  // behind selected text; in a menu, the item under the pointer
    std::optional<Rgb> selection_text;
    std::optional<Border> pane_border;  // the status bar's panes
};

struct Skin {
    std::array<PartStyle, kPartCount> parts;
    const PartStyle& operator[](Part part) const { return parts[static_cast<std::size_t>(part)]; }
    PartStyle& operator[](Part part) { return parts[static_cast<std::size_t>(part)]; }
};

// The section name of a part, as written between brackets.
std::string_view SectionName(Part part);

// Nothing when the bytes are not a skin file of this version or anything in them is wrong: a skin
// is used whole or not at all. `error`, when given, says what was wrong and on which line.
std::optional<Skin> ParseSkin(std::string_view bytes, std::string* error = nullptr);

}  // namespace xlskin
