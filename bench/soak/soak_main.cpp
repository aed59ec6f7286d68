// The program as app/program_start.cpp starts it, plus counting for the
// soak run (scripts/soak.sh): every tick of each mode's timer is counted from
// outside the window through the timer's own timeout signal, and the counts
// are written to the file named by TABORVANE_SOAK_STATUS about once a second
// and at exit. Nothing here is connected before the window's own bindings, so
// every procedure runs exactly as in the real program.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>

#include "app/application_setup.h"
#include "window/countdown_window.h"
#include "window/design.h"

#if defined(__SANITIZE_ADDRESS__)
// From AddressSanitizer's runtime; g++ ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using taborvane::window::kTimers;

// A named child of the window; the soak cannot count without it, so its absence ends the run at once.
template <typename T>
T& Child(const QWidget& window, const QString& name) {
    T* child = window.findChild<T*>(name);
    if (child == nullptr) qFatal("taborvane_soak: the window has no %s", qPrintable(name));
    return *child;
}

struct TickCount {
    std::uint64_t ticks = 0;
    qint64 lastTickMs = -1;  // since the start of the program; -1: none yet
};

class SoakCounter {
public:
    SoakCounter(QWidget& window, QString statusPath) : window_(window), statusPath_(std::move(statusPath)) {
        clock_.start();
        for (std::size_t i = 0; i < kTimers.size(); ++i) {
            const QString name = QString::fromUtf8(kTimers[i].name.data(), std::ssize(kTimers[i].name));
            QObject::connect(&Child<taborvane::clock::TickTimer>(window, name), &taborvane::clock::TickTimer::timeout,
                             &window, [this, i] {
                                 counts_[i].ticks++;
                                 counts_[i].lastTickMs = clock_.elapsed();
                             });
        }
        // Connected after the window's own binding, so the Stop procedure has run when this notes the counts.
        QObject::connect(&Child<QPushButton>(window, QStringLiteral("cmdStop")), &QPushButton::clicked, &window,
                         [this] {
                             stopClicks_++;
                             ticksAtStop_ = totalTicks();
                             lastStopMs_ = clock_.elapsed();
                         });
    }

    // Writes the status as "key=value" lines; QSaveFile renames it into place, so a reader never sees half.
    void write(bool exited) const {
        if (statusPath_.isEmpty()) return;
        QSaveFile file(statusPath_);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return;
        QByteArray out;
        const auto line = [&out](const QByteArray& key, const QByteArray& value) { out += key + '=' + value + '\n'; };
        line("elapsed_ms", QByteArray::number(clock_.elapsed()));
        line("exited", exited ? "1" : "0");
        const QWindow* handle = window_.windowHandle();
        line("exposed", handle != nullptr && handle->isExposed() ? "1" : "0");
        qint64 lastTick = -1;
        for (std::size_t i = 0; i < kTimers.size(); ++i) {
            const QByteArray name(kTimers[i].name.data(), std::ssize(kTimers[i].name));
            line("ticks." + name, QByteArray::number(counts_[i].ticks));
            line("last_tick_ms." + name, QByteArray::number(counts_[i].lastTickMs));
            lastTick = std::max(lastTick, counts_[i].lastTickMs);
        }
        line("ticks", QByteArray::number(totalTicks()));
        line("last_tick_ms", QByteArray::number(lastTick));
        line("stop_clicks", QByteArray::number(stopClicks_));
        line("last_stop_ms", QByteArray::number(lastStopMs_));
        line("ticks_after_stop", QByteArray::number(stopClicks_ == 0 ? 0 : totalTicks() - ticksAtStop_));
#if defined(__SANITIZE_ADDRESS__)
        // The heap bytes in use as AddressSanitizer's allocator counts them, without its quarantine.
        line("heap_bytes", QByteArray::number(static_cast<qulonglong>(__sanitizer_get_current_allocated_bytes())));
#endif
        line("display", Child<QLabel>(window_, QStringLiteral("lblDisplay")).text().toUtf8());
        // Where the driver clicks: the centre of every entry and button, in screen pixels.
        const auto centres = [&](const auto& widgets) {
            for (const QWidget* widget : widgets) {
                const QPoint centre = widget->mapToGlobal(widget->rect().center());
                line("centre." + widget->objectName().toUtf8(),
                     QByteArray::number(centre.x()) + ' ' + QByteArray::number(centre.y()));
            }
        };
        centres(window_.findChildren<QLineEdit*>());
        centres(window_.findChildren<QPushButton*>());
        file.write(out);
        file.commit();
    }

private:
    [[nodiscard]] std::uint64_t totalTicks() const {
        std::uint64_t total = 0;
        for (const TickCount& count : counts_) total += count.ticks;
        return total;
    }

    QWidget& window_;
    QString statusPath_;
    QElapsedTimer clock_;
    std::array<TickCount, kTimers.size()> counts_{};
    std::uint64_t stopClicks_ = 0;
    std::uint64_t ticksAtStop_ = 0;
    qint64 lastStopMs_ = -1;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taborvane::app::PrepareApplication();
    taborvane::window::CountdownWindow window;
    window.show();

    const SoakCounter counter(window, qEnvironmentVariable("TABORVANE_SOAK_STATUS"));
    // Not a child of the window, so the window's children stay exactly those of the real program.
    QTimer statusTimer;
    QObject::connect(&statusTimer, &QTimer::timeout, &app, [&counter] { counter.write(false); });
    statusTimer.start(1000);

    const int status = QApplication::exec();
    statusTimer.stop();
    counter.write(true);
    return status;
}
