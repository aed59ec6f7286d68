#include "announcer.h"

#include <QAccessible>
#include <QtGlobal>
#include <algorithm>

namespace taborvane::window {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

// Qt's announcement, which the accessibility bus carries as one.
class Announcer::Delivery {
public:
    explicit Delivery(QWidget& window) : window_(window) {}
    void announce(const QString& text) {
        QAccessibleAnnouncementEvent event(&window_, text);
        event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
        QAccessible::updateAccessibility(&event);
    }

private:
    QWidget& window_;
};

#else

// A Qt without announcements: a notification of the window, shown anew with
// each text, which screen readers present as they do a desktop notification.
// It is nothing on the screen: no widget, no place.
class Announcer::Delivery {
public:
    explicit Delivery(QWidget& window)
        : notice_(new Notice(window)), id_(QAccessible::registerAccessibleInterface(notice_)) {}
    ~Delivery() { QAccessible::deleteAccessibleInterface(id_); }
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

    void announce(const QString& text) {
        notice_->message = text;
        QAccessibleEvent event(notice_, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&event);
    }

private:
    class Notice final : public QAccessibleInterface {
    public:
        explicit Notice(QWidget& window) : window_(window) {}
        [[nodiscard]] bool isValid() const override { return true; }
        [[nodiscard]] QObject* object() const override { return nullptr; }
        [[nodiscard]] QWindow* window() const override { return window_.windowHandle(); }
        [[nodiscard]] QList<QPair<QAccessibleInterface*, QAccessible::Relation> > relations(
            QAccessible::Relation /*match*/) const override {
            return {};
        }
        [[nodiscard]] QAccessibleInterface* focusChild() const override { return nullptr; }
        [[nodiscard]] QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
        [[nodiscard]] QAccessibleInterface* parent() const override {
            return QAccessible::queryAccessibleInterface(&window_);
        }
        [[nodiscard]] QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
        [[nodiscard]] int childCount() const override { return 0; }
        [[nodiscard]] int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
        [[nodiscard]] QString text(QAccessible::Text kind) const override {
            return kind == QAccessible::Name ? message : QString();
        }
        void setText(QAccessible::Text /*kind*/, const QString& /*text*/) override {}
        [[nodiscard]] QRect rect() const override { return {}; }
        [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Notification; }
        [[nodiscard]] QAccessible::State state() const override { return {}; }

        QString message;

    private:
        QWidget& window_;
    };

    Notice* notice_;  // Qt's accessibility cache owns it
    QAccessible::Id id_;
};

#endif

Announcer::Announcer(QWidget& window, clock::TickScheduler& scheduler, std::function<QString()> number)
    : clock::TickScheduler::Timer(scheduler),
      scheduler_(scheduler),
      number_(std::move(number)),
      delivery_(std::make_unique<Delivery>(window)) {}

Announcer::~Announcer() {
    if (onceHeard_) QAccessible::removeActivationObserver(this);
}

void Announcer::requestOnceHeard(When when) {
    if (QAccessible::isActive()) {
        request(when);
        return;
    }
    if (!onceHeard_) QAccessible::installActivationObserver(this);
    onceHeard_ = when;
}

void Announcer::accessibilityActiveChanged(bool active) {
    if (!active || !onceHeard_) return;
    const When when = *onceHeard_;
    onceHeard_.reset();
    QAccessible::removeActivationObserver(this);
    request(when);
}

void Announcer::request(When when) {
    // Where no assistive tool listens nobody would hear it: no alarm for it
    // among the ticks.
    if (!QAccessible::isActive()) return;
    const clock::Nanoseconds present = scheduler_.present();
    clock::Nanoseconds at = when == When::AfterAPause ? present + kPause : present;
    if (last_) at = std::max(at, *last_ + kLeastApart);
    // A click that comes while an edit's announcement waits brings it forward;
    // another keystroke puts it off.
    if (due_ && when == When::AtOnce) at = std::min(at, *due_);
    due_ = at;
    if (at <= present) {
        tick();
        return;
    }
    startRepeating(at - present);
}

void Announcer::tick() {
    stopRepeating();
    due_.reset();
    last_ = scheduler_.present();
    delivery_->announce(number_());
}

}  // namespace taborvane::window
