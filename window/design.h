// The window's design as one table: every control with its place and size in
// twips (1/1440 inch, 15 to a logical pixel), its caption, font, focus order
// and accessible name. Whoever moves a control changes one row. The first
// texts the counter starts from (the display's, the entries') stand in the
// counter's table (counter/design_state.h), the timers in its mode table
// (counter/modes.h), not here.
#pragma once

#include <QColor>
#include <QSize>
#include <array>
#include <string_view>

#include "counter/design_state.h"

namespace taborvane::window {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 12315;
inline constexpr int kClientHeightTwips = 7395;
inline constexpr QSize kDesignSize{kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel};
inline constexpr QColor kBackground{192, 192, 0};
inline constexpr QColor kLabelText{0, 0, 0};  // labels' text, drawn from the top-left of their box
inline constexpr QColor kLampColour{0, 255, 0};
inline constexpr std::string_view kTitle = "Taborvane";

enum class ControlKind { Label, TextBox, CommandButton, Shape };

// The design's typefaces, each standing for one face and size.
enum class FontRole {
    Display,   // the big number
    Button,    // buttons' captions
    Entry,     // entries' text
    Operator,  // the bold operator signs between the columns
    Heading,   // the column headings
    None,      // lamps have no text
};

enum class Face {
    Narrow,     // the design's narrow display face, drawn as narrow as its role asks
    PlainBold,  // the bold operator signs, at the face's own width
};

// How wide a role's face is drawn is set by one text of the role and the
// width it spans, whatever width the font's file declares for itself.
struct FontDesign {
    FontRole role;
    Face face;
    double pointSize;
    std::string_view measure;  // empty: the face's own width
    int measureTwips;          // the width `measure` spans
};

inline constexpr std::array<FontDesign, 5> kFonts{{
    // clang-format off
    // The widest value fills three quarters of the display, the longest caption four fifths of its button.
    {FontRole::Display,  Face::Narrow,    111.0,  "-2147483648",     8625},
    {FontRole::Button,   Face::Narrow,     18.0,  "Start Countdown", 1785},
    {FontRole::Entry,    Face::Narrow,     20.25, "000000777",       1350},
    {FontRole::Heading,  Face::Narrow,      8.25, "Time Amount",      870},
    {FontRole::Operator, Face::PlainBold,  24.0,  "",                   0},
    // clang-format on
}};

struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    int left, top, width, height;  // twips
    std::string_view text;         // empty where the counter's table has the control's first text
    FontRole font;
    int tabIndex;                     // -1: takes no focus
    int maxLength;                    // entries only; 0: none
    std::string_view accessibleName;  // empty: the control's text says it
};

inline constexpr std::array<ControlDesign, 27> kControls{{
    // clang-format off
    {"lblDisplay",      ControlKind::Label,         600,  240, 11175, 2535, "",                FontRole::Display,  0, 0, ""},
    {"Label4",          ControlKind::Label,        3720, 3240,   975,  375, "Time Amount",     FontRole::Heading, 17, 0, ""},
    {"Label5",          ControlKind::Label,        5280, 3240,   975,  375, "Incriment",       FontRole::Heading, 18, 0, ""},
    {"Shape1",          ControlKind::Shape,         480, 3840,   495,  375, "",                FontRole::None,    -1, 0, "Countdown lamp"},
    {"cmdStart",        ControlKind::CommandButton,1320, 3840,  2175,  420, "Start Countdown", FontRole::Button,   13, 0, ""},
    {"txtinterval",     ControlKind::TextBox,      3720, 3720,   975,  600, "",                FontRole::Entry,   12, 6, "Countdown pace in milliseconds"},
    {"Label3",          ControlKind::Label,        4920, 3720,   255,  615, "-",               FontRole::Operator,16, 0, ""},
    {"txtincdown",      ControlKind::TextBox,      5280, 3720,  1575,  600, "",                FontRole::Entry,    8, 9, "Countdown step"},
    {"Shape2",          ControlKind::Shape,         480, 4680,   495,  375, "",                FontRole::None,    -1, 0, "Count-up lamp"},
    {"Command1",        ControlKind::CommandButton,1320, 4680,  2175,  420, "Count Up",        FontRole::Button,   10, 0, ""},
    {"txtintUp",        ControlKind::TextBox,      3720, 4560,   975,  600, "",                FontRole::Entry,    9, 6, "Count-up pace in milliseconds"},
    {"Label2",          ControlKind::Label,        4920, 4560,   255,  615, "+",               FontRole::Operator,15, 0, ""},
    {"txtIncriments",   ControlKind::TextBox,      5280, 4560,  1575,  600, "",                FontRole::Entry,   11, 9, "Count-up step"},
    {"Shape3",          ControlKind::Shape,         480, 5520,   495,  375, "",                FontRole::None,    -1, 0, "Divide lamp"},
    {"cmdDivide",       ControlKind::CommandButton,1320, 5520,  2175,  420, "Divide",          FontRole::Button,    6, 0, ""},
    {"txtDividePace",   ControlKind::TextBox,      3720, 5400,   975,  600, "",                FontRole::Entry,    7, 6, "Divide pace in milliseconds"},
    {"Label1",          ControlKind::Label,        5040, 5520,   255,  615, "/",               FontRole::Operator,14, 0, ""},
    {"txtdivideAmount", ControlKind::TextBox,      5280, 5400,  1575,  600, "",                FontRole::Entry,    5, 9, "Divisor"},
    {"Shape4",          ControlKind::Shape,         480, 6360,   495,  375, "",                FontRole::None,    -1, 0, "Multiply lamp"},
    {"cmdTimes",        ControlKind::CommandButton,1320, 6360,  2175,  420, "Multiply",        FontRole::Button,   20, 0, ""},
    {"txtTimes",        ControlKind::TextBox,      3720, 6240,   975,  600, "",                FontRole::Entry,   19, 6, "Multiply pace in milliseconds"},
    {"Label6",          ControlKind::Label,        4920, 6360,   255,  615, "*",               FontRole::Operator,21, 0, ""},
    {"txtTimesamount",  ControlKind::TextBox,      5280, 6240,  1575,  600, "",                FontRole::Entry,   22, 9, "Multiplier"},
    {"txtStart",        ControlKind::TextBox,      9720, 3720,  2175,  600, "",                FontRole::Entry,    1, 9, "Start value"},
    {"cmdReset",        ControlKind::CommandButton,9720, 4395,  2175,  420, "Reset Zero",      FontRole::Button,    3, 0, ""},
    {"cmdStop",         ControlKind::CommandButton,9720, 4905,  2175,  420, "Stop",            FontRole::Button,    2, 0, ""},
    {"Cmdexit",         ControlKind::CommandButton,9720, 5400,  2175,  420, "Exit",            FontRole::Button,    4, 0, ""},
    // clang-format on
}};

// The text a control shows when the window opens.
[[nodiscard]] constexpr std::string_view FirstTextOf(const ControlDesign& design) {
    return FindDesignText(design.name).value_or(design.text);
}

// Each first text stands once, and each one the counter starts from belongs to a control of this design.
[[nodiscard]] constexpr bool EachFirstTextStandsOnce() {
    for (const ControlDesign& design : kControls)
        if (FindDesignText(design.name) && !design.text.empty()) return false;
    for (const DesignText& first : kDesignTexts) {
        bool designed = false;
        for (const ControlDesign& design : kControls) designed = designed || design.name == first.control;
        if (!designed) return false;
    }
    return true;
}
static_assert(EachFirstTextStandsOnce());

}  // namespace taborvane::window
