#pragma once
// The idle watcher: each time the user has been idle for the source's time, it plays the show
// (a program of its own, started and waited for), then waits for input and the next idle
// time. It stands aside while another screen saver keeps the session.
#include <string>
#include <vector>

#include "platform/linux/idle/idle_source.h"

namespace slidesaver::linux_platform {

struct ShowCommand {
  std::string program;
  std::vector<std::string> arguments;
};

// Runs until a close signal (RouteCloseSignals) ends it and a show it started, which it waits
// for. Returns the process's exit status.
int WatchIdle(IdleSource& source, const ShowCommand& show);

}  // namespace slidesaver::linux_platform
