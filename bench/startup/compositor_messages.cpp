#include "compositor_messages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>

namespace startup {

namespace {

constexpr std::string_view kMagic = "i3-ipc";
constexpr qsizetype kHeaderSize = kMagic.size() + 2 * sizeof(std::uint32_t);

}  // namespace

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

QByteArray Framed(const SwayMessage& message) {
    const auto length = static_cast<std::uint32_t>(message.payload.size());
    QByteArray framed(kMagic.data(), static_cast<qsizetype>(kMagic.size()));
    framed.append(reinterpret_cast<const char*>(&length), sizeof length);
    framed.append(reinterpret_cast<const char*>(&message.type), sizeof message.type);
    return framed + message.payload;
}

std::optional<SwayMessage> TakeSwayMessage(QByteArray& pending) {
    if (pending.size() < kHeaderSize) return std::nullopt;
    if (!pending.startsWith(QByteArray(kMagic.data(), static_cast<qsizetype>(kMagic.size())))) {
        pending.clear();
        return std::nullopt;
    }
    std::uint32_t length = 0;
    SwayMessage message{0, {}};
    std::memcpy(&length, pending.constData() + kMagic.size(), sizeof length);
    std::memcpy(&message.type, pending.constData() + kMagic.size() + sizeof length, sizeof message.type);
    if (pending.size() < kHeaderSize + static_cast<qsizetype>(length)) return std::nullopt;
    message.payload = pending.mid(kHeaderSize, length);
    pending.remove(0, kHeaderSize + length);
    return message;
}

std::optional<long long> NewWindowPid(const QByteArray& windowEvent) {
    const QJsonObject event = QJsonDocument::fromJson(windowEvent).object();
    if (event.value(QLatin1String("change")).toString() != QLatin1String("new")) return std::nullopt;
    const QJsonValue pid = event.value(QLatin1String("container")).toObject().value(QLatin1String("pid"));
    if (!pid.isDouble()) return std::nullopt;
    return pid.toInteger();
}

}  // namespace startup
