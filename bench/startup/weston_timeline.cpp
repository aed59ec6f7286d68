#include "weston_timeline.h"

#include "json_fields.h"

namespace startup {

void WestonTimeline::watchForNewWindow() {
    watching_ = true;
    window_.reset();
}

std::optional<long long> WestonTimeline::read(std::string_view line) {
    if (!watching_) return std::nullopt;
    if (!window_) {
        const auto type = StringField(line, "type");
        const auto description = StringField(line, "desc");
        if (type == "weston_surface" && description && description->starts_with("top-level window "))
            window_ = IntegerField(line, "id");
        return std::nullopt;
    }
    if (StringField(line, "N") != "core_commit_damage" || IntegerField(line, "ws") != window_) return std::nullopt;
    const std::optional<long long> moment = SecondsNanosecondsField(line, "T");
    if (moment) watching_ = false;  // the window's later commits are not its first
    return moment;
}

}  // namespace startup
