#pragma once
// The X server's idle time as the SYNC extension counts it (the IDLETIME system counter), told
// by two alarms the server fires itself: one when the counter reaches the idle time, one when
// input sets it back.
#include <chrono>
#include <memory>
#include <string>

#include "platform/linux/idle/idle_source.h"

namespace slidesaver::linux_platform {

// Opens the display DISPLAY names. Null when it can't, or when the server has no IDLETIME
// counter; `problem` then says which.
std::unique_ptr<PolledIdleSource> OpenX11IdleSource(std::chrono::milliseconds idle_time,
                                                    std::string& problem);

// A display name as a session name: the screen number dropped (":0.1" is ":0"), fit for a
// file name (SessionFileName).
std::string X11SessionName(const std::string& display_name);

}  // namespace slidesaver::linux_platform
