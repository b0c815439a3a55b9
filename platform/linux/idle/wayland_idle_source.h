#pragma once
// The compositor's own idle notifications: ext-idle-notify-v1 (KWin) or, where that is missing,
// KDE's org_kde_kwin_idle (sway 1.7 offers only this one). Either tells, by itself and in turn,
// when the seat has had no input for the idle time and when input came again.
#include <chrono>
#include <memory>
#include <string>

#include "platform/linux/idle/idle_source.h"

namespace slidesaver::linux_platform {

// Connects to the compositor WAYLAND_DISPLAY names. Null when it can't, or when the compositor
// offers neither protocol (GNOME's mutter); `problem` then says which.
std::unique_ptr<PolledIdleSource> OpenWaylandIdleSource(std::chrono::milliseconds idle_time,
                                                        std::string& problem);

}  // namespace slidesaver::linux_platform
