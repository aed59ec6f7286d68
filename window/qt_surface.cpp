#include "qt_surface.h"

namespace taborvane::window {

void QtLabel::setCaption(std::string_view caption) {
    caption_ = caption;
    pending_ = true;
    if (!scheduler_.isHolding()) flush();
}

void QtLabel::flush() {
    if (!pending_) return;
    pending_ = false;
    display_.showValue(QString::fromUtf8(caption_.data(), static_cast<qsizetype>(caption_.size())));
}

QtTextBox::QtTextBox(QLineEdit& edit) : edit_(edit) { refresh(); }

void QtTextBox::refresh() { utf8_ = edit_.text().toStdString(); }

QtTimer::QtTimer(QObject& window, clock::TickScheduler& scheduler, const QString& name, std::int32_t designInterval,
                 std::function<void()> tick)
    : IntervalTimer(designInterval), timer_(new clock::TickTimer(scheduler, &window)) {
    timer_->setObjectName(name);
    QObject::connect(timer_, &clock::TickTimer::timeout, &window, std::move(tick));
}

}  // namespace taborvane::window
