#pragma once
// Without a session bus, libdbus starts one for the X display (dbus-launch, which waits on the
// X server and leaves a dbus-daemon behind) the first time a library asks for the bus, as SDL
// does when its video starts; and GTK's accessibility bridge asks it for the AT-SPI daemons.
// A screen saver's show must leave no daemons behind.

namespace slidesaver::linux_platform {

// When DBUS_SESSION_BUS_ADDRESS is unset and $XDG_RUNTIME_DIR/bus is no socket, points the
// variable at an address that refuses at once and switches the accessibility bridge off, for
// this process and the programs it starts. With a session bus, changes nothing. Call it before
// any library starts.
void NoSessionBusOfOurOwn();

}  // namespace slidesaver::linux_platform
