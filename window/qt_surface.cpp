#include "qt_surface.h"

namespace taborvane::window {

void QtLabel::setCaption(std::string_view caption) {
    display_.showValue(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
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
