#include "gtk_css.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace xlskin {
namespace {

// Where each part's keys land in GTK's style tree. Colours of labels are never set on labels
// themselves: a label that the program colours keeps its colour, and the others inherit the
// text colour of what they stand on. The program's own class names (xl-*) mark what GTK has no
// widget of its own for: the framed multi-line edit box and the status bar with its panes.
struct Selectors {
    const char* background;
    const char* text;
    const char* border;  // and the corners
    const char* selection;
    const char* pane_border;
};

constexpr const char* kButton = "button:not(.combo)";
constexpr const char* kButtonHover = "button:not(.combo):hover";
constexpr const char* kButtonPressed = "button:not(.combo):active, button:not(.combo):checked";
constexpr const char* kButtonDisabled = "button:not(.combo):disabled";
constexpr const char* kCombo = "combobox button.combo";
constexpr const char* kComboHover = "combobox button.combo:hover";
constexpr const char* kComboPressed = "combobox button.combo:active, combobox button.combo:checked";
constexpr const char* kComboDisabled = "combobox button.combo:disabled";
constexpr const char* kSelection = "entry:focus selection, textview:focus text selection";

Selectors For(Part part) {
    switch (part) {
    case Part::Window: return {".background:not(.popup)", nullptr, nullptr, nullptr, nullptr};
    case Part::Label: return {nullptr, ".background:not(.popup)", nullptr, nullptr, nullptr};
    case Part::Button: return {kButton, kButton, kButton, nullptr, nullptr};
    case Part::ButtonHover: return {kButtonHover, kButtonHover, kButtonHover, nullptr, nullptr};
    case Part::ButtonPressed:
        return {kButtonPressed, kButtonPressed, kButtonPressed, nullptr, nullptr};
    case Part::ButtonDisabled:
        return {kButtonDisabled, kButtonDisabled, kButtonDisabled, nullptr, nullptr};
    case Part::Edit:
        return {"entry, .xl-edit, textview, textview text", "entry, textview text",
                "entry, .xl-edit", kSelection, nullptr};
    case Part::EditFocus:
        // GTK marks only the focused widget, not the frame around a multi-line box.
        return {"entry:focus, textview:focus, textview:focus text",
                "entry:focus, textview:focus text", "entry:focus", kSelection, nullptr};
    case Part::EditDisabled:
        return {"entry:disabled, textview:disabled, textview:disabled text",
                "entry:disabled, textview:disabled text", "entry:disabled", nullptr, nullptr};
    case Part::Combo: return {kCombo, kCombo, kCombo, nullptr, nullptr};
    case Part::ComboHover: return {kComboHover, kComboHover, kComboHover, nullptr, nullptr};
    case Part::ComboPressed: return {kComboPressed, kComboPressed, kComboPressed, nullptr, nullptr};
    case Part::ComboDisabled:
        return {kComboDisabled, kComboDisabled, kComboDisabled, nullptr, nullptr};
    case Part::Menu:
        return {"menu, .menu", "menu menuitem", "menu, .menu", "menu menuitem:hover", nullptr};
    case Part::StatusBar: return {".xl-statusbar", ".xl-statusbar", nullptr, nullptr, ".xl-pane"};
    }
    return {};
}

std::string Css(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return text;
}

// Characters that could end a quoted address or the rule around it.
bool IsSafeAddress(const std::string& address) {
    return !address.empty() && std::none_of(address.begin(), address.end(), [](char c) {
        return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
}

// The rules of one part, in order; declarations for the same place go into one rule, so that a
// state overrides only what it gives.
class PartRules {
public:
    void Add(const char* selectors, const std::string& declarations) {
        if (!selectors || declarations.empty()) return;
        for (auto& [at, d] : rules_) {
            if (at == selectors) {
                d += declarations;
                return;
            }
        }
        rules_.emplace_back(selectors, declarations);
    }
    void AppendTo(std::string& sheet) const {
        for (const auto& [at, d] : rules_) sheet += at + " {" + d + " }\n";
    }

private:
    std::vector<std::pair<std::string, std::string>> rules_;
};

// The theme's own bevels and shadows would show through a skin's flat or gradient fill.
constexpr const char* kNoShadows = " box-shadow: none; text-shadow: none; -gtk-icon-shadow: none;";

std::optional<std::string> FillDeclarations(const Fill& fill, const ImageAddress& image_address) {
    std::string d;
    switch (fill.kind) {
    case Fill::Kind::Colour:
        d = " background-color: " + Css(fill.colours.at(0)) + "; background-image: none;";
        break;
    case Fill::Kind::Gradient: {
        d = " background-color: " + Css(fill.colours.at(0)) +
            "; background-image: linear-gradient(";
        d += fill.vertical ? "to bottom" : "to right";
        for (Rgb c : fill.colours) d += ", " + Css(c);
        d += ");";
        break;
    }
    case Fill::Kind::Image: {
        const std::optional<std::string> address =
            image_address ? image_address(fill.image) : std::nullopt;
        if (!address || !IsSafeAddress(*address)) return std::nullopt;
        d = " background-color: transparent; background-image: url(\"" + *address + "\");";
        d += " background-position: left top;";
        d += fill.tile ? " background-repeat: repeat; background-size: auto;"
                       : " background-repeat: no-repeat; background-size: 100% 100%;";
        break;
    }
    }
    return d + kNoShadows;
}

std::string BorderDeclarations(const Border& border) {
    if (border.width == 0) return " border-style: none; border-width: 0;";
    std::string d = " border-style: solid; border-width: 1px; border-color:";
    for (Rgb c : border.colours) d += " " + Css(c);
    return d + ";";
}

}  // namespace

std::optional<std::string> SkinCss(const Skin& skin, const ImageAddress& image_address) {
    std::string sheet;
    for (std::size_t i = 0; i < kPartCount; ++i) {
        const Part part = static_cast<Part>(i);
        const PartStyle& style = skin[part];
        if (!style.present) continue;
        const Selectors at = For(part);
        PartRules rules;
        if (style.background) {
            auto fill = FillDeclarations(*style.background, image_address);
            if (!fill) return std::nullopt;
            rules.Add(at.background, *fill);
        }
        if (style.text) rules.Add(at.text, " color: " + Css(*style.text) + ";");
        if (style.border) {
            rules.Add(at.border, BorderDeclarations(*style.border));
            if (!style.background) rules.Add(at.border, kNoShadows);
        }
        if (style.radius) {
            rules.Add(at.border, " border-radius: " + std::to_string(*style.radius) + "px;");
        }
        if (style.selection) {
            rules.Add(at.selection, " background-color: " + Css(*style.selection) + ";");
        }
        if (style.selection_text) {
            rules.Add(at.selection, " color: " + Css(*style.selection_text) + ";");
        }
        if (style.pane_border) rules.Add(at.pane_border, BorderDeclarations(*style.pane_border));
        rules.AppendTo(sheet);
    }
    return sheet;
}

}  // namespace xlskin
