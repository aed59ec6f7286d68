#include "designed_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "caption_button.h"
#include "display_label.h"
#include "entry_accessible.h"
#include "fonts.h"
#include "lamp_widget.h"
#include "qt_text.h"

namespace taborvane::window {
namespace {

void PaintBackground(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, kBackground);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

// Text on the fixed olive background keeps the design's black, whatever the
// desktop theme: a dark theme's light text would be unreadable on it.
void PaintLabel(QLabel& label) {
    PaintBackground(label);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, kLabelText);
    label.setPalette(palette);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QWidget* CreateWidget(const ControlDesign& design, QWidget* parent) {
    const QString text = ToQString(FirstTextOf(design));
    switch (design.kind) {
    case ControlKind::Label: {
        auto* label = design.font == FontRole::Display ? new DisplayLabel(text, parent) : new QLabel(text, parent);
        PaintLabel(*label);
        return label;
    }
    case ControlKind::TextBox: {
        auto* edit = new QLineEdit(text, parent);
        edit->setMaxLength(design.maxLength);
        return edit;
    }
    case ControlKind::CommandButton: {
        auto* button = new CaptionButton(text, parent);
        button->setAutoDefault(true);  // Enter clicks a focused button, as Space does
        return button;
    }
    case ControlKind::Shape:
        return new LampWidget(parent);
    }
    return nullptr;
}

}  // namespace

DesignedForm::DesignedForm(QWidget& window) : window_(window) {
    ExposeEntriesAsWholeText();  // before any entry exists: Qt keeps the interface it first makes
    PaintBackground(window);
    window.setMinimumSize(kDesignSize);
    window.resize(kDesignSize);
    for (const ControlDesign& design : kControls) {
        QWidget* widget = CreateWidget(design, &window);
        widget->setObjectName(ToQString(design.name));
        if (!design.accessibleName.empty()) widget->setAccessibleName(ToQString(design.accessibleName));
        widget->setFocusPolicy(
            design.tabIndex >= 0 && (design.kind == ControlKind::TextBox || design.kind == ControlKind::CommandButton)
                ? Qt::StrongFocus
                : Qt::NoFocus);
        placed_.push_back({&design, widget});
    }
    setTabOrderFromDesign();
    // A role's buttons share one baseline: their captions' ink is centred together.
    for (const FontDesign& font : kFonts) {
        QStringList captions;
        for (const CaptionButton* button : buttonsOf(font.role)) captions << button->text();
        for (CaptionButton* button : buttonsOf(font.role)) button->shareBaselineWith(captions);
    }
    place();
}

QWidget* DesignedForm::find(std::string_view name) const {
    const auto found = std::find_if(placed_.begin(), placed_.end(),
                                    [name](const PlacedControl& placed) { return placed.design->name == name; });
    return found == placed_.end() ? nullptr : found->widget;
}

void DesignedForm::NoSuchControl(std::string_view name, const char* kind) {
    qFatal("the design has no %s named %.*s", kind, static_cast<int>(name.size()), name.data());
    std::abort();  // qFatal does not return; this says so to the compiler of every Qt
}

void DesignedForm::setTabOrderFromDesign() const {
    std::vector<PlacedControl> focusable;
    std::copy_if(placed_.begin(), placed_.end(), std::back_inserter(focusable),
                 [](const PlacedControl& placed) { return placed.widget->focusPolicy() != Qt::NoFocus; });
    std::sort(focusable.begin(), focusable.end(),
              [](const PlacedControl& a, const PlacedControl& b) { return a.design->tabIndex < b.design->tabIndex; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1].widget, focusable[i].widget);
}

void DesignedForm::place() {
    scale_ = std::min(static_cast<double>(window_.width()) / kDesignSize.width(),
                      static_cast<double>(window_.height()) / kDesignSize.height());
    // A window larger than the design's proportions keeps the layout centred.
    const double left = (window_.width() - kDesignSize.width() * scale_) / 2.0;
    const double top = (window_.height() - kDesignSize.height() * scale_) / 2.0;
    const auto at = [this](double origin, int twips) {
        return static_cast<int>(std::lround(origin + twips * scale_ / kTwipsPerPixel));
    };
    for (const PlacedControl& placed : placed_) {
        const ControlDesign& d = *placed.design;
        const int x = at(left, d.left);
        const int y = at(top, d.top);
        // Placed, never laid out: a fixed size spares the window a layout
        // request at every new text of a label.
        placed.widget->setFixedSize(at(left, d.left + d.width) - x, at(top, d.top + d.height) - y);
        placed.widget->move(x, y);
    }
    // A role's font is measured to fit its design: once a role, not once a control.
    for (const FontDesign& font : kFonts) setFontOfRole(font.role);
}

void DesignedForm::setFontOfRole(FontRole role) {
    QFont font = FontFor(role, scale_);
    const std::vector<CaptionButton*> buttons = buttonsOf(role);
    // Smaller, where the captions' ink would not keep clear of some button's frame.
    constexpr int kMostTries = 8;
    for (int tries = 0; tries < kMostTries && !buttons.empty(); ++tries) {
        double fit = 1.0;
        for (const CaptionButton* button : buttons) fit = std::min(fit, button->captionFit(font));
        if (fit >= 1.0 || fit <= 0.0) break;
        font = FontFor(role, scale_, font.pointSizeF() * fit);
    }
    for (const PlacedControl& placed : placed_)
        if (placed.design->font == role) placed.widget->setFont(font);
}

std::vector<CaptionButton*> DesignedForm::buttonsOf(FontRole role) const {
    std::vector<CaptionButton*> buttons;
    for (const PlacedControl& placed : placed_)
        if (auto* button = qobject_cast<CaptionButton*>(placed.widget); button && placed.design->font == role)
            buttons.push_back(button);
    return buttons;
}

}  // namespace taborvane::window
