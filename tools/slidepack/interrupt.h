#pragma once
// Ctrl-C, a hang-up or a termination request during a long command: while an Interruptible
// lives, the signal is only remembered, so the command stops at its next step and removes what
// it had begun to write, instead of dying with a half-written file beside its output.
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

}  // namespace slidepack
