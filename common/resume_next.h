#pragma once
// The resume-next policy of the start-up procedure: a step that fails is skipped and the
// procedure goes on, but never silently: what failed is handed to `report` (the program's log).
// Running out of memory is not skipped. ProcessExit, which is no std::exception, is never
// caught here and still ends the process.
#include <exception>
#include <new>
#include <string>

namespace slidesaver {

template <typename Report, typename Step>
void ResumeNext(const char* step_name, Report&& report, Step&& step) {
  try {
    step();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& error) {
    report(std::string("skipped ") + step_name + ": " + error.what());
  }
}

}  // namespace slidesaver
