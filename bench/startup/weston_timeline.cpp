#include "weston_timeline.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace startup {

void WestonTimeline::watchForNewWindow() {
    watching_ = true;
    window_.reset();
}

std::optional<long long> WestonTimeline::read(std::string_view line) {
    if (!watching_) return std::nullopt;
    const QJsonObject event =
        QJsonDocument::fromJson(QByteArray(line.data(), static_cast<qsizetype>(line.size()))).object();
    if (!window_) {
        const QJsonValue id = event.value(QLatin1String("id"));
        if (event.value(QLatin1String("type")).toString() == QLatin1String("weston_surface") &&
            event.value(QLatin1String("desc")).toString().startsWith(QLatin1String("top-level window ")) &&
            id.isDouble())
            window_ = id.toInteger();
        return std::nullopt;
    }
    const QJsonValue surface = event.value(QLatin1String("ws"));
    if (event.value(QLatin1String("N")).toString() != QLatin1String("core_commit_damage") || !surface.isDouble() ||
        surface.toInteger() != *window_)
        return std::nullopt;
    const QJsonArray moment = event.value(QLatin1String("T")).toArray();  // [seconds, nanoseconds]
    if (moment.size() != 2 || !moment[0].isDouble() || !moment[1].isDouble()) return std::nullopt;
    watching_ = false;  // the window's later commits are not its first
    return moment[0].toInteger() * 1'000'000'000LL + moment[1].toInteger();
}

}  // namespace startup
