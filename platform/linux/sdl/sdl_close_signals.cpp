// SIGTERM, SIGINT and SIGHUP become a close request of the show: desktop screen-saver managers
// end their savers this way, and the show must still delete its extracted files.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "platform/linux/sdl/sdl_context.h"

namespace slidesaver::linux_platform {
namespace {

std::atomic<bool> g_signal_received{false};
int g_wake_pipe[2] = {-1, -1};

extern "C" void OnCloseSignal(int) {
  const int saved = errno;
  g_signal_received.store(true);
  const char byte = 1;
  [[maybe_unused]] ssize_t n = write(g_wake_pipe[1], &byte, 1);
  errno = saved;
}

// A signal handler may not touch SDL's queue; this thread can, and SDL_PushEvent also wakes
// an SDL_WaitEventTimeout that blocks the show thread.
void ForwardSignals() {
  char byte;
  for (;;) {
    const ssize_t n = read(g_wake_pipe[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }
}

}  // namespace

void RouteCloseSignalsToEvents() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  if (pipe2(g_wake_pipe, O_CLOEXEC) != 0) return;  // signals keep their default action
  fcntl(g_wake_pipe[1], F_SETFL, O_NONBLOCK);
  std::thread(ForwardSignals).detach();
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

bool CloseSignalReceived() { return g_signal_received.load(); }

}  // namespace slidesaver::linux_platform
