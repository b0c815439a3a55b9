#pragma once
// The idle watcher's rules: each time the user has been idle for the source's time it plays
// the show, and after a show it waits for input and then a whole idle time before the next
// one. It stands aside while another screen saver keeps the session, and one watcher runs per
// session.
#include <string>

#include "platform/file_system.h"
#include "platform/idle_host.h"
#include "platform/idle_source.h"

namespace slidesaver::idle {

// Watches until the watcher is asked to end (status 0), or the session or the wait is lost
// (status 1); the show that plays then ends with it.
int WatchIdle(platform::IdleSource& source, platform::IdleHost& host);

// WatchIdle while holding the session's lock, `lock_folder` + "idle-<session>.lock"; status 1,
// and why, when another watcher holds it or it can't be taken.
int WatchIdleAlone(platform::IdleSource& source, platform::IdleHost& host,
                   platform::FileSystem& files, const std::string& lock_folder);

}  // namespace slidesaver::idle
