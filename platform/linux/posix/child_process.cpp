#include "platform/linux/posix/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace slidesaver::linux_platform {
namespace {

// Between fork and exec only async-signal-safe calls: this process may have other threads.
// The exec's failure goes back through `report`, which the exec closes when it succeeds.
[[noreturn]] void BecomeProgram(const char* program, char* const* argv, pid_t parent, int report) {
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) sigaction(sig, &default_action, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  int error = 0;
  // A program this one started does not outlive it, however it ends (SIGKILL too): it is asked
  // to end as a close signal asks. The parent may have died before the request took hold.
  if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0) {
    error = errno;
  } else if (getppid() != parent) {
    _exit(127);
  } else {
    execve(program, argv, environ);
    error = errno;
  }
  [[maybe_unused]] ssize_t n = write(report, &error, sizeof error);
  _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0)
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(errno));
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) BecomeProgram(program.c_str(), argv.data(), parent, report[1]);
  const int fork_error = errno;
  close(report[1]);
  if (pid_ < 0) {
    close(report[0]);
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(fork_error));
  }
  int exec_error = 0;
  ssize_t n;
  while ((n = read(report[0], &exec_error, sizeof exec_error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  if (n > 0) {
    Wait();
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(exec_error));
  }
  // A program that has already ended stays a zombie until it is waited for: the pidfd still
  // names it.
  pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
  if (pidfd_ < 0) {
    const int open_error = errno;
    EndAndWait();
    throw std::runtime_error(std::string("cannot watch the show's process: ") +
                             std::strerror(open_error));
  }
}

ChildProcess::~ChildProcess() {
  if (!reaped_) EndAndWait();
  if (pidfd_ >= 0) close(pidfd_);
}

int ChildProcess::Wait() {
  if (reaped_) return status_;
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  reaped_ = true;
  status_ = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  return status_;
}

int ChildProcess::EndAndWait() {
  if (!reaped_) kill(pid_, SIGTERM);
  return Wait();
}

}  // namespace slidesaver::linux_platform
