// The window's controls as tests reach them: by their design name.
#pragma once

#include <QWidget>
#include <QtGlobal>

// A control that is not there ends the test run: every later check would be meaningless.
template <typename Widget>
Widget* FindControl(const QWidget& window, const char* name) {
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
}
