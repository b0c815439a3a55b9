#include "platform/linux/idle/idle_watcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "platform/linux/posix/child_process.h"
#include "platform/linux/posix/close_signals.h"

namespace slidesaver::linux_platform {
namespace {

class Watcher {
 public:
  Watcher(IdleSource& source, const ShowCommand& show) : source_(source), command_(show) {}

  void Handle(IdleNews news) {
    if (news == IdleNews::Idle) {
      active_since_idle_ = false;
      source_.AwaitActive();
      if (show_) return;
      if (source_.OtherSaverRuns()) {
        std::fputs(
            "slidesaver: another screen saver keeps the session, or a program holds idle off: "
            "no show this time\n",
            stderr);
        return;
      }
      try {
        show_ = std::make_unique<ChildProcess>(command_.program, command_.arguments);
      } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "slidesaver: %s\n", error.what());
      }
    } else if (news == IdleNews::Active) {
      active_since_idle_ = true;
      if (!show_) source_.AwaitIdle();
    }
  }

  void ShowEnded() {
    const int status = show_->Wait();
    show_.reset();
    if (status != 0) std::fprintf(stderr, "slidesaver: the show ended with status %d\n", status);
    // The next show waits for input first, then for a whole idle time.
    if (active_since_idle_) source_.AwaitIdle();
  }

  void End() {
    if (show_) show_->EndAndWait();
    show_.reset();
  }

  int ShowDescriptor() const { return show_ ? show_->Descriptor() : -1; }

 private:
  IdleSource& source_;
  const ShowCommand& command_;
  std::unique_ptr<ChildProcess> show_;
  bool active_since_idle_ = true;
};

}  // namespace

int WatchIdle(IdleSource& source, const ShowCommand& show) {
  const int close_requested = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (close_requested < 0) {
    std::perror("slidesaver: eventfd");
    return 1;
  }
  CloseSignalListener listener([close_requested] {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(close_requested, &one, sizeof one);
  });
  Watcher watcher(source, show);
  source.AwaitIdle();
  for (;;) {
    for (IdleNews news = source.Next(); news != IdleNews::Nothing; news = source.Next())
      watcher.Handle(news);
    pollfd fds[] = {{close_requested, POLLIN, 0},
                    {source.Descriptor(), POLLIN, 0},
                    {watcher.ShowDescriptor(), POLLIN, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      std::perror("slidesaver: poll");
      watcher.End();
      close(close_requested);
      return 1;
    }
    if (fds[0].revents) {
      watcher.End();
      close(close_requested);
      return 0;
    }
    if (fds[2].revents) watcher.ShowEnded();
  }
}

}  // namespace slidesaver::linux_platform
