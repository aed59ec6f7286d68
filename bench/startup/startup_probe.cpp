// Preloaded by the start-up watch into a Qt program, ours or an empty window,
// unchanged: once the first top-level window has been painted, children and
// all, it writes the moment (CLOCK_MONOTONIC) on the program's standard error,
// where the watch reads it.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "report.h"
#include "startup_probe_line.h"

namespace {

class FirstPaintReport : public QObject {
protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::Paint || !receiver->isWidgetType() || !static_cast<QWidget*>(receiver)->isWindow())
            return false;
        qApp->removeEventFilter(this);
        // The next turn of the event loop: the window's children are painted in the same pass.
        QTimer::singleShot(0, this, [] {
            std::fprintf(stderr, startup::kProbeLineFormat, static_cast<long long>(taborvane::bench::Now()));
        });
        return false;
    }
};

void StartStartupProbe() { qApp->installEventFilter(new FirstPaintReport); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartStartupProbe)
