#pragma once
#include <string>

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

  std::string ProgramFolder() override { return folder; }
  std::string ProgramBaseName() override { return base_name; }
  std::string CommandLineArguments() override { return arguments; }
  bool AnotherInstanceRunning() override {
    ++instance_checks;
    return another_instance;
  }
};

}  // namespace slidesaver::fake
