#pragma once
// Ctrl-C, a hang-up or a termination request during a long command: while an Interruptible
// lives, the signal is only remembered, so the command stops at its next step and removes what
// it had begun to write, instead of dying with a half-written file beside its output. The
// steps are short: a frame, a piece of a file, a band of a picture libvips computes.
#include <string>

namespace slidepack {

class Interruptible {
 public:
  Interruptible();
  ~Interruptible();
  Interruptible(const Interruptible&) = delete;
  Interruptible& operator=(const Interruptible&) = delete;

  // A signal has come since construction.
  bool Interrupted() const;
};

// A signal has come while an Interruptible lives; safe from any thread.
bool InterruptRequested();

// Throws SlidepackError("interrupted") when InterruptRequested().
void StopIfInterrupted();

// Ends the process now with status 1, saying it was interrupted, for work that cannot stop in
// time (libvips reads a large picture whole before it looks at a stop request). What the
// process wrote has no name (OutputFile, SpillFile), or is named by a NamedUntilDone.
[[noreturn]] void EndInterruptedNow();

// A temporary file with a name, removed when the process ends suddenly (EndInterruptedNow, a
// crash: SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) while this lives.
class NamedUntilDone {
 public:
  explicit NamedUntilDone(const std::string& path);
  ~NamedUntilDone();
  NamedUntilDone(const NamedUntilDone&) = delete;
  NamedUntilDone& operator=(const NamedUntilDone&) = delete;

 private:
  int slot_ = -1;  // none free: the file is not removed
};

}  // namespace slidepack
