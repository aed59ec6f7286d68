#include "lamp_widget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

#include "design.h"

namespace taborvane::window {
namespace {

// A lamp that is out is not drawn: a screen reader's review of the screen
// passes it by as the eye does, yet finds it and its state when asked.
class LampAccessible final : public QAccessibleWidget {
public:
    explicit LampAccessible(LampWidget* lamp) : QAccessibleWidget(lamp) {}
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = state.invisible || !static_cast<const LampWidget*>(widget())->isLit();
        return state;
    }
};

QAccessibleInterface* LampAccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1StringView(LampWidget::staticMetaObject.className())) return nullptr;
    auto* lamp = qobject_cast<LampWidget*>(object);
    return lamp != nullptr ? new LampAccessible(lamp) : nullptr;
}

}  // namespace

LampWidget::LampWidget(QWidget* parent) : QWidget(parent) {
    QAccessible::installFactory(LampAccessibleFactory);  // once: Qt ignores a second install
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleDescription(tr("Off"));
}

void LampWidget::setLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    QAccessible::State shown;
    shown.invisible = true;
    QAccessibleStateChangeEvent shownOrNot(this, shown);
    QAccessible::updateAccessibility(&shownOrNot);
    tell(*this, lit ? tr("Lit") : tr("Off"));
    if (teller_) tell(*teller_, lit ? tr("Lamp lit") : tr("Lamp off"));
    update();
}

void LampWidget::tellStateThrough(QWidget& control) {
    teller_ = &control;
    tell(control, lit_ ? tr("Lamp lit") : tr("Lamp off"));
}

void LampWidget::tell(QWidget& control, const QString& description) {
    if (control.accessibleDescription() == description) return;
    control.setAccessibleDescription(description);  // Qt tells assistive tools
}

void LampWidget::paintEvent(QPaintEvent* /*event*/) {
    if (!lit_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal outline = 1.0;
    const qreal diameter = qMin(width(), height()) - outline;
    const QRectF circle((width() - diameter) / 2.0, (height() - diameter) / 2.0, diameter, diameter);
    painter.setPen(QPen(Qt::black, outline));
    painter.setBrush(kLampColour);
    painter.drawEllipse(circle);
}

}  // namespace taborvane::window

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_lamp_widget.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for lamp_widget.h
