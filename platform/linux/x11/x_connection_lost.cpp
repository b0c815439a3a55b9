#include "platform/linux/x11/x_connection_lost.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "platform/linux/posix/close_signals.h"

namespace slidesaver::linux_platform {
namespace {

int OnConnectionLost(Display* display) {
  if (CloseSignalReceived()) std::exit(0);
  std::fprintf(stderr, "slidesaver: the X server %s closed the connection\n",
               display != nullptr ? DisplayString(display) : "");
  std::exit(1);
}

}  // namespace

void EndProcessOnLostXConnection() { XSetIOErrorHandler(OnConnectionLost); }

}  // namespace slidesaver::linux_platform
