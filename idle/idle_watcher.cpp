#include "idle/idle_watcher.h"

#include <memory>
#include <stdexcept>

namespace slidesaver::idle {
namespace {

using platform::IdleNews;

class Watcher {
 public:
  Watcher(platform::IdleSource& source, platform::IdleHost& host) : source_(source), host_(host) {}

  void Handle(IdleNews news) {
    if (news == IdleNews::Idle) {
      active_since_idle_ = false;
      source_.AwaitActive();
      if (show_) return;
      if (source_.OtherSaverRuns()) {
        host_.Log(
            "another screen saver keeps the session, or a program holds idle off: no show this "
            "time");
        return;
      }
      try {
        show_ = host_.StartShow();
      } catch (const std::runtime_error& error) {
        host_.Log(error.what());
      }
    } else if (news == IdleNews::Active) {
      active_since_idle_ = true;
      if (!show_) source_.AwaitIdle();
    }
  }

  void ShowEnded() {
    const int status = show_->Wait();
    show_.reset();
    if (status != 0) host_.Log("the show ended with status " + std::to_string(status));
    // The next show waits for input first, then for a whole idle time.
    if (active_since_idle_) source_.AwaitIdle();
  }

  // Ends the show that plays, if any, and waits for it.
  void End() { show_.reset(); }

  platform::StartedShow* Show() const { return show_.get(); }

 private:
  platform::IdleSource& source_;
  platform::IdleHost& host_;
  std::unique_ptr<platform::StartedShow> show_;
  bool active_since_idle_ = true;
};

}  // namespace

int WatchIdle(platform::IdleSource& source, platform::IdleHost& host) {
  Watcher watcher(source, host);
  source.AwaitIdle();
  for (;;) {
    for (IdleNews news = source.Next(); news != IdleNews::Nothing; news = source.Next()) {
      if (news == IdleNews::Lost) {
        watcher.End();
        return 1;
      }
      watcher.Handle(news);
    }
    switch (host.Wait(watcher.Show())) {
      case platform::IdleWake::SourceNews:
        break;
      case platform::IdleWake::ShowEnded:
        watcher.ShowEnded();
        break;
      case platform::IdleWake::CloseRequested:
        watcher.End();
        return 0;
      case platform::IdleWake::Failed:
        watcher.End();
        return 1;
    }
  }
}

int WatchIdleAlone(platform::IdleSource& source, platform::IdleHost& host,
                   platform::FileSystem& files, const std::string& lock_folder) {
  const std::string session = source.SessionName();
  const std::string lock_file = lock_folder + "idle-" + session + ".lock";
  const auto lock = files.TakeOwnerLock(lock_file);
  if (lock.taken()) {
    host.Log("an idle watcher already runs for display " + session);
    return 1;
  }
  if (!lock) {
    host.Log("cannot take the idle watcher's lock " + lock_file + ": " + lock.reason());
    return 1;
  }
  return WatchIdle(source, host);
}

}  // namespace slidesaver::idle
