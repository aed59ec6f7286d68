// What the counter logic does to the window, as small interfaces, so that the
// logic runs the same on real widgets and on the in-memory surface of tests.
#pragma once

#include <cstdint>
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
};

}  // namespace taborvane
