#pragma once
// The one error slidepack reports: a message that names the manifest line or the file at
// fault. main prints it and ends with status 1.
#include <stdexcept>
#include <string>

namespace slidepack {

class SlidepackError : public std::runtime_error {
 public:
  explicit SlidepackError(const std::string& message) : std::runtime_error(message) {}
};

// "<path>: <what>", with the system's reason for the last failed call (errno) appended.
SlidepackError FileError(const std::string& path, const std::string& what);

}  // namespace slidepack
