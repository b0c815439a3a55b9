#pragma once
// The idle watcher's host on Linux: the show is the player started as a child process (ended
// by the kernel when the watcher dies), and the wait polls three descriptors and nothing else:
// the idle source's, the show's pidfd and an eventfd the close signals write to.
#include <memory>
#include <string>
#include <vector>

#include "platform/idle_host.h"
#include "platform/linux/idle/idle_source.h"

namespace slidesaver::linux_platform {

class CloseSignalListener;

struct ShowCommand {
  std::string program;
  std::vector<std::string> arguments;
};

class PollingIdleHost : public platform::IdleHost {
 public:
  // Listens for the close signals (RouteCloseSignals) from now on; throws std::runtime_error
  // when it can't.
  PollingIdleHost(PolledIdleSource& source, ShowCommand show);
  ~PollingIdleHost() override;
  PollingIdleHost(const PollingIdleHost&) = delete;
  PollingIdleHost& operator=(const PollingIdleHost&) = delete;

  std::unique_ptr<platform::StartedShow> StartShow() override;
  platform::IdleWake Wait(platform::StartedShow* show) override;
  void Log(const std::string& line) override;

 private:
  PolledIdleSource& source_;
  ShowCommand show_;
  int close_requested_ = -1;
  std::unique_ptr<CloseSignalListener> listener_;
};

}  // namespace slidesaver::linux_platform
