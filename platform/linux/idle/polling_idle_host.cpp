#include "platform/linux/idle/polling_idle_host.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/linux/posix/child_process.h"
#include "platform/linux/posix/close_signals.h"

namespace slidesaver::linux_platform {
namespace {

class ChildShow : public platform::StartedShow {
 public:
  explicit ChildShow(const ShowCommand& show) : process_(show.program, show.arguments) {}
  int Wait() override { return process_.Wait(); }
  int Descriptor() const { return process_.Descriptor(); }

 private:
  ChildProcess process_;  // ended and waited for when it goes first
};

}  // namespace

PollingIdleHost::PollingIdleHost(PolledIdleSource& source, ShowCommand show)
    : source_(source), show_(std::move(show)) {
  close_requested_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (close_requested_ < 0)
    throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
  const int close_requested = close_requested_;
  listener_ = std::make_unique<CloseSignalListener>([close_requested] {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(close_requested, &one, sizeof one);
  });
}

PollingIdleHost::~PollingIdleHost() {
  listener_.reset();
  close(close_requested_);
}

std::unique_ptr<platform::StartedShow> PollingIdleHost::StartShow() {
  return std::make_unique<ChildShow>(show_);
}

platform::IdleWake PollingIdleHost::Wait(platform::StartedShow* show) {
  // Only shows of this host's making come back here.
  const int show_descriptor = show ? static_cast<ChildShow*>(show)->Descriptor() : -1;
  for (;;) {
    pollfd fds[] = {{close_requested_, POLLIN, 0},
                    {source_.Descriptor(), POLLIN, 0},
                    {show_descriptor, POLLIN, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      std::perror("slidesaver: poll");
      return platform::IdleWake::Failed;
    }
    if (fds[0].revents) return platform::IdleWake::CloseRequested;
    if (fds[2].revents) return platform::IdleWake::ShowEnded;
    return platform::IdleWake::SourceNews;
  }
}

void PollingIdleHost::Log(const std::string& line) {
  std::fprintf(stderr, "slidesaver: %s\n", line.c_str());
}

}  // namespace slidesaver::linux_platform
