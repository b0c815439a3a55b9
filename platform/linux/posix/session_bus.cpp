#include "platform/linux/posix/session_bus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace slidesaver::linux_platform {

void NoSessionBusOfOurOwn() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && address[0] != '\0') return;
  // libdbus and GDBus take this socket as the bus when the variable is unset.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat bus {};
  if (runtime != nullptr && runtime[0] == '/' &&
      stat((std::string(runtime) + "/bus").c_str(), &bus) == 0 && S_ISSOCK(bus.st_mode)) {
    return;
  }
  // Not a socket: a connection is refused at once, and nothing is launched.
  setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null", 1);
  setenv("NO_AT_BRIDGE", "1", 1);
}

}  // namespace slidesaver::linux_platform
