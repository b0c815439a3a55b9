#pragma once
// SIGTERM, SIGINT and SIGHUP ask the player to end the way it ends by itself: desktop
// screen-saver managers end their savers so, and whatever the player has written (an
// extraction folder, half an extracted file) must still go. What runs at the time hears of it:
// an extraction stops between two pieces, the show ends through its shutdown, a dialog closes
// as if cancelled.
#include <chrono>
#include <functional>

namespace slidesaver::linux_platform {

// Takes the three signals for the rest of the process; call it before anything is written.
// Idempotent. Until it is called, the signals keep their default action.
void RouteCloseSignals();

// True once one of those signals has arrived.
bool CloseSignalReceived();

// The player's promise that a close signal ends it within a second, whatever its display or
// sound server does: a signal that the process has not answered by ending within `grace` (a
// library waits for a server that does not answer: a stopped X server, a socket that accepts
// and never speaks) shuts down every socket of the process but standard input, output and
// error. Each wait on one then ends with an error and the process goes on to its end: the
// show's normal end, or Xlib's end of the process through EndProcessOnLostXConnection.
// SIGPIPE is ignored from then on. Call it once, after RouteCloseSignals.
void CutConnectionsAfterClose(std::chrono::milliseconds grace);

// While a listener lives, its function runs (on a thread of its own, so it must only hand the
// news on) when a close signal arrives; at once, on the caller's thread, when one has arrived
// before. The destructor waits for a run in progress.
class CloseSignalListener {
 public:
  explicit CloseSignalListener(std::function<void()> on_close);
  ~CloseSignalListener();
  CloseSignalListener(const CloseSignalListener&) = delete;
  CloseSignalListener& operator=(const CloseSignalListener&) = delete;

 private:
  std::function<void()> on_close_;
};

}  // namespace slidesaver::linux_platform
