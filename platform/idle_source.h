#pragma once
// Where the idle watcher learns that the user has left the session alone and that they came
// back: one implementation per kind of session (an X server's idle time, a Wayland
// compositor's idle notifications, GNOME's idle monitor on the session bus).
#include <string>

namespace slidesaver::platform {

enum class IdleNews {
  Nothing,  // nothing (more) to report now (not "None": Xlib defines that)
  Idle,     // the user has been idle for the source's time
  Active,   // input arrived after the last Idle
  Lost,     // the session is gone (the display or the compositor): nothing more will come
};

class IdleSource {
 public:
  virtual ~IdleSource() = default;
  // From now on Next() says Idle once the user has been idle for the source's time (at once
  // when they already have).
  virtual void AwaitIdle() = 0;
  // From now on Next() says Active at the first input after the last Idle (at once when there
  // has been some).
  virtual void AwaitActive() = 0;
  // The news since the last call, one at a time; Nothing when there is none now.
  virtual IdleNews Next() = 0;
  // Another screen saver keeps the session (xscreensaver on the display), or a program holds
  // idle off where the source's idle time does not heed it (GNOME's session manager): the
  // watcher then starts no show of its own.
  virtual bool OtherSaverRuns() = 0;
  // The session's name, fit for a file name: one watcher per name.
  virtual std::string SessionName() const = 0;
};

}  // namespace slidesaver::platform
