#include "display_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace taborvane::window {
namespace {

// Assistive tools read the value the display holds at the moment they ask,
// even between two announcements.
class DisplayAccessible final : public QAccessibleWidget {
public:
    explicit DisplayAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* DisplayAccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1StringView(DisplayLabel::staticMetaObject.className())) return nullptr;
    auto* display = qobject_cast<DisplayLabel*>(object);
    return display != nullptr ? new DisplayAccessible(display) : nullptr;
}

}  // namespace

DisplayLabel::DisplayLabel(const QString& text, clock::FrameClock& frames, QWidget* parent)
    : QLabel(text, parent), frames_(frames) {
    QAccessible::installFactory(DisplayAccessibleFactory);  // once: Qt ignores a second install
    // A name of its own keeps QLabel from announcing every new text at once;
    // the name follows the value at the next frame.
    setAccessibleName(text);
    connect(&frames_, &clock::FrameClock::frame, this, &DisplayLabel::announceValue);
}

void DisplayLabel::showValue(const QString& text) {
    setText(text);
    // A new text makes the window paint at its next frame, which announces
    // it; a hidden display paints no frames, and has nothing to gather.
    announcing_ = isVisible();
    if (!announcing_) setAccessibleName(text);
}

void DisplayLabel::announceValue() {
    if (!announcing_) return;
    announcing_ = false;
    // Tells assistive tools, once for all the values since the last frame.
    if (accessibleName() != text()) setAccessibleName(text());
}

void DisplayLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // No frame, margin nor indent: the text box is the contents rectangle.
    sprites_.draw(painter, contentsRect().topLeft(), text(), font(), palette().color(foregroundRole()));
}

}  // namespace taborvane::window
