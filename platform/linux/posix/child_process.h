#pragma once
// A program started by this one, known by a pidfd so that its end can be polled for beside
// other descriptors. It is ended (SIGTERM) and waited for when the object goes first, and
// when this process dies, however it dies (the kernel's parent-death signal, SIGTERM).
#include <sys/types.h>

#include <string>
#include <vector>

namespace slidesaver::linux_platform {

class ChildProcess {
 public:
  // Starts `program` (a path) with `arguments` (argv[0] is `program`), the signals at their
  // default action; throws std::runtime_error when it can't.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  // Readable once the program has ended.
  int Descriptor() const { return pidfd_; }
  // Waits for the program to end; its exit status, or 128 + the signal that ended it.
  int Wait();
  // Asks it to end (SIGTERM) and waits.
  int EndAndWait();

 private:
  pid_t pid_ = -1;
  int pidfd_ = -1;
  bool reaped_ = false;
  int status_ = 0;
};

}  // namespace slidesaver::linux_platform
