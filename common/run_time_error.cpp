#include "common/run_time_error.h"

namespace slidesaver {

RunTimeError OverflowError() { return RunTimeError("Overflow"); }
RunTimeError DivisionByZeroError() { return RunTimeError("Division by zero"); }
RunTimeError InvalidProcedureCallError() {
  return RunTimeError("Invalid procedure call or argument");
}
RunTimeError SubscriptOutOfRangeError() { return RunTimeError("Subscript out of range"); }
RunTimeError FileNotFoundError(const std::string& path) {
  return RunTimeError("File not found: " + path);
}
RunTimeError InvalidPictureError(const std::string& path, const std::string& reason) {
  return RunTimeError("Invalid picture: " + path + (reason.empty() ? "" : " (" + reason + ")"));
}

}  // namespace slidesaver
