#pragma once
// The run-time errors of the show: arithmetic faults, missing files, undecodable pictures.
// The show's error trap catches RunTimeError and reports description and source.
#include <stdexcept>
#include <string>

namespace slidesaver {

class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(std::string description, std::string source = "slidesaver")
      : std::runtime_error(description),
        description_(std::move(description)),
        source_(std::move(source)) {}
  const std::string& Description() const { return description_; }
  const std::string& Source() const { return source_; }

 private:
  std::string description_;
  std::string source_;
};

RunTimeError OverflowError();
RunTimeError DivisionByZeroError();
RunTimeError InvalidProcedureCallError();
RunTimeError SubscriptOutOfRangeError();
RunTimeError FileNotFoundError(const std::string& path);
// "Invalid picture: <path>", and why after it when the loader knows.
RunTimeError InvalidPictureError(const std::string& path, const std::string& reason = "");

// Thrown to end the process with a status; caught by the entry point.
struct ProcessExit {
  int status;
};

}  // namespace slidesaver
