#pragma once
// The error of the photo pieces that slidepack and the player's folder share: a message that
// names the file at fault. slidepack reports it as its own error; the folder skips the file.
#include <stdexcept>
#include <string>

namespace slidesaver::photos {

class PhotoError : public std::runtime_error {
 public:
  explicit PhotoError(const std::string& message) : std::runtime_error(message) {}
};

// "<path>: <what>", with the system's reason for the last failed call (errno) appended.
PhotoError FileError(const std::string& path, const std::string& what);

}  // namespace slidesaver::photos
