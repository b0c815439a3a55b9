#include "platform/linux/idle/idle_source.h"

namespace slidesaver::linux_platform {

std::string SessionFileName(std::string name) {
  for (char& c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == ':' || c == '.' || c == '-' || c == '_';
    if (!plain) c = '_';
  }
  return name;
}

}  // namespace slidesaver::linux_platform
