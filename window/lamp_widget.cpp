#include "lamp_widget.h"

#include <QAccessible>
#include <QPainter>

#include "design.h"

namespace taborvane::window {

LampWidget::LampWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleDescription(tr("Off"));
}

void LampWidget::setLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    setAccessibleDescription(lit ? tr("Lit") : tr("Off"));
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
    update();
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
