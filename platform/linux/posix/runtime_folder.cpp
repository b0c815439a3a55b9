#include "platform/linux/posix/runtime_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace slidesaver::linux_platform {

std::optional<std::string> PrivateRuntimeFolder(std::string* problem) {
  const auto refuse = [problem](const std::string& why) -> std::optional<std::string> {
    if (problem) *problem = why;
    return std::nullopt;
  };
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder;
  if (runtime && *runtime) {
    folder = std::string(runtime);
    if (folder.back() != '/') folder += '/';
    folder += "slidesaver";
  } else {
    folder = "/tmp/slidesaver-" + std::to_string(getuid());
  }
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return refuse("cannot create " + folder + ": " + std::strerror(errno));
  // Opened without following a symlink, then checked through the descriptor, so the folder
  // checked is the folder used.
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOTDIR || error == ELOOP)
      return refuse(folder + " is not a folder (a symlink or a file stands in its place)");
    return refuse("cannot open " + folder + ": " + std::strerror(error));
  }
  struct stat st {};
  const bool ours = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
  const bool private_mode = ours && ((st.st_mode & 0077) == 0 || fchmod(fd, 0700) == 0);
  close(fd);
  if (!ours) return refuse(folder + " belongs to another user");
  if (!private_mode) return refuse("cannot make " + folder + " private to its user");
  return folder + '/';
}

}  // namespace slidesaver::linux_platform
