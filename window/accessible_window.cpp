#include "accessible_window.h"

#include <QAccessibleWidget>

#include "countdown_window.h"

namespace taborvane::window {
namespace {

QAccessibleInterface* CountdownWindowAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(CountdownWindow::staticMetaObject.className())) return nullptr;
    // The widget's own accessible text gives a window its title as its name.
    return new QAccessibleWidget(static_cast<CountdownWindow*>(object), QAccessible::Window);
}

}  // namespace

void ExposeCountdownWindowAsFrame() { QAccessible::installFactory(CountdownWindowAccessible); }

}  // namespace taborvane::window
