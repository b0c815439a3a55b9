#pragma once
// The resume-next policy of the start-up procedure: a step that fails is skipped silently and
// the procedure goes on. ProcessExit is not an error and still ends the process.
#include <exception>

namespace slidesaver {

template <typename Step>
void ResumeNext(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
    // skipped without a message
  }
}

}  // namespace slidesaver
