#include "photos/photo_error.h"

#include <cerrno>
#include <cstring>

namespace slidesaver::photos {

PhotoError FileError(const std::string& path, const std::string& what) {
  return PhotoError(path + ": " + what + ": " + std::strerror(errno));
}

}  // namespace slidesaver::photos
