#pragma once
#include <string>
#include <vector>

#include "platform/process.h"

namespace slidesaver::fake {

// The running program as a test sets it up.
class FakeProcess : public platform::Process {
 public:
  std::string folder = "/opt/shows";
  std::string base_name = "show";
  std::string arguments;
  bool another_instance = false;
  int instance_checks = 0;  // how often AnotherInstanceRunning was asked
  // A close signal arrives after this many CloseRequested checks answered false; -1: never.
  int close_requested_after = -1;
  int close_checks = 0;
  std::vector<std::string> logged;  // Log's lines

  std::string ProgramFolder() override { return folder; }
  std::string ProgramBaseName() override { return base_name; }
  std::string CommandLineArguments() override { return arguments; }
  bool AnotherInstanceRunning() override {
    ++instance_checks;
    return another_instance;
  }
  bool CloseRequested() override {
    return close_requested_after >= 0 && close_checks++ >= close_requested_after;
  }
  void Log(const std::string& text) override { logged.push_back(text); }
};

}  // namespace slidesaver::fake
