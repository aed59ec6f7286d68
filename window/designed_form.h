// The form as the design table draws it (design.h): every control created,
// named, styled and given its focus, the tab order, and the places, sizes
// and fonts for the window's present size. Nothing here knows of the
// counter's procedures or of time.
#pragma once

#include <QWidget>
#include <string_view>
#include <vector>

#include "design.h"

namespace taborvane::window {

class CaptionButton;

class DesignedForm {
public:
    // Creates every control of the design as a child of the window.
    explicit DesignedForm(QWidget& window);

    // Places every control, and sizes its font, for the window's present size,
    // style and pixel ratio: a caption too tall for its button at the design's
    // size is drawn smaller.
    void place();
    // The scale of every place, size and font against the design size.
    [[nodiscard]] double scale() const { return scale_; }

    // The control of that design name and kind. One the design does not
    // have ends the program, in every build: nothing could work without it.
    template <typename Widget>
    [[nodiscard]] Widget& control(std::string_view name) const {
        auto* widget = qobject_cast<Widget*>(find(name));
        if (widget == nullptr) NoSuchControl(name, Widget::staticMetaObject.className());
        return *widget;
    }

private:
    struct PlacedControl {
        const ControlDesign* design;
        QWidget* widget;
    };

    [[nodiscard]] QWidget* find(std::string_view name) const;
    [[noreturn]] static void NoSuchControl(std::string_view name, const char* kind);
    void setTabOrderFromDesign() const;
    void setFontOfRole(FontRole role);
    [[nodiscard]] std::vector<CaptionButton*> buttonsOf(FontRole role) const;

    QWidget& window_;
    std::vector<PlacedControl> placed_;
    double scale_ = 1.0;
};

}  // namespace taborvane::window
