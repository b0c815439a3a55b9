#pragma once
// An X server of the test's own (Xvfb), on a display number it chooses, ended by its pid.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace slidesaver::gui_testing {

class OwnXServer {
 public:
  OwnXServer() {
    int number[2];
    if (pipe(number) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(number[1], 3);
      execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "640x480x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(number[1]);
    // The number and a newline, perhaps in two writes; the server ends when it cannot write.
    std::string text;
    char c = 0;
    while (pid_ > 0 && text.size() < 16 && read(number[0], &c, 1) == 1 && c != '\n') text += c;
    if (!text.empty()) display_ = ":" + text;
    close(number[0]);
  }
  ~OwnXServer() { Stop(); }
  OwnXServer(const OwnXServer&) = delete;
  OwnXServer& operator=(const OwnXServer&) = delete;

  const std::string& display() const { return display_; }
  pid_t pid() const { return pid_; }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGCONT);  // a stopped server would not hear the SIGTERM
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace slidesaver::gui_testing
