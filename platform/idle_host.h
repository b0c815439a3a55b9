#pragma once
// What the idle watcher asks of its system besides the idle source: to start the show as a
// process of its own, to wait for news, and to say what happened.
#include <memory>
#include <string>

namespace slidesaver::platform {

// A show the watcher started. One that still runs when this goes is asked to end, and waited
// for.
class StartedShow {
 public:
  virtual ~StartedShow() = default;
  // Waits for the show to end: its exit status, or 128 + the signal that ended it.
  virtual int Wait() = 0;
};

enum class IdleWake {
  SourceNews,      // the idle source may have news
  ShowEnded,       // the show has ended: Wait() returns at once
  CloseRequested,  // the watcher is asked to end
  Failed,          // the wait itself failed (and said why): the watcher ends
};

class IdleHost {
 public:
  virtual ~IdleHost() = default;
  // Starts the show; throws std::runtime_error saying why it can't. A show outlives no
  // watcher: it ends when the watcher's process does, however that ends.
  virtual std::unique_ptr<StartedShow> StartShow() = 0;
  // Waits until one of IdleWake's reasons; `show` is the show that plays, if any.
  virtual IdleWake Wait(StartedShow* show) = 0;
  // A line for the user (standard error on Linux).
  virtual void Log(const std::string& line) = 0;
};

}  // namespace slidesaver::platform
