// The wait that runs the program's event loop: it ends on one precise timer of
// its own, named so that the idle run can tell its wake-up from the program's.
#include "bench_clock.h"

#include <QEventLoop>
#include <QTimer>

namespace taborvane::bench {

void RunEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer end;
    end.setObjectName(QStringLiteral("benchEndOfWait"));
    end.setTimerType(Qt::PreciseTimer);
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    end.start(milliseconds);
    loop.exec();
}

}  // namespace taborvane::bench
