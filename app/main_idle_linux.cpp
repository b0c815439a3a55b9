// The idle watcher's program, which `slidesaver --idle` becomes:
//   slidesaver-idle SECONDS PLAYER [ARGUMENT...]
// plays `PLAYER ARGUMENT...` each time the session has been idle SECONDS, one watcher per
// display. In a Wayland session the compositor tells the idle time, even where the show goes
// through Xwayland: Xwayland's own idle time sees only the input of X clients.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "idle/idle_watcher.h"
#include "platform/linux/idle/mutter_idle_source.h"
#include "platform/linux/idle/polling_idle_host.h"
#include "platform/linux/idle/wayland_idle_source.h"
#include "platform/linux/idle/x11_idle_source.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/close_signals.h"
#include "platform/linux/posix/runtime_folder.h"

namespace {

using namespace slidesaver::linux_platform;

int Fail(const std::string& message) {
  std::fprintf(stderr, "slidesaver: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  RouteCloseSignals();
  int seconds = 0;
  const char* end = argc > 1 ? argv[1] + std::strlen(argv[1]) : nullptr;
  if (argc < 3 || std::from_chars(argv[1], end, seconds).ptr != end || seconds < 1) {
    std::fputs(
        "usage: slidesaver-idle SECONDS PLAYER [ARGUMENT...] (started by slidesaver --idle)\n",
        stderr);
    return 2;
  }
  ShowCommand show{argv[2], std::vector<std::string>(argv + 3, argv + argc)};
  const bool wayland = WaylandWanted(
      std::find(show.arguments.begin(), show.arguments.end(), "--wayland") != show.arguments.end());
  std::string problem;
  const std::chrono::seconds idle_time(seconds);
  auto source =
      wayland ? OpenWaylandIdleSource(idle_time, problem) : OpenX11IdleSource(idle_time, problem);
  if (!source && wayland) {  // GNOME's compositor tells it on the session bus instead
    std::string bus_problem;
    source = OpenMutterIdleSource(idle_time, bus_problem);
    if (!source) problem += "; " + bus_problem;
  }
  if (!source) return Fail(problem);
  const auto folder = PrivateRuntimeFolder(&problem);
  if (!folder) return Fail(problem);
  try {
    PollingIdleHost host(*source, std::move(show));
    return slidesaver::idle::WatchIdleAlone(*source, host, *MakePosixFileSystem(), *folder);
  } catch (const std::runtime_error& error) {
    return Fail(error.what());
  }
}
