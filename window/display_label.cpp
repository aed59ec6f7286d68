#include "display_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace taborvane::window {
namespace {

// Assistive tools read the value at the moment they ask, even between two
// frames or two announcements.
class DisplayAccessible final : public QAccessibleWidget {
public:
    explicit DisplayAccessible(DisplayLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name) return QAccessibleWidget::text(kind);
        const auto* display = static_cast<const DisplayLabel*>(widget());
        display->bringUpToDate();
        return display->text();
    }
};

QAccessibleInterface* DisplayAccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1StringView(DisplayLabel::staticMetaObject.className())) return nullptr;
    auto* display = qobject_cast<DisplayLabel*>(object);
    return display != nullptr ? new DisplayAccessible(display) : nullptr;
}

}  // namespace

DisplayLabel::DisplayLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QAccessible::installFactory(DisplayAccessibleFactory);  // once: Qt ignores a second install
    // A name of its own keeps QLabel from announcing every new text at once;
    // the name follows the value when a frame shows it.
    setAccessibleName(text);
}

void DisplayLabel::showValue(const QString& text) {
    setText(text);
    // A display never shown paints no frame that would announce it.
    if (!isVisible()) setAccessibleName(text);
}

void DisplayLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // No frame, margin nor indent: the text box is the contents rectangle.
    sprites_.draw(painter, contentsRect().topLeft(), text(), font(), palette().color(foregroundRole()));
    // Tells assistive tools, once for all the values since the last frame it was seen in.
    if (accessibleName() != text()) setAccessibleName(text());
}

}  // namespace taborvane::window
