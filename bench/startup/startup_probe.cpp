// Starts a window as the program does and, once it is first shown, prints
// the monotonic clock and the peak resident memory, then quits. Built twice:
// with the program's window, and with one empty window for comparison.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

#ifdef PROBE_PROGRAM_WINDOW
#include "app/application_setup.h"
#include "window/countdown_window.h"
using ProbedWindow = taborvane::window::CountdownWindow;
#else
using ProbedWindow = QWidget;
#endif

namespace {

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long long PeakResidentKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Reports on the turn of the event loop after the first paint, when the
// window and all its children have been drawn.
class Probe : public ProbedWindow {
protected:
    void paintEvent(QPaintEvent* event) override {
        ProbedWindow::paintEvent(event);
        if (reported_) return;
        reported_ = true;
        QTimer::singleShot(0, this, [] {
            std::printf("%lld %lld\n", MonotonicNanoseconds(), PeakResidentKib());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }

private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef PROBE_PROGRAM_WINDOW
    taborvane::app::PrepareApplication();
#endif
    Probe window;
    window.show();
    return QApplication::exec();
}
