// The idle watcher's shows are child processes: their status, a program that cannot start, and
// that none outlives its parent.
#include "platform/linux/posix/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace slidesaver::linux_platform {
namespace {

TEST(ChildProcess, StatusOfTheProgram) {
  const struct {
    const char* script;
    int status;
  } cases[] = {{"exit 0", 0}, {"exit 3", 3}, {"kill -SEGV $$", 128 + SIGSEGV}};
  for (const auto& c : cases) {
    ChildProcess child("/bin/sh", {"-c", c.script});
    EXPECT_EQ(child.Wait(), c.status) << c.script;
  }
}

TEST(ChildProcess, EndingItAsksWithSigterm) {
  ChildProcess child("/bin/sleep", {"60"});
  EXPECT_EQ(child.EndAndWait(), 128 + SIGTERM);
}

TEST(ChildProcess, AProgramThatCannotStartSaysWhy) {
  try {
    ChildProcess child("/nonexistent/player", {});
    FAIL() << "started";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "cannot start /nonexistent/player: No such file or directory");
  }
}

// A parent killed outright (SIGKILL, no destructor runs) takes its child with it: the child is
// asked to end as a close signal asks.
TEST(ChildProcess, EndsWhenItsParentIsKilled) {
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);  // the orphan becomes ours to wait for
  int pids[2];
  ASSERT_EQ(pipe(pids), 0);
  const pid_t parent = fork();
  ASSERT_GE(parent, 0);
  if (parent == 0) {
    ChildProcess child("/bin/sleep", {"60"});
    const pid_t pid = child.Pid();
    [[maybe_unused]] ssize_t n = write(pids[1], &pid, sizeof pid);
    pause();
    _exit(0);
  }
  close(pids[1]);
  pid_t child = -1;
  ASSERT_EQ(read(pids[0], &child, sizeof child), static_cast<ssize_t>(sizeof child));
  close(pids[0]);
  kill(parent, SIGKILL);
  waitpid(parent, nullptr, 0);
  int status = 0;
  pid_t reaped = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((reaped = waitpid(child, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (reaped == 0) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  prctl(PR_SET_CHILD_SUBREAPER, 0);
  ASSERT_EQ(reaped, child) << "the child outlived its killed parent";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
}

}  // namespace
}  // namespace slidesaver::linux_platform
