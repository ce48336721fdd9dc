#include "skin_file.h"

#include <algorithm>

namespace xlskin {
namespace {

constexpr std::string_view kMagic = ".SHE|";
constexpr std::string_view kVersion = "1";
constexpr int kMaxRadius = 8;
constexpr std::size_t kMaxImageName = 64;

enum class Key { Background, Text, Border, Radius, Selection, SelectionText, PaneBorder };

struct KeyName {
    Key key;
    std::string_view name;
};
constexpr KeyName kKeys[] = {
    {Key::Background, "background"},  {Key::Text, "text"},
    {Key::Border, "border"},          {Key::Radius, "radius"},
    {Key::Selection, "selection"},    {Key::SelectionText, "selection-text"},
    {Key::PaneBorder, "pane-border"},
};

constexpr unsigned Bit(Key key) { return 1u << static_cast<unsigned>(key); }

constexpr unsigned kControlKeys =
    Bit(Key::Background) | Bit(Key::Text) | Bit(Key::Border) | Bit(Key::Radius);
constexpr unsigned kSelectionKeys = Bit(Key::Selection) | Bit(Key::SelectionText);

struct SectionKeys {
    Part part;
    std::string_view name;
    unsigned keys;  // bits of the keys the section takes
};
constexpr SectionKeys kSections[] = {
    {Part::Window, "window", Bit(Key::Background)},
    {Part::Label, "label", Bit(Key::Text)},
    {Part::Button, "button", kControlKeys},
    {Part::ButtonHover, "button:hover", kControlKeys},
    {Part::ButtonPressed, "button:pressed", kControlKeys},
    {Part::ButtonDisabled, "button:disabled", kControlKeys},
    {Part::Edit, "edit", kControlKeys | kSelectionKeys},
    {Part::EditFocus, "edit:focus", kControlKeys | kSelectionKeys},
    {Part::EditDisabled, "edit:disabled", kControlKeys},
    {Part::Combo, "combo", kControlKeys},
    {Part::ComboHover, "combo:hover", kControlKeys},
    {Part::ComboPressed, "combo:pressed", kControlKeys},
    {Part::ComboDisabled, "combo:disabled", kControlKeys},
    {Part::Menu, "menu", (kControlKeys & ~Bit(Key::Radius)) | kSelectionKeys},
    {Part::StatusBar, "statusbar", Bit(Key::Background) | Bit(Key::Text) | Bit(Key::PaneBorder)},
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a value from left to right; every step fails softly and the caller checks `ok`.
class Cursor {
public:
    explicit Cursor(std::string_view text) : rest_(text) {}

    bool AtEnd() {
        SkipBlanks();
        return rest_.empty();
    }

    bool Take(char c) {
        SkipBlanks();
        if (rest_.empty() || rest_.front() != c) return false;
        rest_.remove_prefix(1);
        return true;
    }

    // Letters, digits and "_-." up to the next other character.
    std::string_view Word() {
        SkipBlanks();
        std::size_t n = 0;
        while (n < rest_.size() && IsWordChar(rest_[n])) ++n;
        const std::string_view word = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return word;
    }

    std::optional<Rgb> Colour() {
        SkipBlanks();
        if (rest_.size() < 7 || rest_[0] != '#') return std::nullopt;
        int digits[6];
        for (int i = 0; i < 6; ++i) {
            digits[i] = HexDigit(rest_[1 + i]);
            if (digits[i] < 0) return std::nullopt;
        }
        // "#1234567" is not a colour followed by a 7.
        if (rest_.size() > 7 && IsWordChar(rest_[7])) return std::nullopt;
        rest_.remove_prefix(7);
        return Rgb{static_cast<std::uint8_t>(digits[0] * 16 + digits[1]),
                   static_cast<std::uint8_t>(digits[2] * 16 + digits[3]),
                   static_cast<std::uint8_t>(digits[4] * 16 + digits[5])};
    }

private:
    static bool IsWordChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.';
    }
    void SkipBlanks() {
        while (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
    }
    std::string_view rest_;
};

std::optional<Rgb> ParseColour(std::string_view value) {
    Cursor c(value);
    auto colour = c.Colour();
    if (!colour || !c.AtEnd()) return std::nullopt;
    return colour;
}

bool IsImageName(std::string_view name) {
    // A plain file name beside the skin: no directories, nothing hidden, nothing that needs
    // quoting in any toolkit's style language.
    if (name.empty() || name.size() > kMaxImageName || name.front() == '.') return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.';
    });
}

std::optional<Fill> ParseFill(std::string_view value) {
    Cursor c(value);
    if (auto colour = c.Colour()) {
        if (!c.AtEnd()) return std::nullopt;
        Fill fill;
        fill.colours = {*colour};
        return fill;
    }
    const std::string_view form = c.Word();
    if (!c.Take('(')) return std::nullopt;
    Fill fill;
    if (form == "gradient") {
        fill.kind = Fill::Kind::Gradient;
        const std::string_view direction = c.Word();
        if (direction != "vertical" && direction != "horizontal") return std::nullopt;
        fill.vertical = direction == "vertical";
        while (c.Take(',')) {
            auto colour = c.Colour();
            if (!colour) return std::nullopt;
            fill.colours.push_back(*colour);
        }
        if (fill.colours.size() < 2 || fill.colours.size() > 4) return std::nullopt;
    } else if (form == "image") {
        fill.kind = Fill::Kind::Image;
        fill.image = std::string(c.Word());
        if (!IsImageName(fill.image)) return std::nullopt;
        if (c.Take(',')) {
            const std::string_view how = c.Word();
            if (how != "stretch" && how != "tile") return std::nullopt;
            fill.tile = how == "tile";
        }
    } else {
        return std::nullopt;
    }
    if (!c.Take(')') || !c.AtEnd()) return std::nullopt;
    return fill;
}

std::optional<Border> ParseBorder(std::string_view value) {
    Cursor c(value);
    const std::string_view width = c.Word();
    Border border;
    if (width == "none" || width == "0") {
        if (!c.AtEnd()) return std::nullopt;
        return border;
    }
    if (width != "1") return std::nullopt;
    border.width = 1;
    std::vector<Rgb> colours;
    while (auto colour = c.Colour()) colours.push_back(*colour);
    if (!c.AtEnd()) return std::nullopt;
    if (colours.size() == 1) {
        border.colours.fill(colours[0]);
    } else if (colours.size() == 4) {
        std::copy(colours.begin(), colours.end(), border.colours.begin());
    } else {
        return std::nullopt;
    }
    return border;
}

std::optional<int> ParseRadius(std::string_view value) {
    value = Trim(value);
    if (value.empty() || value.size() > 2) return std::nullopt;
    int radius = 0;
    for (char ch : value) {
        if (ch < '0' || ch > '9') return std::nullopt;
        radius = radius * 10 + (ch - '0');
    }
    if (radius > kMaxRadius) return std::nullopt;
    return radius;
}

// Stores the value under the key; false when the value is not one the key takes.
bool Store(PartStyle& style, Key key, std::string_view value) {
    switch (key) {
    case Key::Background: return (style.background = ParseFill(value)).has_value();
    case Key::Text: return (style.text = ParseColour(value)).has_value();
    case Key::Border: return (style.border = ParseBorder(value)).has_value();
    case Key::Radius: return (style.radius = ParseRadius(value)).has_value();
    case Key::Selection: return (style.selection = ParseColour(value)).has_value();
    case Key::SelectionText: return (style.selection_text = ParseColour(value)).has_value();
    case Key::PaneBorder: return (style.pane_border = ParseBorder(value)).has_value();
    }
    return false;
}

bool IsSet(const PartStyle& style, Key key) {
    switch (key) {
    case Key::Background: return style.background.has_value();
    case Key::Text: return style.text.has_value();
    case Key::Border: return style.border.has_value();
    case Key::Radius: return style.radius.has_value();
    case Key::Selection: return style.selection.has_value();
    case Key::SelectionText: return style.selection_text.has_value();
    case Key::PaneBorder: return style.pane_border.has_value();
    }
    return false;
}

std::optional<Skin> Fail(std::string* error, std::size_t line, std::string_view what) {
    if (error) {
        *error = line ? "line " + std::to_string(line) + ": " : std::string();
        *error += what;
    }
    return std::nullopt;
}

}  // namespace

std::string_view SectionName(Part part) {
    for (const SectionKeys& s : kSections) {
        if (s.part == part) return s.name;
    }
    return {};
}

std::optional<Skin> ParseSkin(std::string_view bytes, std::string* error) {
    if (bytes.size() > kMaxSkinFileSize) return Fail(error, 0, "the file is too large");
    if (bytes.find('\0') != std::string_view::npos) return Fail(error, 0, "the file is not text");
    if (!bytes.starts_with(kMagic)) return Fail(error, 1, "the file does not begin with .SHE|");

    Skin skin;
    const SectionKeys* section = nullptr;
    std::size_t number = 0;
    while (!bytes.empty()) {
        ++number;
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);

        if (number == 1) {
            if (line.substr(kMagic.size()) != kVersion) {
                return Fail(error, number, "not a skin of version 1");
            }
            continue;
        }
        line = Trim(line);
        // Comments may say anything in any encoding; everything else is plain ASCII.
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (!std::all_of(line.begin(), line.end(),
                         [](char c) { return c == '\t' || (c >= 0x20 && c <= 0x7e); })) {
            return Fail(error, number, "a character that is not plain ASCII");
        }

        if (line.front() == '[') {
            if (line.back() != ']') return Fail(error, number, "a section header without ]");
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            section = nullptr;
            for (const SectionKeys& s : kSections) {
                if (s.name == name) section = &s;
            }
            if (!section) return Fail(error, number, "an unknown section");
            PartStyle& style = skin[section->part];
            if (style.present) return Fail(error, number, "a section given twice");
            style.present = true;
            continue;
        }

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return Fail(error, number, "a line without =");
        if (!section) return Fail(error, number, "a key before the first section");
        const std::string_view name = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        const KeyName* key = nullptr;
        for (const KeyName& k : kKeys) {
            if (k.name == name) key = &k;
        }
        if (!key || !(section->keys & Bit(key->key))) {
            return Fail(error, number, "a key that this section does not take");
        }
        PartStyle& style = skin[section->part];
        if (IsSet(style, key->key)) return Fail(error, number, "a key given twice");
        if (!Store(style, key->key, value)) return Fail(error, number, "a value that is not valid");
    }
    return skin;
}

}  // namespace xlskin
