// What the counter logic does to the window, as small interfaces, so that the
// logic runs the same on real widgets and on the in-memory surface of tests.
// Tables that name controls (the mode table) reach them by their design names.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace taborvane {

class Label {
public:
    virtual ~Label() = default;
    virtual void setCaption(std::string_view caption) = 0;
};

class TextBox {
public:
    virtual ~TextBox() = default;
    // The entry's contents as UTF-8, valid until the entry next changes.
    [[nodiscard]] virtual std::string_view text() const = 0;
};

class Shape {
public:
    virtual ~Shape() = default;
    virtual void setVisible(bool visible) = 0;
};

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool enabled) = 0;
    // Throws StepFailure when the timer refuses the interval.
    virtual void setInterval(std::int32_t milliseconds) = 0;
};

class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    // Ends the program: no further event is delivered.
    virtual void end() = 0;
};

// The eighteen controls the logic touches, plus the way to end the program.
struct ControlSurface {
    Label& lblDisplay;
    TextBox& txtStart;
    TextBox& txtinterval;
    TextBox& txtincdown;
    TextBox& txtintUp;
    TextBox& txtIncriments;
    TextBox& txtDividePace;
    TextBox& txtdivideAmount;
    TextBox& txtTimes;
    TextBox& txtTimesamount;
    Timer& tmrCountdown;
    Timer& tmrCountUp;
    Timer& tmrDivide;
    Timer& tmrTimes;
    Shape& Shape1;
    Shape& Shape2;
    Shape& Shape3;
    Shape& Shape4;
    ProgramEnd& end;

    // The control of that design name; std::out_of_range where the surface has
    // no control of that kind and name.
    [[nodiscard]] TextBox& textBox(std::string_view name) const;
    [[nodiscard]] Timer& timer(std::string_view name) const;
    [[nodiscard]] Shape& shape(std::string_view name) const;
};

// Each control the tables name, with its member: the one place a name meets its control.
template <typename Control>
struct NamedControl {
    std::string_view name;
    Control& (*of)(const ControlSurface& surface);
};

inline constexpr std::array<NamedControl<TextBox>, 9> kTextBoxesByName{{
    {"txtStart", [](const ControlSurface& s) -> TextBox& { return s.txtStart; }},
    {"txtinterval", [](const ControlSurface& s) -> TextBox& { return s.txtinterval; }},
    {"txtincdown", [](const ControlSurface& s) -> TextBox& { return s.txtincdown; }},
    {"txtintUp", [](const ControlSurface& s) -> TextBox& { return s.txtintUp; }},
    {"txtIncriments", [](const ControlSurface& s) -> TextBox& { return s.txtIncriments; }},
    {"txtDividePace", [](const ControlSurface& s) -> TextBox& { return s.txtDividePace; }},
    {"txtdivideAmount", [](const ControlSurface& s) -> TextBox& { return s.txtdivideAmount; }},
    {"txtTimes", [](const ControlSurface& s) -> TextBox& { return s.txtTimes; }},
    {"txtTimesamount", [](const ControlSurface& s) -> TextBox& { return s.txtTimesamount; }},
}};

inline constexpr std::array<NamedControl<Timer>, 4> kTimersByName{{
    {"tmrCountdown", [](const ControlSurface& s) -> Timer& { return s.tmrCountdown; }},
    {"tmrCountUp", [](const ControlSurface& s) -> Timer& { return s.tmrCountUp; }},
    {"tmrDivide", [](const ControlSurface& s) -> Timer& { return s.tmrDivide; }},
    {"tmrTimes", [](const ControlSurface& s) -> Timer& { return s.tmrTimes; }},
}};

inline constexpr std::array<NamedControl<Shape>, 4> kShapesByName{{
    {"Shape1", [](const ControlSurface& s) -> Shape& { return s.Shape1; }},
    {"Shape2", [](const ControlSurface& s) -> Shape& { return s.Shape2; }},
    {"Shape3", [](const ControlSurface& s) -> Shape& { return s.Shape3; }},
    {"Shape4", [](const ControlSurface& s) -> Shape& { return s.Shape4; }},
}};

// Whether a control has that name; usable when compiling, to check a table's
// names. (An index, not a pointer: a sanitizer build cannot compare a global's
// address with null when compiling.)
template <typename Control, std::size_t N>
[[nodiscard]] constexpr std::size_t IndexNamed(const std::array<NamedControl<Control>, N>& controls,
                                               std::string_view name) {
    for (std::size_t index = 0; index < N; ++index)
        if (controls[index].name == name) return index;
    return N;
}

template <typename Control, std::size_t N>
[[nodiscard]] constexpr bool HasNamed(const std::array<NamedControl<Control>, N>& controls, std::string_view name) {
    return IndexNamed(controls, name) < N;
}

template <typename Control, std::size_t N>
[[nodiscard]] Control& ControlNamed(const std::array<NamedControl<Control>, N>& controls, std::string_view name,
                                    const ControlSurface& surface) {
    const std::size_t index = IndexNamed(controls, name);
    if (index == N) throw std::out_of_range("the control surface has no such control");
    return controls[index].of(surface);
}

inline TextBox& ControlSurface::textBox(std::string_view name) const {
    return ControlNamed(kTextBoxesByName, name, *this);
}
inline Timer& ControlSurface::timer(std::string_view name) const { return ControlNamed(kTimersByName, name, *this); }
inline Shape& ControlSurface::shape(std::string_view name) const { return ControlNamed(kShapesByName, name, *this); }

}  // namespace taborvane
