#include "platform/linux/posix/close_signals.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
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

// Every socket of the process but the standard descriptors, shut down both ways.
void ShutDownSockets() {
  signal(SIGPIPE, SIG_IGN);  // a library still writing to one must get EPIPE, not die of it
  DIR* descriptors = opendir("/proc/self/fd");
  if (descriptors == nullptr) return;
  std::vector<int> sockets;
  while (const dirent* entry = readdir(descriptors)) {
    const int fd = std::atoi(entry->d_name);
    struct stat status {};
    if (fd > STDERR_FILENO && fd != dirfd(descriptors) && fstat(fd, &status) == 0 &&
        S_ISSOCK(status.st_mode)) {
      sockets.push_back(fd);
    }
  }
  closedir(descriptors);
  for (int fd : sockets) shutdown(fd, SHUT_RDWR);
}

}  // namespace

void CutConnectionsAfterClose(std::chrono::milliseconds grace) {
  static bool started = false;
  if (started) return;
  started = true;
  struct Alarm {
    std::mutex lock;
    std::condition_variable rung;
    bool closing = false;
  };
  static Alarm* const alarm = new Alarm;  // the thread outlives main's statics
  static CloseSignalListener* const listener = new CloseSignalListener([] {
    const std::lock_guard<std::mutex> guard(alarm->lock);
    alarm->closing = true;
    alarm->rung.notify_one();
  });
  (void)listener;
  std::thread([grace] {
    std::unique_lock<std::mutex> guard(alarm->lock);
    alarm->rung.wait(guard, [] { return alarm->closing; });
    guard.unlock();
    std::this_thread::sleep_for(grace);
    // Again and again: a library may connect anew once its connection fails.
    for (;;) {
      ShutDownSockets();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }).detach();
}

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
