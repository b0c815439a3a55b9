#pragma once
// GNOME's idle time, which its compositor (mutter) tells on the session bus
// (org.gnome.Mutter.IdleMonitor) rather than through a Wayland protocol: an idle watch at the
// idle time, and a watch for the next input once idle.
#include <chrono>
#include <memory>
#include <string>

#include "platform/linux/idle/idle_source.h"

namespace slidesaver::linux_platform {

// Null when there is no session bus or no mutter on it; `problem` then says which.
std::unique_ptr<PolledIdleSource> OpenMutterIdleSource(std::chrono::milliseconds idle_time,
                                                       std::string& problem);

}  // namespace slidesaver::linux_platform
