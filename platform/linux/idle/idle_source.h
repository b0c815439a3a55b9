#pragma once
// Where the idle watcher learns that the user has left the session alone and that they came
// back: one implementation per kind of session (X11's SYNC extension today). News comes through
// a descriptor the watcher polls, so nothing wakes the watcher while nothing happens.
#include <string>

namespace slidesaver::linux_platform {

enum class IdleNews {
  Nothing,  // nothing (more) to report now (not "None": Xlib defines that)
  Idle,     // the user has been idle for the source's time
  Active,   // input arrived after the last Idle
};

class IdleSource {
 public:
  virtual ~IdleSource() = default;
  // Readable when news may have come. News may also wait already read: call Next() until it
  // says Nothing before polling.
  virtual int Descriptor() const = 0;
  // From now on Next() says Idle once the user has been idle for the source's time (at once
  // when they already have).
  virtual void AwaitIdle() = 0;
  // From now on Next() says Active at the first input after the last Idle (at once when there
  // has been some).
  virtual void AwaitActive() = 0;
  virtual IdleNews Next() = 0;
  // Another screen saver keeps the session (xscreensaver on the display), or a program holds
  // idle off where the source's idle time does not heed it (GNOME's session manager): the
  // watcher then starts no show of its own.
  virtual bool OtherSaverRuns() = 0;
  // The session's name, fit for a file name: one watcher per name.
  virtual std::string SessionName() const = 0;
};

// A session's name fit for a file name: anything but letters, digits, ':', '.', '-' and '_'
// made '_'.
std::string SessionFileName(std::string name);

}  // namespace slidesaver::linux_platform
