// Event filters that count what the program handles: the paints of one widget,
// and every event by receiver and type, to tell what woke an idle program.
#pragma once

#include <QEvent>
#include <QObject>
#include <map>
#include <string>
#include <utility>

namespace taborvane::bench {

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override;
    int paints = 0;
};

// Counts the events the program handles while idle, by receiver and kind, to
// tell what woke it.
class EventCounter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override;
    // Times handled, by "class objectName: type".
    std::map<std::string, int> named() const;

private:
    struct Count {
        int times = 0;
        std::string what;
    };
    std::map<std::pair<QObject*, QEvent::Type>, Count> counts_;
};

}  // namespace taborvane::bench
