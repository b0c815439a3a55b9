#pragma once
#include <string>

namespace slidesaver::platform {

// The running program and its process.
class Process {
 public:
  virtual ~Process() = default;
  virtual std::string ProgramFolder() = 0;         // the folder of the program file
  virtual std::string ProgramBaseName() = 0;       // file name without its extension
  virtual std::string CommandLineArguments() = 0;  // what follows the program's own name
  // True when another process runs the same program file. The first caller keeps the
  // instance claim for the rest of its life.
  virtual bool AnotherInstanceRunning() = 0;
  // True once the system has asked the process to end (a close signal on Linux): a long step
  // stops, and what it wrote goes.
  virtual bool CloseRequested() = 0;
  // One line for the program's log, where a failure is told in full: standard error on Linux,
  // the debugger's output on Windows.
  virtual void Log(const std::string& text) = 0;
};

}  // namespace slidesaver::platform
