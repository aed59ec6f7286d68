// The state the window is designed in, which the counter logic starts from
// whatever draws it: the display's and each entry's first text (each timer's
// first interval stands in its mode's row, modes.h). Whoever changes one
// changes one row; the window's design table adds only what drawing needs.
#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace taborvane {

struct DesignText {
    std::string_view control;
    std::string_view text;
};

inline constexpr std::array<DesignText, 10> kDesignTexts{{
    {"lblDisplay", "000000000"},
    {"txtStart", "000000777"},
    {"txtinterval", "4700"},
    {"txtincdown", "370"},
    {"txtintUp", "470"},
    {"txtIncriments", "37"},
    {"txtDividePace", "4700"},
    {"txtdivideAmount", "37"},
    {"txtTimes", "470"},
    {"txtTimesamount", "3.7"},
}};

[[nodiscard]] constexpr std::optional<std::string_view> FindDesignText(std::string_view control) {
    for (const DesignText& row : kDesignTexts)
        if (row.control == control) return row.text;
    return std::nullopt;
}

// For a control that the table has: a name it lacks is the program's
// mistake, which stops compiling where the name is a constant.
[[nodiscard]] constexpr std::string_view DesignTextOf(std::string_view control) {
    if (const std::optional<std::string_view> text = FindDesignText(control)) return *text;
    throw std::out_of_range("no design text for this control");
}

}  // namespace taborvane
