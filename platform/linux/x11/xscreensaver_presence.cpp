#include "platform/linux/x11/xscreensaver_presence.h"

#include <X11/Xatom.h>

namespace slidesaver::linux_platform {
namespace {

bool HasProperty(Display* display, Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType,
                                        &type, &format, &count, &after, &data);
  if (data) XFree(data);
  return status == Success && type != None;
}

// A window that goes between the listing and the look makes a BadWindow error: not a failure.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool XscreensaverRuns(Display* display) {
  const Atom version = XInternAtom(display, "_SCREENSAVER_VERSION", True);
  if (version == None) return false;  // no client ever named it
  const Window root = DefaultRootWindow(display);
  if (HasProperty(display, root, version)) return true;
  Window parent = None, unused = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, root, &unused, &parent, &children, &count)) return false;
  XSync(display, False);
  const auto previous = XSetErrorHandler(IgnoreErrors);
  bool found = false;
  for (unsigned int i = 0; i < count && !found; ++i)
    found = HasProperty(display, children[i], version);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (children) XFree(children);
  return found;
}

}  // namespace slidesaver::linux_platform
