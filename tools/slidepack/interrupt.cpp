#include "tools/slidepack/interrupt.h"

#include <signal.h>

#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <iterator>
#include <mutex>

#include "photos/vips_library.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Read by the worker threads too: lock-free, so a signal handler may set it.
std::atomic<int> interrupted{0};
struct sigaction previous[sizeof kSignals / sizeof kSignals[0]];

void Remember(int) { interrupted = 1; }

}  // namespace

Interruptible::Interruptible() {
  interrupted = 0;
  slidesaver::photos::SetVipsStopRequest(InterruptRequested);
  struct sigaction action {};
  action.sa_handler = Remember;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous[i]);
}

Interruptible::~Interruptible() {
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
}

bool Interruptible::Interrupted() const { return interrupted != 0; }

bool InterruptRequested() { return interrupted != 0; }

void StopIfInterrupted() {
  if (interrupted != 0) throw SlidepackError("interrupted");
}

namespace {

// The named temporary files, kept where a signal handler can read them without a lock.
constexpr int kSlots = 8;
char named_paths[kSlots][PATH_MAX];
std::atomic<bool> named_in_use[kSlots];

void RemoveNamedFiles() {
  for (int i = 0; i < kSlots; ++i) {
    if (named_in_use[i]) unlink(named_paths[i]);
  }
}

void RemoveAndCrash(int signal) {
  RemoveNamedFiles();
  raise(signal);  // the default action again (SA_RESETHAND)
}

}  // namespace

void EndInterruptedNow() {
  RemoveNamedFiles();
  constexpr char kSaid[] = "slidepack: interrupted\n";
  [[maybe_unused]] const ssize_t said = write(STDERR_FILENO, kSaid, sizeof kSaid - 1);
  _exit(1);
}

NamedUntilDone::NamedUntilDone(const std::string& path) {
  static std::once_flag handlers;
  std::call_once(handlers, [] {
    struct sigaction action {};
    action.sa_handler = RemoveAndCrash;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
      sigaction(signal, &action, nullptr);
  });
  if (path.size() >= PATH_MAX) return;
  static std::mutex choosing;
  const std::lock_guard<std::mutex> guard(choosing);
  for (int i = 0; i < kSlots; ++i) {
    if (named_in_use[i]) continue;
    std::memcpy(named_paths[i], path.c_str(), path.size() + 1);
    named_in_use[i] = true;
    slot_ = i;
    return;
  }
}

NamedUntilDone::~NamedUntilDone() {
  if (slot_ >= 0) named_in_use[slot_] = false;
}

}  // namespace slidepack
