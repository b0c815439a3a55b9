#include "platform/linux/posix/runtime_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace slidesaver::linux_platform {

std::optional<std::string> PrivateRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder;
  if (runtime && *runtime) {
    folder = std::string(runtime);
    if (folder.back() != '/') folder += '/';
    folder += "slidesaver";
  } else {
    folder = "/tmp/slidesaver-" + std::to_string(getuid());
  }
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  // Opened without following a symlink, then checked through the descriptor, so the folder
  // checked is the folder used.
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  const bool ours = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
  const bool private_mode = ours && ((st.st_mode & 0077) == 0 || fchmod(fd, 0700) == 0);
  close(fd);
  if (!private_mode) return std::nullopt;
  return folder + '/';
}

}  // namespace slidesaver::linux_platform
