#include "platform/linux/posix/close_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>
#include <vector>

namespace slidesaver::linux_platform {
namespace {

std::atomic<bool> g_signal_received{false};
int g_wake_pipe[2] = {-1, -1};

// The listeners; held while one runs, so that a listener never goes during its own run.
std::mutex& ListenersLock() {
  static std::mutex lock;
  return lock;
}
std::vector<std::function<void()>*>& Functions() {
  static std::vector<std::function<void()>*> functions;
  return functions;
}

extern "C" void OnCloseSignal(int) {
  const int saved = errno;
  g_signal_received.store(true);
  const char byte = 1;
  [[maybe_unused]] ssize_t n = write(g_wake_pipe[1], &byte, 1);
  errno = saved;
}

// A signal handler may do almost nothing; this thread tells the listeners.
void TellListeners() {
  char byte;
  for (;;) {
    const ssize_t n = read(g_wake_pipe[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    const std::lock_guard<std::mutex> guard(ListenersLock());
    for (std::function<void()>* on_close : Functions()) (*on_close)();
  }
}

}  // namespace

void RouteCloseSignals() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  if (pipe2(g_wake_pipe, O_CLOEXEC) != 0) return;  // the signals keep their default action
  fcntl(g_wake_pipe[1], F_SETFL, O_NONBLOCK);
  std::thread(TellListeners).detach();
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

bool CloseSignalReceived() { return g_signal_received.load(); }

CloseSignalListener::CloseSignalListener(std::function<void()> on_close)
    : on_close_(std::move(on_close)) {
  {
    const std::lock_guard<std::mutex> guard(ListenersLock());
    Functions().push_back(&on_close_);
  }
  if (CloseSignalReceived()) on_close_();
}

CloseSignalListener::~CloseSignalListener() {
  const std::lock_guard<std::mutex> guard(ListenersLock());
  auto& functions = Functions();
  functions.erase(std::remove(functions.begin(), functions.end(), &on_close_), functions.end());
}

}  // namespace slidesaver::linux_platform
