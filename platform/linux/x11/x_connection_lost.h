#pragma once
// What ends the process when its X connection breaks (the server went away, or a close signal
// cut the connection to a server that did not answer): Xlib ends the process then, and this
// says how.

namespace slidesaver::linux_platform {

// From now on a broken X connection ends the process with exit(), status 0 after a close
// signal (the end that was asked for), else 1 with the reason on standard error. exit() runs
// the handlers that remove the extraction folders. Any later call of XSetIOErrorHandler (GDK's)
// replaces it.
void EndProcessOnLostXConnection();

}  // namespace slidesaver::linux_platform
