// Preloaded by the start-up watch into a Qt program, ours or an empty window,
// unchanged: once the first top-level window has been painted, children and
// all, it writes "PID NANOSECONDS" (CLOCK_MONOTONIC) on the descriptor named
// by TABORVANE_STARTUP_PROBE_FD. Without that variable it does nothing.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include <unistd.h>

#include "report.h"

namespace {

class FirstPaintReport : public QObject {
public:
    explicit FirstPaintReport(int descriptor) : descriptor_(descriptor) {}

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::Paint || !receiver->isWidgetType() || !static_cast<QWidget*>(receiver)->isWindow())
            return false;
        qApp->removeEventFilter(this);
        // The next turn of the event loop: the window's children are painted in the same pass.
        QTimer::singleShot(0, this, [this] {
            dprintf(descriptor_, "%d %lld\n", static_cast<int>(getpid()),
                    static_cast<long long>(taborvane::bench::Now()));
        });
        return false;
    }

private:
    int descriptor_;
};

void StartStartupProbe() {
    bool named = false;
    const int descriptor = qEnvironmentVariableIntValue("TABORVANE_STARTUP_PROBE_FD", &named);
    if (named) qApp->installEventFilter(new FirstPaintReport(descriptor));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartStartupProbe)
