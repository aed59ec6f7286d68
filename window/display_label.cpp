#include "display_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace taborvane::window {
namespace {

// Assistive tools read the value at the moment they ask, even between two
// frames or two announcements.
class DisplayAccessible final : public QAccessibleWidget {
public:
    explicit DisplayAccessible(DisplayLabel* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}
    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name) return QAccessibleWidget::text(kind);
        const auto* display = static_cast<const DisplayLabel*>(widget());
        display->catchUp();
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

void DisplayLabel::showValue(const QString& value) {
    ++valuesHanded_;
    if (value == text()) return;
    // QLabel would have all of itself repainted at every new text; only the
    // glyphs from the first that differs from what was last painted need it.
    setAttribute(Qt::WA_UpdatesDisabled, true);
    setText(value);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    qsizetype same = 0;
    while (same < painted_.size() && same < value.size() && painted_[same] == value[same]) ++same;
    // From the glyph before: ink may reach over a neighbour's advance.
    const qsizetype from = std::max<qsizetype>(same - 1, 0);
    if (repaintFrom_ < 0 || from < repaintFrom_) {
        repaintFrom_ = from;
        const QRect contents = contentsRect();
        // The glyphs before it are the same, and stand where they were painted.
        const int left = contents.left() + static_cast<int>(std::floor(sprites_.penBefore(from)));
        update(QRect(left, contents.top(), width() - left, contents.height()));
    }
    // A display never shown paints no frame that would announce it.
    if (!isVisible()) setAccessibleName(value);
}

void DisplayLabel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // No frame, margin nor indent: the text box is the contents rectangle.
    sprites_.draw(painter, contentsRect().topLeft(), text(), font(), palette().color(foregroundRole()), event->rect());
    painted_ = text();
    repaintFrom_ = -1;
    // Tells assistive tools, once for all the values since the last frame it was seen in.
    if (accessibleName() != text()) setAccessibleName(text());
}

}  // namespace taborvane::window

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_display_label.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for display_label.h
